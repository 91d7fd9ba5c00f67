// The program's start on hostile data files: a resource archive with each entry in
// turn missing, cut off, with a wrong CRC, a forged size or enciphered, or one byte
// short, and an empty, cut-off or foreign module. Each ends in its one line (the
// entry named, then the cause) and exit code 1, never a crash, a hang or a read past
// a block (the sanitizers watch the children).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/driver.h"
#include "archive/cipher.h"
#include "archive/resources.h"
#include "archive_builder.h"
#include "music/audio.h"
#include "platform/headless.h"

namespace fs = std::filesystem;
using namespace testarc;

namespace {

// A folder of its own for each case, made the current folder inside the child.
struct Scratch {
    fs::path path;
    explicit Scratch(const std::string& tag) {
        path = fs::temp_directory_path() / ("kelvora_start_" + tag + "_" + std::to_string(getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Scratch() { fs::remove_all(path); }
    void write(const char* name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(path / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
};

// The whole program from its start-up in dir, as the driver runs it, with sound on
// or off; the child ends where the start-up ends it.
[[noreturn]] void start_in(const fs::path& dir, bool sound) {
    fs::current_path(dir);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    HeadlessConfig c;
    c.settings = RunSettings{false, sound, 44100, 1};
    c.music = sound ? &sdl_music_driver : nullptr;
    headless_install(c);
    run_show();
    fprintf(stderr, "the show returned\n");
    exit(0);
}

// Entry i's content: exactly the bytes its scene reads, the least the start-up takes.
std::vector<uint8_t> content(int i) {
    std::vector<uint8_t> v(resource_min_bytes[i]);
    for (size_t k = 0; k < v.size(); ++k) v[k] = uint8_t(k * 31 + size_t(i) * 17);
    return v;
}

enum class Fault { missing, cut, wrong_crc, forged_size, enciphered };
const char* const fault_name[] = {"missing", "cut", "wrong CRC", "forged size", "enciphered"};

// The 45 entries in catalogue order, entry `bad` damaged as `fault` says.
std::vector<uint8_t> archive_with(int bad, Fault fault) {
    Builder b;
    size_t cut_at = 0;
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        const std::vector<uint8_t> data = content(i);
        Entry e = stored(resource_catalogue[i], data);
        if (i == bad) {
            if (fault == Fault::missing) continue;
            if (fault == Fault::wrong_crc) e.file_crc ^= 0x00010000u;
            if (fault == Fault::forged_size) e.unp_size = 0xFFFFFF00u;
            if (fault == Fault::enciphered) {
                std::vector<uint8_t> padded = data;
                padded.resize((padded.size() + 15) & ~size_t(15), 0);
                prepare_cipher("pw");
                for (size_t k = 0; k < padded.size(); k += 16) encipher_block(padded.data() + k);
                e.packed = padded;
                e.flags |= 0x0004;
            }
        }
        b.add(e);
        if (i == bad && fault == Fault::cut) cut_at = b.bytes.size() - data.size() / 2;
    }
    if (fault == Fault::cut) b.bytes.resize(cut_at);
    return b.bytes;
}

TEST(HostileStart, EachEntryInTurnDamagedStopsTheStartWithItsName) {
    GTEST_FLAG_SET(death_test_style, "fast");
    Scratch dir("archive");
    {
        // An entry one byte short of what its scene reads stops the start-up before
        // any scene runs.
        Builder whole;
        for (int i = 0; i < RESOURCE_COUNT; ++i) {
            std::vector<uint8_t> data = content(i);
            if (i == RES_PSX) data.pop_back();
            whole.add(stored(resource_catalogue[i], data));
        }
        dir.write("resource.rar", whole.bytes);
        EXPECT_EXIT(start_in(dir.path, false), ::testing::ExitedWithCode(1),
                    "^kelvora: Core Error: error loading resource 'psx.dat' \\(63999 bytes, fewer than the "
                    "64000 the show reads\\)\n$");
    }
    for (Fault fault : {Fault::missing, Fault::cut, Fault::wrong_crc, Fault::forged_size, Fault::enciphered}) {
        for (int i = 0; i < RESOURCE_COUNT; ++i) {
            dir.write("resource.rar", archive_with(i, fault));
            const std::string line =
                std::string("^kelvora: Core Error: error loading resource '") + resource_catalogue[i] + "' \\(.*\\)\n$";
            EXPECT_EXIT(start_in(dir.path, false), ::testing::ExitedWithCode(1), line)
                << fault_name[int(fault)] << ", entry " << i;
        }
    }
}

std::vector<uint8_t> built_module() {
    std::ifstream in("kelvora.xm", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(HostileStart, AnEmptyCutOrForeignModuleStopsTheStartWithTheSoundError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<uint8_t> xm = built_module();
    ASSERT_GT(xm.size(), 1000u) << "kelvora.xm has not been built";
    Scratch dir("module");
    // No archive: a start that got past the music would stop at the first entry.
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
        {{}, "Unknown file format"},
        {std::vector<uint8_t>(xm.begin(), xm.begin() + 40), "Error loading file"},
        {std::vector<uint8_t>(xm.begin(), xm.begin() + 400), "Error loading file"},
        {std::vector<uint8_t>(xm.begin(), xm.end() - long(xm.size() / 3)), "Error loading file"},
        {std::vector<uint8_t>(xm.begin(), xm.end() - 1), "Error loading file"},
        {std::vector<uint8_t>({'R', 'I', 'F', 'F', 0x24, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}),
         "Unknown file format"},
    };
    for (const auto& [bytes, text] : cases) {
        dir.write("kelvora.xm", bytes);
        EXPECT_EXIT(start_in(dir.path, true), ::testing::ExitedWithCode(1),
                    "^kelvora: Core Error: Sound error : " + text + "\n$")
            << bytes.size() << " bytes";
    }
    dir.write("kelvora.xm", xm);
    EXPECT_EXIT(start_in(dir.path, true), ::testing::ExitedWithCode(1),
                "^kelvora: Core Error: error loading resource 'bizk.dat' \\(resource.rar: No such file or directory\\)\n$");
}

}  // namespace
