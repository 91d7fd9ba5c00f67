// The extraction log: where it lives, its header and record format, replacement
// on a new run, and silence when it cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "archive/extract_log.h"
#include "platform/platform.h"
#include "archive_builder.h"
#include "test_util.h"

using namespace testarc;

namespace {

const std::vector<uint8_t> DATA = bytes_of("logged");

TEST(ExtractLog, HeaderAndRecords) {
    LogFolder log;
    auto a = Builder().add(stored("x", DATA)).bytes;
    EXPECT_EQ(extract(a, "X", "pw").ok, 1);
    std::string t = log.text();
    std::regex header(
        "Debug log of Morvit's RARFileLib\n~\\^~{28}\\^~\n"
        "\\(executable compiled on [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4} at [0-9]{2}:[0-9]{2}:[0-9]{2}\\)\n\n"
        " {1,8}[0-9]{1,8} ms \\(line [0-9]+ in urarlib\\.cpp\\):\n {14}- Extracting >X< from >\\(memory\\)< "
        "\\(password is >pw<\\)\\.\\.\\.\n"
        " {1,8}[0-9]{1,8} ms \\(line [0-9]+ in urarlib\\.cpp\\):\n {14}- Extracted 6 Bytes\\.\n");
    EXPECT_TRUE(std::regex_match(t, header)) << t;
    EXPECT_EQ(t.find("~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~^~\n"), 33u);
    struct stat st {};
    ASSERT_EQ(stat(log.log_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((log.root / "kelvora").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // No password: "(null)" stands in.
    extract(a, "x");
    EXPECT_TRUE(log.has("Extracting >x< from >(memory)< (password is >(null)<)..."));
}

TEST(ExtractLog, ANewRunReplacesTheLog) {
    LogFolder log;
    auto a = Builder().add(stored("x", DATA)).bytes;
    extract(a, "first");
    EXPECT_TRUE(log.has("Extracting >first< from >(memory)< (password is >(null)<)..."));
    rearm_extract_log();  // what a new process would do
    extract(a, "second");
    EXPECT_FALSE(log.has("Extracting >first< from >(memory)< (password is >(null)<)..."));
    EXPECT_TRUE(log.has("Extracting >second< from >(memory)< (password is >(null)<)..."));
}

uint32_t fake_ticks_now = 0;
uint32_t fake_ticks() { return fake_ticks_now; }

TEST(ExtractLog, ElapsedTimeComesFromThePlatformAndWraps) {
    LogFolder log;
    std::filesystem::create_directories(log.root / "kelvora");
    SystemDriver sys{};
    sys.ticks = fake_ticks;
    Platform p{};
    p.sys = &sys;
    platform_install(p);
    fake_ticks_now = 0xFFFFFFF0u;
    open_extract_log(log.log_path().c_str());
    fake_ticks_now = 5;  // the counter wrapped: 21 ms later
    log_line("by hand", "urarlib.cpp", 7);
    platform_install(Platform{});
    EXPECT_NE(log.text().find("\n       21 ms (line 7 in urarlib.cpp):\n              - by hand\n"),
              std::string::npos)
        << log.text();
}

// The log never goes through a symlink, stays silent when it cannot be written,
// and extraction works the same without it.
TEST(ExtractLogMends, NoSymlinksAndSilentFailure) {
    {
        LogFolder log;
        std::filesystem::create_directories(log.root / "kelvora");
        std::filesystem::permissions(log.root / "kelvora", std::filesystem::perms::owner_all);
        auto target = log.root / "victim.txt";
        { std::ofstream(target) << "keep me"; }
        std::filesystem::create_symlink(target, log.log_path());
        rearm_extract_log();
        auto a = Builder().add(stored("x", DATA)).bytes;
        EXPECT_EQ(extract(a, "x").data, DATA);
        std::ifstream f(target);
        std::string content((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        EXPECT_EQ(content, "keep me");
    }
    {
        // A kelvora folder open to others is not used.
        LogFolder log;
        std::filesystem::create_directories(log.root / "kelvora");
        chmod((log.root / "kelvora").c_str(), 0777);
        rearm_extract_log();
        auto a = Builder().add(stored("x", DATA)).bytes;
        EXPECT_EQ(extract(a, "x").data, DATA);
        EXPECT_FALSE(std::filesystem::exists(log.log_path()));
    }
    {
        // The log becomes unwritable after it was created: records are dropped.
        LogFolder log;
        auto a = Builder().add(stored("x", DATA)).bytes;
        extract(a, "x");
        std::string before = log.text();
        std::filesystem::remove(log.log_path());
        std::filesystem::create_directory(log.log_path());  // a folder where the file was
        EXPECT_EQ(extract(a, "x").data, DATA);
        std::filesystem::remove(log.log_path());
        EXPECT_FALSE(before.empty());
    }
    {
        // Neither XDG_STATE_HOME nor HOME usable: no log, same extraction.
        LogFolder log;
        std::string home = getenv("HOME") ? getenv("HOME") : "";
        unsetenv("XDG_STATE_HOME");
        setenv("HOME", "relative/path", 1);
        rearm_extract_log();
        auto a = Builder().add(stored("x", DATA)).bytes;
        EXPECT_EQ(extract(a, "x").data, DATA);
        setenv("HOME", home.c_str(), 1);
    }
}

}  // namespace
