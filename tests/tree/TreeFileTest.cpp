// Streams and files: the line-break rule, the zero byte and the file errors.

#include "EFileError.h"
#include "EZunPiggerError.h"
#include "TZunPigger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class TreeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("velmora-tree-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    void WriteBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    std::string ReadBytes(const std::string& name) const {
        std::ifstream file(PathOf(name), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    fs::path folder_;
};

TEST_F(TreeFileTest, SavedFileHoldsExactlyTheTextAndLoadsBack) {
    TZunPigger root;
    root.SetName("SHEME");
    root.SetAttribute("W", "640");
    auto* node = new TZunPigger(&root);
    node->SetName("NODE");
    node->Text = "line one\nline two";
    root.SaveToFile(PathOf("a.apsh"));
    EXPECT_EQ(root.SaveToString(), ReadBytes("a.apsh"));

    TZunPigger back;
    back.LoadFromFile(PathOf("a.apsh"));
    ASSERT_EQ(1, back.ChildCount());
    EXPECT_EQ("640", back.GetAttribute("w"));
    // A lone LF written into the file comes back as CR LF.
    EXPECT_EQ("line one\r\nline two", back.Child(0)->Text);
}

TEST_F(TreeFileTest, StreamLoaderTurnsEveryLineBreakIntoCrLfAndStopsAtZeroByte) {
    std::istringstream mixed("<A V=\"1\r2\n3\r\n4\n\r5\">t\rx</A>");
    TZunPigger element;
    element.LoadFromStream(mixed);
    EXPECT_EQ("1\r\n2\r\n3\r\n4\r\n\r\n5", element.GetAttribute("V"));
    EXPECT_EQ("t\r\nx", element.Text);

    // Everything after a zero byte is ignored: here the end tag is lost.
    std::istringstream cut(std::string("<A>text\0</A>", 12));
    try {
        element.LoadFromStream(cut);
        FAIL() << "the text should end at the zero byte";
    } catch (const EZunPiggerError& e) {
        EXPECT_STREQ("Syntax error", e.what());
    }

    // From a string the same bytes are taken as they are.
    element.LoadFromString(std::string("<A V=\"1\r2\0\">x</A>", 17));
    EXPECT_EQ(std::string("1\r2\0", 4), element.GetAttribute("V"));
}

TEST_F(TreeFileTest, ReadsFromTheStreamsCurrentPosition) {
    std::istringstream stream("<OLD/><B/>");
    stream.seekg(6);
    TZunPigger element;
    element.LoadFromStream(stream);
    EXPECT_EQ("B", element.Name());
}

TEST_F(TreeFileTest, EmptyRootWritesNothing) {
    TZunPigger empty;
    std::ostringstream stream;
    empty.SaveToStream(stream);
    EXPECT_TRUE(stream.str().empty());
    empty.SaveToFile(PathOf("empty.apsh"));
    EXPECT_TRUE(fs::exists(PathOf("empty.apsh")));
    EXPECT_EQ(0u, fs::file_size(PathOf("empty.apsh")));

    // Loading an empty file leaves an empty element, not an error.
    TZunPigger loaded;
    loaded.SetName("OLD");
    loaded.LoadFromFile(PathOf("empty.apsh"));
    EXPECT_EQ("", loaded.Name());
}

TEST_F(TreeFileTest, FileErrorsNameTheFile) {
    TZunPigger element;
    const std::string missing = PathOf("missing.apsh");
    try {
        element.LoadFromFile(missing);
        FAIL() << "a missing file must raise";
    } catch (const EFileError& e) {
        EXPECT_EQ("Cannot open file " + missing, e.what());
    }

    element.SetName("A");
    const std::string unwritable = PathOf("no/such/folder/a.apsh");
    try {
        element.SaveToFile(unwritable);
        FAIL() << "a file in a missing folder cannot be created";
    } catch (const EFileError& e) {
        EXPECT_EQ("Cannot create file " + unwritable, e.what());
    }

    // A folder is not a document.
    EXPECT_THROW(element.LoadFromFile(folder_.string()), EFileError);
}

TEST_F(TreeFileTest, SavingTruncatesALongerFile) {
    WriteBytes("b.apsh", std::string(10000, 'x'));
    TZunPigger element;
    element.SetName("B");
    element.SaveToFile(PathOf("b.apsh"));
    EXPECT_EQ("\r\n<B/>", ReadBytes("b.apsh"));
}

} // namespace
