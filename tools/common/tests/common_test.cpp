// The tools' shared command line and output files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "output_file.h"

namespace fs = std::filesystem;

namespace {

const OptionSpec OPTIONS[] = {
    {'o', "output", true}, {'q', "quiet", false}, {0, "long-only", false}, {0, nullptr, false}};

std::vector<Argument> read(std::vector<const char*> args, bool ok = true) {
    args.insert(args.begin(), "tool");
    std::vector<Argument> out;
    std::string error;
    EXPECT_EQ(read_command_line(static_cast<int>(args.size()), args.data(), OPTIONS, out, error),
              ok)
        << error;
    return out;
}

// A scratch directory for one test, removed afterwards.
class Scratch : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp ? tmp : "/tmp") + "/zypho-common-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& e : fs::directory_iterator(dir)) n.push_back(e.path().filename().string());
        return n;
    }
};

}  // namespace

TEST(CommandLine, OperandsOptionsAndTheirValues) {
    const std::vector<Argument> a = read({"-", "-qo", "x", "--output=y", "plain", "--", "-q"});
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[0].option, nullptr);  // a lone dash is an operand
    EXPECT_EQ(a[0].value, "-");
    EXPECT_STREQ(a[1].option->long_name, "quiet");
    EXPECT_STREQ(a[2].option->long_name, "output");
    EXPECT_EQ(a[2].value, "x");
    EXPECT_EQ(a[3].value, "y");
    EXPECT_EQ(a[4].option, nullptr);
    EXPECT_EQ(a[5].option, nullptr);  // after --, options are operands
    EXPECT_EQ(a[5].value, "-q");
    EXPECT_EQ(find_argument(a, "output")->value, "y");  // the last one wins
    EXPECT_EQ(find_argument(a, "long-only"), nullptr);
}

TEST(CommandLine, RefusesUnknownOptionsMissingValuesAndValuedFlags) {
    read({"-z"}, false);
    read({"--nope"}, false);
    read({"-o"}, false);
    read({"--quiet=1"}, false);
    EXPECT_EQ(option_name(OPTIONS[0]), "-o/--output");
    EXPECT_EQ(option_name(OPTIONS[2]), "--long-only");
}

TEST(OutputFile, WriteAllReportsAFullDisk) {
    const int fd = open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::uint8_t bytes[16] = {};
    errno = 0;
    EXPECT_FALSE(write_all(fd, bytes, sizeof bytes));
    EXPECT_EQ(errno, ENOSPC);
    close(fd);
}

TEST_F(Scratch, AWholeFileIsRenamedIntoPlaceAndNothingElseIsLeft) {
    const std::string path = (dir / "out.bin").string();
    const std::vector<std::uint8_t> data(100000, 7);
    std::string error;
    ASSERT_TRUE(write_file_atomically(path, data.data(), data.size(), error)) << error;
    EXPECT_EQ(fs::file_size(path), data.size());
    EXPECT_EQ(names(), std::vector<std::string>{"out.bin"});
}

// In a child: writes 100000 bytes under a 4096-byte file-size limit, and exits with 0 when the call
// failed, said why and named the file, and left nothing in `dir`.
[[noreturn]] void write_over_the_limit(const fs::path& dir, const std::string& path) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::vector<std::uint8_t> data(100000, 7);
    std::string error;
    const bool ok = write_file_atomically(path, data.data(), data.size(), error);
    const bool said =
        error.find("File too large") != std::string::npos && error.find(path) != std::string::npos;
    std::_Exit(!ok && said && fs::is_empty(dir) ? 0 : 1);
}

// Under a file-size limit (in a child process of its own) every write past it fails: the call
// says so and leaves nothing under either name.
TEST_F(Scratch, AFailedWriteIsReportedAndLeavesNothing) {
    const std::string path = (dir / "out.bin").string();
    EXPECT_EXIT(write_over_the_limit(dir, path), ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(Scratch, TempFilesGoUnlessCommitted) {
    const std::string path = (dir / "a.png").string();
    std::string error;
    {
        TempFile t;
        ASSERT_TRUE(t.create(path, error)) << error;
        EXPECT_EQ(fs::path(t.path()).parent_path(), dir);
        EXPECT_TRUE(fs::exists(t.path()));
    }
    EXPECT_TRUE(fs::is_empty(dir));
    TempFile t;
    ASSERT_TRUE(t.create(path, error));
    ASSERT_TRUE(t.commit(error)) << error;
    EXPECT_EQ(names(), std::vector<std::string>{"a.png"});
    EXPECT_FALSE(t.create((dir / "no-such" / "b").string(), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_FALSE(t.create(dir.string(), error));
    EXPECT_NE(error.find("is a directory"), std::string::npos);
}

TEST_F(Scratch, DirectoriesAndPath) {
    std::string error;
    EXPECT_TRUE(make_directory((dir / "x" / "y").string(), error)) << error;
    EXPECT_TRUE(fs::is_directory(dir / "x" / "y"));
    { std::ofstream(dir / "file") << "x"; }
    EXPECT_FALSE(make_directory((dir / "file").string(), error));
    EXPECT_NE(error.find("not a directory"), std::string::npos);
    EXPECT_EQ(find_on_path("sh").empty(), false);
    EXPECT_EQ(find_on_path("zypho-no-such-program"), "");
}
