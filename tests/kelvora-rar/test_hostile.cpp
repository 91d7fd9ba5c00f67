// kelvora-rar against archives and files built to mislead or exhaust it: what it
// lists is what it tests and writes, names are shown escaped and never used raw,
// the output is never a file it did not make, memory stays bounded, and every
// refusal is one line with exit code 1. Each run is a child of this test, measured
// with getrusage, in a scratch folder that is also its HOME.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "archive/hostile_archives.h"
#include "scratch.h"

namespace fs = std::filesystem;

namespace {

// The tool's memory bound, in KiB of peak resident size (sanitizer shadow included).
constexpr long kMaxRssKiB = 64 * 1024;
// A run still going after this long is killed and counts as a hang.
constexpr unsigned kHangSeconds = 60;

std::string tool_path() { return program_beside("kelvora-rar"); }

struct ToolRun {
    int code = -1;       // exit code, or -1 when killed
    std::string out;     // stdout and stderr together
    long max_rss_kib = 0;
};

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        dir_ = scratch_.path();
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    void write(const std::string& name, const std::vector<uint8_t>& data) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& f : fs::directory_iterator(dir_)) names.insert(f.path().filename().string());
        return names;
    }

    // Runs the tool with args in the scratch folder (also HOME and the log's
    // state folder); output goes to a file outside it.
    ToolRun run(const std::vector<std::string>& args, unsigned seconds = kHangSeconds) const {
        const std::string out_file = dir_ + ".out", rss_file = dir_ + ".rss";
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(dir_.c_str()) != 0) _exit(126);
            setenv("HOME", dir_.c_str(), 1);
            setenv("XDG_STATE_HOME", (dir_ + ".state").c_str(), 1);
            const int fd = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            dup2(fd, 2);
            // Measured by a small process of its own (see peak_rss.cpp).
            std::vector<char*> argv;
            const std::string peak = program_beside("peak-rss"), tool = tool_path();
            argv.push_back(const_cast<char*>(peak.c_str()));
            argv.push_back(const_cast<char*>(rss_file.c_str()));
            argv.push_back(const_cast<char*>(tool.c_str()));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            alarm(seconds);  // passed on through exec: a hang ends in SIGALRM
            execv(peak.c_str(), argv.data());
            _exit(127);
        }
        ToolRun r;
        int status = 0;
        if (waitpid(pid, &status, 0) == pid) r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r.code >= 125) r.code = -1;  // killed, or not run
        std::ifstream(rss_file) >> r.max_rss_kib;
        std::remove(rss_file.c_str());
        std::ifstream in(out_file, std::ios::binary);
        r.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::remove(out_file.c_str());
        std::error_code ec;
        fs::remove_all(dir_ + ".state", ec);
        return r;
    }

    ScratchDir scratch_{"kelvora-rar-hostile"};
    std::string dir_;
};

// A refusal: exit code 1 and exactly one line.
void expect_refused(const ToolRun& r, const std::string& words) {
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_NE(r.out.find(words), std::string::npos) << r.out;
}

bool has_raw_control(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\n') || u == 0x7F;
    });
}

TEST_F(Hostile, ANameCannotHideAnotherName) {
    write("nul.rar", hostile::nul_name_archive());
    ToolRun l = run({"l", "nul.rar"});
    EXPECT_EQ(l.code, 0) << l.out;
    EXPECT_NE(l.out.find("README.txt\\x00/.bashrc"), std::string::npos) << l.out;
    ToolRun t = run({"t", "nul.rar"});
    EXPECT_EQ(t.code, 0) << t.out;
    EXPECT_NE(t.out.find("README.txt\\x00/.bashrc"), std::string::npos) << t.out;
    // The C string the command line can give stops at the NUL: it names nothing.
    expect_refused(run({"x", "nul.rar", "README.txt"}), "no entry named \"README.txt\"");
    EXPECT_EQ(files(), std::set<std::string>{"nul.rar"});

    write("ctl.rar", hostile::control_names_archive());
    l = run({"l", "ctl.rar"});
    EXPECT_EQ(l.code, 0);
    EXPECT_FALSE(has_raw_control(l.out)) << l.out;
    EXPECT_NE(l.out.find("clear\\x1B[2Jscreen.txt"), std::string::npos) << l.out;
    EXPECT_NE(l.out.find("fake.txt\\x0Dreal.txt"), std::string::npos) << l.out;
    t = run({"t", "ctl.rar"});
    EXPECT_EQ(t.code, 0);
    EXPECT_FALSE(has_raw_control(t.out)) << t.out;
    for (const std::string& name : hostile::control_names()) {
        SCOPED_TRACE(name);
        ToolRun x = run({"x", "ctl.rar", name});
        expect_refused(x, "give OUTFILE");
        EXPECT_FALSE(has_raw_control(x.out)) << x.out;
    }
    EXPECT_EQ(files(), (std::set<std::string>{"ctl.rar", "nul.rar"}));
    ToolRun named = run({"x", "ctl.rar", "fake.txt\rreal.txt", "plain.txt"});
    EXPECT_EQ(named.code, 0) << named.out;
    EXPECT_FALSE(has_raw_control(named.out)) << named.out;
    EXPECT_EQ(read("plain.txt"), "text of fake.txt\rreal.txt");
}

