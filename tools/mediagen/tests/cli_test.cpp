// zypho-mediagen run as a program: its command line, what it writes and what it refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/child.h"
#include "support/headless.h"

namespace fs = std::filesystem;

namespace {

ChildResult run_tool(const std::string& args) { return run_child(ZYPHO_MEDIAGEN_BIN, args); }

class MediaGenerator : public ::testing::Test {
protected:
    MediaDir media;  // the working directory, holding Media/
};

}  // namespace

TEST_F(MediaGenerator, HelpGoesToStandardOutputAndWritesNothing) {
    for (const char* help : {"--help", "-h", "out --help"}) {
        const ChildResult r = run_tool(help);
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_EQ(r.out.rfind("Usage: zypho-mediagen", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("--check"), std::string::npos);
        EXPECT_NE(r.out.find("--preview"), std::string::npos);
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

TEST_F(MediaGenerator, ABadCommandLineIsStatusTwoWithOneReasonAndWritesNothing) {
    struct Case {
        const char* args;
        const char* says;
    };
    const Case cases[] = {
        {"", "no output directory given"},
        {"--frobnicate out", "unknown option '--frobnicate'"},
        {"-z out", "unknown option '-z'"},
        {"--check", "--check needs the directory"},
        {"--check=yes Media", "takes no value"},
        {"--check --preview Media out", "cannot be combined"},
        {"--preview Media", "two directories"},
        {"--preview Media out extra", "two directories"},
        {"out no-such-file.png", "no media file is named 'no-such-file.png'"},
        {"--check Media ab.png nope", "no media file is named 'nope'"},
    };
    for (const Case& c : cases) {
        const ChildResult r = run_tool(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err.rfind("zypho-mediagen: ", 0), 0u) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find("Try 'zypho-mediagen --help'"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

TEST_F(MediaGenerator, WritesTheNamedFilesIntoAFolderItMakes) {
    const ChildResult r = run_tool("made/here ab.png alpb.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(entries("made/here"),
              (std::vector<std::string>{"ab.png", "alpb.png"}));  // no leftovers
    EXPECT_EQ(slurp("made/here/ab.png").substr(1, 3), "PNG");
    // What it wrote is what --check expects.
    const ChildResult check = run_tool("--check made/here ab.png alpb.png");
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("media reproduced"), std::string::npos) << check.out;
}

TEST_F(MediaGenerator, AnUnwritableOutputFailsAndLeavesNothing) {
    { std::ofstream("plain-file") << "x"; }
    ChildResult r = run_tool("plain-file ab.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zypho-mediagen: cannot write into 'plain-file': it is not a directory"),
              std::string::npos)
        << r.err;
    r = run_tool("plain-file/below ab.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("plain-file/below"), std::string::npos) << r.err;
    EXPECT_EQ(slurp("plain-file"), "x");
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media", "plain-file"}));
}

TEST_F(MediaGenerator, CheckFindsAChangedOrMissingFile) {
    ASSERT_EQ(run_tool("kept ab.png alpb.png").status, 0);
    fs::remove("kept/alpb.png");
    { std::ofstream("kept/ab.png", std::ios::binary) << "not a picture"; }
    const ChildResult r = run_tool("--check kept ab.png alpb.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ab.png    image does not decode"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("alpb.png  missing"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("media differ"), std::string::npos) << r.out;
}

TEST_F(MediaGenerator, PreviewsNeedTheMediaAndAPlaceToWrite) {
    media.write_all();
    ChildResult r = run_tool("--preview no-such-media views");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no-such-media"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists("views"));

    { std::ofstream("plain-file") << "x"; }
    r = run_tool("--preview Media plain-file/views");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("plain-file/views"), std::string::npos) << r.err;

    // An empty media folder: nothing can be previewed, and that is a failure, not a success.
    fs::create_directory("empty");
    r = run_tool("--preview empty views");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;

    r = run_tool("--preview Media views");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_GT(entries("views").size(), 3u);
    for (const std::string& name : entries("views"))
        EXPECT_EQ(name.substr(name.size() - 4), ".png") << name;
}
