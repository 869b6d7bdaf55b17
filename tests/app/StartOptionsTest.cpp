// The program's command line: the working folder it chooses, and what it
// refuses.

#include "StartOptions.h"

#include <gtest/gtest.h>

namespace {

using Action = StartOptions::Action;

TEST(StartOptions, ChoosesTheWorkingFolder) {
    struct Case {
        std::vector<std::string> args;
        const char* home;
        const char* velmoraHome;
        Action action;
        std::string workdir;
        bool create;
        std::string catalog = {};
    };
    const Case cases[] = {
        {{}, "/home/ann", nullptr, Action::Run, "/home/ann/Velmora/bin", true},
        {{}, "/home/ann", "", Action::Run, "/home/ann/Velmora/bin", true},
        {{"scheme.APSH"}, "/home/ann", "/data/v", Action::Run, "/data/v/bin", true},
        {{"--workdir", "."}, "/home/ann", "/data/v", Action::Run, ".", false},
        {{"--workdir=/srv/x/bin"}, "/home/ann", nullptr, Action::Run, "/srv/x/bin", false},
        {{"--version"}, nullptr, nullptr, Action::Version, "", false},
        {{"--help"}, nullptr, nullptr, Action::Help, "", false},
        {{"--workdir"}, "/home/ann", nullptr, Action::Error, "", false},
        {{"--bogus"}, "/home/ann", nullptr, Action::Error, "", false},
        {{"--catalog", "postgresql://ann@db/figures"},
         "/h",
         nullptr,
         Action::Run,
         "/h/Velmora/bin",
         true,
         "postgresql://ann@db/figures"},
        {{"--catalog=host=db dbname=f", "--workdir", "."},
         "/h",
         nullptr,
         Action::Run,
         ".",
         false,
         "host=db dbname=f"},
        {{"--catalog"}, "/h", nullptr, Action::Error, "", false},
        {{"--catalog="}, "/h", nullptr, Action::Error, "", false},
    };
    for (const Case& c : cases) {
        const StartOptions options = StartOptions::Parse(c.args, c.home, c.velmoraHome);
        const std::string label = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(options.action, c.action) << label;
        EXPECT_EQ(options.workdir, c.workdir) << label;
        EXPECT_EQ(options.createWorkdir, c.create) << label;
        EXPECT_EQ(options.catalog, c.catalog) << label;
    }
}

} // namespace