TEST_F(Hostile, ListerTesterAndExtractorAgree) {
    // Size fields below what their header must hold: all three commands refuse
    // the archive alike.
    write("short_archive.rar", hostile::short_archive_header());
    write("short_file.rar", hostile::short_file_header());
    for (const char* archive : {"short_archive.rar", "short_file.rar"}) {
        SCOPED_TRACE(archive);
        const char* words = std::string(archive) == "short_archive.rar" ? "not a RAR archive" : "damaged";
        expect_refused(run({"t", archive}), words);
        ToolRun l = run({"l", archive});
        EXPECT_EQ(l.code, 1);
        EXPECT_NE(l.out.find(words), std::string::npos) << l.out;
        EXPECT_EQ(l.out.find("a.txt"), std::string::npos) << l.out;
        expect_refused(run({"x", archive, "a.txt"}), words);
    }
    // Names equal in their first 259 bytes stay two names.
    write("prefix.rar", hostile::shared_prefix_archive());
    const std::string first = hostile::long_name('1'), second = hostile::long_name('2');
    ToolRun t = run({"t", "prefix.rar"});
    EXPECT_EQ(t.code, 1);
    EXPECT_NE(t.out.find(first + " FAILED"), std::string::npos) << t.out;
    EXPECT_NE(t.out.find(second + " OK"), std::string::npos) << t.out;
    EXPECT_EQ(run({"x", "prefix.rar", second, "two.txt"}).code, 0);
    EXPECT_EQ(read("two.txt"), "second entry");
    expect_refused(run({"x", "prefix.rar", first, "one.txt"}), "failed its data check");
    EXPECT_FALSE(fs::exists(path("one.txt")));
    expect_refused(run({"x", "prefix.rar", std::string(259, 'n'), "none.txt"}), "no entry named");
}

TEST_F(Hostile, TheOutputIsNeverAFileItDidNotMake) {
    write("a.rar", testarc::Builder().add(testarc::stored("a.txt", hostile::bytes_of("new text"))).bytes);
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    expect_refused(run({"x", "a.rar", "a.txt", "fifo"}), "not a regular file");
    expect_refused(run({"x", "-f", "a.rar", "a.txt", "fifo"}), "not a regular file");
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    fs::create_directory(path("folder"));
    expect_refused(run({"x", "-f", "a.rar", "a.txt", "folder"}), "not a regular file");
    // A link planted at the output is neither followed nor replaced.
    write("target.txt", hostile::bytes_of("keep me"));
    fs::create_symlink(path("target.txt"), path("a.txt"));
    expect_refused(run({"x", "a.rar", "a.txt"}), "not a regular file");
    expect_refused(run({"x", "-f", "a.rar", "a.txt"}), "not a regular file");
    EXPECT_TRUE(fs::is_symlink(path("a.txt")));
    EXPECT_EQ(read("target.txt"), "keep me");
    fs::remove(path("a.txt"));
    // An existing file, read-only or not, is replaced only when told to.
    write("a.txt", hostile::bytes_of("old text"));
    fs::permissions(path("a.txt"), fs::perms::owner_read);
    expect_refused(run({"x", "a.rar", "a.txt"}), "give -f to replace it");
    EXPECT_EQ(read("a.txt"), "old text");
    ToolRun f = run({"x", "--overwrite", "a.rar", "a.txt"});
    EXPECT_EQ(f.code, 0) << f.out;
    EXPECT_EQ(read("a.txt"), "new text");
    // `a` leaves an archive path that is not a regular file alone.
    expect_refused(run({"a", "fifo", "target.txt"}), "not a regular file");
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    // No temporary file is left behind.
    EXPECT_EQ(files(), (std::set<std::string>{"a.rar", "a.txt", "fifo", "folder", "target.txt"}));
    ToolRun help = run({"x", "--help"});
    EXPECT_NE(help.out.find("--overwrite"), std::string::npos);
}

