// The kelvora-rar program, run as a user would: exit codes (0, 1, 2), its messages,
// the files it leaves, and its atomic writes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "corpus.h"
#include "scratch.h"

namespace {

std::string tool_path() { return program_beside("kelvora-rar"); }

struct ToolRun {
    int code;
    std::string out;  // stdout and stderr together
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        dir_ = scratch_.path();
        write("notes.txt", corpus::text(12000));
        write("picture.pic", corpus::drawn_picture());
        write("empty.dat", {});
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    void write(const std::string& name, const std::vector<uint8_t>& data) {
        std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                          static_cast<std::streamsize>(data.size()));
    }

    std::vector<uint8_t> read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool exists(const std::string& name) const {
        struct stat st;
        return stat(path(name).c_str(), &st) == 0;
    }

    // Runs the tool with `args` inside the test folder.
    ToolRun run(const std::string& args) const {
        const std::string cmd = "cd '" + dir_ + "' && '" + tool_path() + "' " + args + " > out.log 2>&1";
        const int status = std::system(cmd.c_str());
        ToolRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}};
        std::ifstream in(path("out.log"));
        r.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return r;
    }

    ScratchDir scratch_{"kelvora-rar-cli"};
    std::string dir_;
};

TEST_F(Cli, CreateListTestExtract) {
    for (const char* mode : {"", "-s", "-m0", "-s -m5"}) {
        SCOPED_TRACE(mode);
        ToolRun a = run(std::string("a ") + mode + " out.rar notes.txt picture.pic empty.dat");
        ASSERT_EQ(a.code, 0) << a.out;
        ToolRun l = run("l out.rar");
        EXPECT_EQ(l.code, 0) << l.out;
        EXPECT_NE(l.out.find("picture.pic"), std::string::npos);
        EXPECT_NE(l.out.find("64000"), std::string::npos);
        ToolRun t = run("t out.rar");
        EXPECT_EQ(t.code, 0) << t.out;
        EXPECT_NE(t.out.find("all 3 entries OK"), std::string::npos) << t.out;
    }
    // Names match whatever the letter case; the default output is the stored name.
    ASSERT_EQ(run("a out.rar " + path("notes.txt")).code, 0);  // stored without the folder
    std::remove(path("notes.txt").c_str());
    ToolRun x = run("x out.rar NOTES.TXT");
    ASSERT_EQ(x.code, 0) << x.out;
    EXPECT_EQ(read("notes.txt"), corpus::text(12000));
    ASSERT_EQ(run("x out.rar notes.txt copy.txt").code, 0);
    EXPECT_EQ(read("copy.txt"), corpus::text(12000));
}

TEST_F(Cli, PasswordsAndTheReasonsGiven) {
    ASSERT_EQ(run("a -p open.sesame locked.rar notes.txt picture.pic").code, 0);
    EXPECT_NE(run("l locked.rar").out.find("*notes.txt"), std::string::npos);
    EXPECT_EQ(run("t -p open.sesame locked.rar").code, 0);
    ToolRun none = run("x locked.rar notes.txt got.txt");
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.out.find("give its password with -p"), std::string::npos) << none.out;
    ToolRun wrong = run("x -p guess locked.rar notes.txt got.txt");
    EXPECT_EQ(wrong.code, 1);
    EXPECT_NE(wrong.out.find("wrong password"), std::string::npos) << wrong.out;
    EXPECT_FALSE(exists("got.txt"));
    ToolRun t = run("t -p guess locked.rar");
    EXPECT_EQ(t.code, 1);
    EXPECT_NE(t.out.find("FAILED"), std::string::npos);
    ToolRun missing = run("x -p open.sesame locked.rar nothere.txt");
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.out.find("no entry named \"nothere.txt\""), std::string::npos) << missing.out;
}

TEST_F(Cli, FailuresLeaveNoHalfArchive) {
    write("keep.rar", {1, 2, 3});
    ToolRun a = run("a keep.rar notes.txt no-such-file.txt");
    EXPECT_EQ(a.code, 1);
    EXPECT_NE(a.out.find("no-such-file.txt"), std::string::npos) << a.out;
    EXPECT_EQ(read("keep.rar"), (std::vector<uint8_t>{1, 2, 3}));
    write("NOTES.TXT", corpus::text(100));
    ToolRun dup = run("a keep.rar notes.txt NOTES.TXT");
    EXPECT_EQ(dup.code, 1);
    EXPECT_NE(dup.out.find("same name"), std::string::npos) << dup.out;
    EXPECT_EQ(read("keep.rar"), (std::vector<uint8_t>{1, 2, 3}));
    ToolRun bad = run("t keep.rar");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("not a RAR archive"), std::string::npos) << bad.out;
    EXPECT_EQ(run("l missing.rar").code, 1);
    // No temporary files are left behind either.
    for (const auto& f : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(f.path().filename().string().find(".tmp"), std::string::npos) << f.path();
}

TEST_F(Cli, WrongUsageAndHelp) {
    for (const char* args : {"", "q out.rar", "a", "a out.rar", "a -m9 out.rar notes.txt", "a -p", "l", "l a b",
                             "t", "x out.rar", "x a b c d", "x -s a b"}) {
        ToolRun r = run(args);
        EXPECT_EQ(r.code, 2) << args << "\n" << r.out;
        EXPECT_NE(r.out.find("usage:"), std::string::npos) << args;
    }
    for (const char* args : {"--help", "a --help", "l --help", "t --help", "x --help"}) {
        ToolRun r = run(args);
        EXPECT_EQ(r.code, 0) << args;
        EXPECT_NE(r.out.find("usage: kelvora-rar"), std::string::npos) << args;
    }
}

}  // namespace
