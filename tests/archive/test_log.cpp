// The extraction log: where it lives, its header and record format, replacement
// on a new run, and silence when it cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

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
    std::vector<std::string> lines;
    std::string t = log.text();
    for (size_t at = 0, nl; (nl = t.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(t.substr(at, nl - at));
    ASSERT_EQ(lines.size(), 8u) << t;
    EXPECT_EQ(lines[0], "Debug log of Morvit's RARFileLib");
    EXPECT_EQ(lines[1], "~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~^~");
    // "(executable compiled on Mmm dd yyyy at hh:mm:ss)", the day space-padded.
    const std::string& built = lines[2];
    ASSERT_EQ(built.size(), std::string("(executable compiled on Dec  7 2026 at 06:27:21)").size()) << built;
    EXPECT_EQ(built.substr(0, 24), "(executable compiled on ");
    EXPECT_TRUE(std::isupper(built[24]) && std::islower(built[25]) && std::islower(built[26]));
    EXPECT_TRUE(built[28] == ' ' || std::isdigit(built[28]));
    EXPECT_TRUE(std::isdigit(built[29]) && std::isdigit(built[31]) && std::isdigit(built[34]));
    EXPECT_EQ(built.substr(35, 4), " at ");
    EXPECT_EQ(built[41], ':');
    EXPECT_EQ(built[44], ':');
    EXPECT_EQ(built.back(), ')');
    EXPECT_EQ(lines[3], "");
    // Records: " %8u ms (line %u in rar_reader.cpp):" then the message after 14 spaces and "- ".
    for (int r : {4, 6}) {
        const std::string& head = lines[size_t(r)];
        ASSERT_GT(head.size(), 10u);
        EXPECT_EQ(head[0], ' ');
        std::string ms = head.substr(1, 8);
        size_t digits = ms.find_first_not_of(' ');
        ASSERT_NE(digits, std::string::npos);
        EXPECT_EQ(ms.substr(digits).find_first_not_of("0123456789"), std::string::npos) << head;
        EXPECT_EQ(head.substr(9, 10), " ms (line ");
        EXPECT_EQ(head.substr(head.size() - 20), " in rar_reader.cpp):");
    }
    // A password is never written out: the log says only that one was given.
    EXPECT_EQ(lines[5], "              - Extracting >X< from >(memory)< (password is >(hidden)<)...");
    EXPECT_EQ(t.find(">pw<"), std::string::npos);
    EXPECT_EQ(lines[7], "              - Extracted 6 Bytes.");
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

TEST(ExtractLog, KeptInMemoryItWritesTheSameRecordsAndNoFile) {
    LogFolder log;
    keep_extract_log_in_memory(true);
    rearm_extract_log();
    auto a = Builder().add(stored("x", DATA)).bytes;
    EXPECT_EQ(extract(a, "x").data, DATA);
    extract(a, "nothing");
    const std::string memory = extract_log_memory();
    keep_extract_log_in_memory(false);
    rearm_extract_log();
    EXPECT_FALSE(std::filesystem::exists(log.log_path()));
    EXPECT_NE(memory.find("              - Extracting >x< from >(memory)< (password is >(null)<)...\n"),
              std::string::npos);
    EXPECT_NE(memory.find("              - Extracted 6 Bytes.\n"), std::string::npos);
    EXPECT_NE(memory.find(">nothing<"), std::string::npos);
    // Far more records than the buffer holds: it starts over and stays terminated.
    keep_extract_log_in_memory(true);
    rearm_extract_log();
    for (int i = 0; i < 2000; ++i) extract(a, "x");
    EXPECT_LT(strlen(extract_log_memory()), 65536u);
    EXPECT_NE(std::string(extract_log_memory()).find("Extracted 6 Bytes."), std::string::npos);
    keep_extract_log_in_memory(false);
    rearm_extract_log();
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
    log_line("by hand", "rar_reader.cpp", 7);
    platform_install(Platform{});
    EXPECT_NE(log.text().find("\n       21 ms (line 7 in rar_reader.cpp):\n              - by hand\n"),
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