TEST_F(Hostile, SpecialFilesAndFoldersAsInput) {
    fs::create_directory(path("folder.rar"));
    ASSERT_EQ(mkfifo(path("fifo.rar").c_str(), 0600), 0);
    for (const char* cmd : {"l", "t"}) {
        expect_refused(run({cmd, "folder.rar"}), "a folder");
        expect_refused(run({cmd, "fifo.rar"}), "not a regular file");  // no blocking open
        expect_refused(run({cmd, "/dev/zero"}), "not a regular file");
    }
    expect_refused(run({"x", "folder.rar", "a"}), "a folder");
    ToolRun zero = run({"a", "out.rar", "/dev/zero"});
    expect_refused(zero, "not a regular file");
    EXPECT_LT(zero.max_rss_kib, kMaxRssKiB);
    expect_refused(run({"a", "out.rar", "fifo.rar"}), "not a regular file");
    EXPECT_FALSE(fs::exists(path("out.rar")));
}

TEST_F(Hostile, PasswordsBeyondTheFormatAreRefusedAndNeverLogged) {
    write("a.txt", hostile::bytes_of("some text"));
    const std::string long_pw(256, 'p');
    expect_refused(run({"a", "-p", long_pw, "out.rar", "a.txt"}), "longer than 255 bytes");
    ASSERT_EQ(run({"a", "-p", "open.sesame", "out.rar", "a.txt"}).code, 0);
    expect_refused(run({"t", "-p", long_pw, "out.rar"}), "longer than 255 bytes");
    expect_refused(run({"x", "-p", long_pw, "out.rar", "a.txt", "b.txt"}), "longer than 255 bytes");
    // The extraction log of a run with a password does not hold it.
    const std::string state = dir_ + ".state";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        execl(tool_path().c_str(), "kelvora-rar", "x", "-p", "open.sesame", path("out.rar").c_str(), "a.txt",
              path("b.txt").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream in(state + "/kelvora/debug_unrar.txt");
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove_all(state);
    EXPECT_EQ(log.find("open.sesame"), std::string::npos) << log;
}

TEST_F(Hostile, AnEntryOfAQuarterGigabyteStreamsInBoundedMemory) {
    std::vector<uint8_t> bomb = testarc::Builder().add(hostile::zero_bomb("zeros", hostile::BOMB_256_MIB)).bytes;
    ASSERT_LT(bomb.size(), 200u * 1024);
    write("bomb.rar", bomb);
    bomb.clear();
    ToolRun t = run({"t", "bomb.rar"});
    EXPECT_EQ(t.code, 0) << t.out;
    EXPECT_LT(t.max_rss_kib, kMaxRssKiB);
    ToolRun x = run({"x", "bomb.rar", "zeros"});
    EXPECT_EQ(x.code, 0) << x.out;
    EXPECT_LT(x.max_rss_kib, kMaxRssKiB);
    EXPECT_EQ(fs::file_size(path("zeros")), 1u + 258u * (hostile::BOMB_256_MIB + 1));
    fs::remove(path("zeros"));
}

TEST_F(Hostile, TenThousandTinyEntriesAreTestedInOneWalk) {
    write("many.rar", hostile::many_tiny(10000));
    // Not a timing: a walk from the start for every entry takes minutes here under
    // the sanitizers, one walk well under a second.
    ToolRun t = run({"t", "many.rar"}, 20);
    EXPECT_EQ(t.code, 0);
    EXPECT_NE(t.out.find("all 10000 entries OK"), std::string::npos);
    EXPECT_LT(t.max_rss_kib, kMaxRssKiB);
}

}  // namespace
