// velmora-tool tree, run as a separate process.

#include "TZunPigger.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class TreeToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("velmora-tool-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string Read(const fs::path& path) const {
        std::ifstream file(path, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    ToolResult Run(const std::string& args) const {
        const fs::path out = folder_ / "stdout";
        const fs::path err = folder_ / "stderr";
        const std::string command = std::string("'") + VELMORA_TOOL_PATH + "' " + args + " >'" +
                                    out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        ToolResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = Read(out);
        result.err = Read(err);
        return result;
    }

    fs::path folder_;
};

TEST_F(TreeToolTest, WritesTheNormalFormOfAFileAndNothingElse) {
    const std::string file = Write("scheme.apsh", "  <sheme version=2>\n<node n_name=\"a\rb\"/>"
                                                  "\n  text  </SHEME> trailing junk");
    const ToolResult result = Run("tree '" + file + "'");
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ("", result.err);
    EXPECT_EQ("\r\n<SHEME VERSION=\"2\">text\r\n\t<NODE N_NAME=\"a\r\nb\"/>\r\n</SHEME>",
              result.out);

    TZunPigger expected;
    expected.LoadFromFile(file);
    EXPECT_EQ(expected.SaveToString(), result.out);

    // --raw reads the bytes as they are: the lone CR stays.
    const ToolResult raw = Run("tree --raw '" + file + "'");
    EXPECT_EQ(0, raw.exitCode);
    EXPECT_EQ("\r\n<SHEME VERSION=\"2\">text\r\n\t<NODE N_NAME=\"a\rb\"/>\r\n</SHEME>", raw.out);
}

TEST_F(TreeToolTest, ReaderErrorsGiveMessagePositionAndExitOne) {
    const std::string file = Write("bad.apsh", "<A>\n<B></C>\n</A>");
    const ToolResult result = Run("tree '" + file + "'");
    EXPECT_EQ(1, result.exitCode);
    EXPECT_EQ("", result.out);
    // Read from a file, the LF became CR LF: "</C>" starts at 9 instead of 8.
    EXPECT_EQ("Unclosed tag: B at position 9\n", result.err);

    const ToolResult raw = Run("tree --raw '" + file + "'");
    EXPECT_EQ(1, raw.exitCode);
    EXPECT_EQ("Unclosed tag: B at position 8\n", raw.err);
}

TEST_F(TreeToolTest, FileErrorsExitTwoAndBadArgumentsAreRefused) {
    const std::string missing = (folder_ / "missing.apsh").string();
    const ToolResult result = Run("tree '" + missing + "'");
    EXPECT_EQ(2, result.exitCode);
    EXPECT_EQ("Cannot open file " + missing + "\n", result.err);
    EXPECT_EQ("", result.out);

    EXPECT_EQ(64, Run("tree").exitCode);
    EXPECT_EQ(64, Run("tree --bogus x").exitCode);
    EXPECT_EQ(64, Run("nonsense").exitCode);

    const ToolResult help = Run("--help");
    EXPECT_EQ(0, help.exitCode);
    EXPECT_NE(std::string::npos, help.out.find("tree [--raw] FILE"));
}

} // namespace
