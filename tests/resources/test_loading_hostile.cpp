// The loader against a resource.rar built to stall, exhaust or mislead it: special
// files and folders in its place, an archive or an entry larger than any resource
// can be, a resource shorter than its scene reads, a solid archive with decoys in
// front. Each load runs in a child of the test, measured with getrusage.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/hostile_archives.h"
#include "archive/rar_reader.h"
#include "archive/resources.h"
#include "platform/headless.h"
#include "scratch.h"

namespace fs = std::filesystem;

namespace {

// The show's memory bound, in KiB of peak resident size (the forked test program
// and its sanitizer shadow included).
constexpr long kMaxRssKiB = 200 * 1024;

struct Load {
    int code = -1;  // exit code, -1 when killed (a hang ends in SIGALRM)
    std::string err;
    long max_rss_kib = 0;
};

// The 45 entries of the built archive, by catalogue index.
const std::vector<std::vector<uint8_t>>& built_entries() {
    static std::vector<std::vector<uint8_t>> entries = [] {
        std::vector<std::vector<uint8_t>> e;
        std::ifstream in("resource.rar", std::ios::binary);
        std::vector<uint8_t> rar((std::istreambuf_iterator<char>(in)), {});
        for (int i = 0; i < RESOURCE_COUNT && !rar.empty(); ++i) {
            uint8_t* block = nullptr;
            uint32_t length = 0;
            if (!extract_from_memory(&block, &length, resource_catalogue[i], rar.data(), rar.size(), nullptr))
                return std::vector<std::vector<uint8_t>>{};
            e.emplace_back(block, block + length);
            std::free(block);
        }
        return e;
    }();
    return entries;
}

class HostileLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        dir_ = scratch_.path();
    }

    void write_archive(const std::vector<uint8_t>& bytes) const {
        std::ofstream(dir_ + "/resource.rar", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // The 45 built entries as stored entries, with replace(i, entry) choosing any
    // to change, behind the given archive flags and leading entries.
    template <typename Replace>
    std::vector<uint8_t> catalogue_archive(uint16_t flags, const std::vector<testarc::Entry>& leading,
                                           Replace replace) const {
        testarc::Builder b(flags);
        for (const testarc::Entry& e : leading) b.add(e);
        for (int i = 0; i < RESOURCE_COUNT; ++i) {
            testarc::Entry e = testarc::stored(resource_catalogue[i], built_entries()[size_t(i)]);
            replace(i, e);
            b.add(e);
        }
        return b.bytes;
    }

    // Loads the catalogue in a child with the scratch folder as its current
    // directory; check (when given) runs on the loaded slots and picks the exit code.
    Load load(bool (*check)() = nullptr) const {
        const std::string err_file = dir_ + ".err";
        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 2);
            if (chdir(dir_.c_str()) != 0) _exit(126);
            alarm(30);
            headless_install(HeadlessConfig{});
            load_catalogue();
            _exit(check == nullptr || check() ? 0 : 3);
        }
        Load r;
        int status = 0;
        struct rusage usage {};
        if (wait4(pid, &status, 0, &usage) == pid) {
            r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            r.max_rss_kib = usage.ru_maxrss;
        }
        std::ifstream in(err_file);
        r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::remove(err_file.c_str());
        return r;
    }

    ScratchDir scratch_{"kelvora-load-hostile"};
    std::string dir_;
};

void expect_fatal(const Load& r, const std::string& words) {
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
    EXPECT_LT(r.max_rss_kib, kMaxRssKiB);
}

// Every slot holds exactly the built entry.
bool slots_match_built() {
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        const std::vector<uint8_t>& want = built_entries()[size_t(i)];
        if (resource_length[i] != want.size() || std::memcmp(resource_slot[i], want.data(), want.size()) != 0)
            return false;
    }
    return true;
}

TEST_F(HostileLoad, TheArchiveFileItselfIsCheckedBeforeReading) {
    // Missing: the file and the cause are named, after the words of old.
    expect_fatal(load(), "error loading resource 'bizk.dat' (resource.rar: No such file or directory)");
    // A FIFO would block a plain open for ever.
    ASSERT_EQ(mkfifo((dir_ + "/resource.rar").c_str(), 0600), 0);
    expect_fatal(load(), "error loading resource 'bizk.dat' (resource.rar: not a regular file)");
    fs::remove(dir_ + "/resource.rar");
    fs::create_directory(dir_ + "/resource.rar");
    expect_fatal(load(), "(resource.rar: a folder, not an archive file)");
    fs::remove(dir_ + "/resource.rar");
    // Larger than any resource archive: refused from its size alone (a sparse file).
    {
        std::ofstream(dir_ + "/resource.rar").put('R');
    }
    fs::resize_file(dir_ + "/resource.rar", uint64_t(1) << 30);
    expect_fatal(load(), "resource.rar is larger than");
}

TEST_F(HostileLoad, EntriesAreSizedAgainstTheCatalogueBeforeDecoding) {
    if (built_entries().empty()) GTEST_SKIP() << "resource.rar has not been built";
    // An entry of 130 KB that decodes to 256 MiB where the picture is 6 KB; its
    // CRC is never reached, so it is left 0.
    const testarc::Entry bomb = hostile::zero_bomb("bizk.dat", hostile::BOMB_256_MIB, false);
    write_archive(catalogue_archive(0, {}, [&](int i, testarc::Entry& e) {
        if (i == RES_BIZK) e = bomb;
    }));
    expect_fatal(load(), "error loading resource 'bizk.dat' (it declares " + std::to_string(bomb.unp_size) +
                             " bytes, more than the 65536 a resource can be)");
    // The closing picture cut short is found at start-up, not when its scene starts.
    write_archive(catalogue_archive(0, {}, [](int i, testarc::Entry& e) {
        if (i == RES_APFRM) e = testarc::stored("apfrm.dat", std::vector<uint8_t>(100, 7));
    }));
    expect_fatal(load(), "error loading resource 'apfrm.dat' (100 bytes, fewer than the 64000 the show reads)");
}

TEST_F(HostileLoad, ASolidArchiveIsDecodedOnceInOrder) {
    if (built_entries().empty()) GTEST_SKIP() << "resource.rar has not been built";
    // Decoys in front (2 MiB each when decoded) and a second "bizk.dat" at the end:
    // everything loads, each slot from the first entry of its name.
    std::vector<testarc::Entry> decoys;
    for (int i = 0; i < 3; ++i) decoys.push_back(hostile::zero_bomb("decoy" + std::to_string(i), 8128));
    std::vector<uint8_t> rar = catalogue_archive(0x0008, decoys, [](int, testarc::Entry&) {});
    testarc::Builder tail;
    tail.bytes.clear();
    tail.add(testarc::stored("bizk.dat", std::vector<uint8_t>(5940, 1)));
    rar.insert(rar.end(), tail.bytes.begin(), tail.bytes.end());
    write_archive(rar);
    Load ok = load(slots_match_built);
    EXPECT_EQ(ok.code, 0) << ok.err;
    EXPECT_LT(ok.max_rss_kib, kMaxRssKiB);
    // Decoys that would decode to more than the show ever needs are refused before
    // any of them is decoded.
    decoys.clear();
    for (int i = 0; i < 20; ++i) decoys.push_back(hostile::zero_bomb("decoy" + std::to_string(i), 4064));
    write_archive(catalogue_archive(0x0008, decoys, [](int, testarc::Entry&) {}));
    expect_fatal(load(), "error loading resource 'bizk.dat' (resource.rar: its solid entries would decode to more than");
}

}  // namespace
