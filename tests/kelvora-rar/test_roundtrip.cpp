// Archives from the writer extracted by the reader: every mix of plain or solid,
// stored or compressed, with or without a password, over the test corpus; plus the
// header fields, determinism, the size goal against zlib and the refused inputs.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/crc32.h"
#include "archive/rar_reader.h"
#include "archive_list.h"
#include "corpus.h"
#include "rar_writer.h"

namespace {

using rarw::ArchiveEntry;
using rarw::ArchiveOptions;

std::vector<ArchiveEntry> small_corpus() {
    return {
        {"readme.txt", corpus::text(30000)},
        {"girl.pic", corpus::drawn_picture()},
        {"height.map", corpus::smooth_map()},
        {"empty.dat", {}},
        {"noise.bin", corpus::random_bytes(7000)},
        {"runs.bin", corpus::runs(40000)},
        {"tune.smp", corpus::sound(20000)},
        {"one.dat", {42}},
        {"Empty2.DAT", {}},
    };
}

// Extracts every entry by name and compares it with what went in.
void expect_extracts(const std::vector<uint8_t>& archive, const std::vector<ArchiveEntry>& entries,
                     const char* password) {
    for (const ArchiveEntry& e : entries) {
        uint8_t* block = nullptr;
        uint32_t length = 0;
        ASSERT_EQ(extract_from_memory(&block, &length, e.name.c_str(), archive.data(), archive.size(), password), 1)
            << e.name;
        ASSERT_EQ(length, e.data.size()) << e.name;
        EXPECT_TRUE(length == 0 || std::memcmp(block, e.data.data(), length) == 0) << e.name;
        std::free(block);
    }
}

struct Mode {
    bool solid;
    bool compress;
    const char* password;
};

class RoundTrip : public ::testing::TestWithParam<Mode> {};

TEST_P(RoundTrip, EveryEntryComesBackAndHeadersAreSound) {
    const Mode m = GetParam();
    std::vector<ArchiveEntry> entries = small_corpus();
    // Solid archives start with an entry that stays stored, so the first compressed
    // entry comes later and must still start from a fresh state.
    if (m.solid) std::rotate(entries.begin(), entries.begin() + 4, entries.end());
    ArchiveOptions opt;
    opt.solid = m.solid;
    opt.compress = m.compress;
    opt.password = m.password ? m.password : "";
    const rarw::ArchiveResult r = rarw::build_archive(entries, opt);
    ASSERT_TRUE(r.ok) << r.error;
    expect_extracts(r.bytes, entries, m.password);

    const rarw::ArchiveListing list = rarw::list_archive(r.bytes);
    ASSERT_TRUE(list.ok) << list.error;
    EXPECT_EQ(list.solid, m.solid);
    ASSERT_EQ(list.entries.size(), entries.size());
    bool continued_seen = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        const rarw::ListedEntry& e = list.entries[i];
        EXPECT_EQ(e.name, entries[i].name);
        EXPECT_TRUE(e.header_crc_ok) << e.name;
        EXPECT_EQ(e.version, 20);
        EXPECT_EQ(e.unpacked, entries[i].data.size());
        EXPECT_EQ(e.enciphered(), m.password != nullptr);
        EXPECT_EQ(e.crc, ~crc32_add(0xFFFFFFFFu, entries[i].data.data(), entries[i].data.size()));
        if (!m.compress) {
            EXPECT_EQ(e.method, rarw::kMethodStored);
        }
        if (m.password) {
            EXPECT_EQ(e.packed % 16, 0u);
        }
        // Only a compressed entry after another compressed one continues the solid state.
        if (e.flags & 0x0010) {
            EXPECT_TRUE(m.solid && e.method != rarw::kMethodStored && continued_seen) << e.name;
        }
        continued_seen |= e.method != rarw::kMethodStored;
    }
    if (m.compress) {
        // Text and the drawn picture go through LZ, the smooth map and the sound through audio.
        auto report = [&](const std::string& name) {
            for (const rarw::EntryReport& e : r.entries)
                if (e.name == name) return e;
            ADD_FAILURE() << name;
            return rarw::EntryReport{};
        };
        EXPECT_NE(report("readme.txt").method, rarw::kMethodStored);
        EXPECT_GT(report("girl.pic").lz_blocks, 0u);
        EXPECT_GT(report("height.map").audio_blocks, 0u);
        EXPECT_GT(report("tune.smp").audio_blocks, 0u);
        EXPECT_EQ(report("noise.bin").method, rarw::kMethodStored);  // random bytes do not shrink
        for (const rarw::EntryReport& e : r.entries)
            EXPECT_TRUE(e.note.empty() || e.note.find("did not make it smaller") != std::string::npos) << e.note;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RoundTrip,
                         ::testing::Values(Mode{false, false, nullptr}, Mode{false, true, nullptr},
                                           Mode{true, false, nullptr}, Mode{true, true, nullptr},
                                           Mode{false, false, "s3cret"}, Mode{false, true, "s3cret"},
                                           Mode{true, true, "pass word with spaces"}),
                         [](const ::testing::TestParamInfo<Mode>& p) {
                             return std::string(p.param.solid ? "Solid" : "Plain") +
                                    (p.param.compress ? "Compressed" : "Stored") +
                                    (p.param.password ? "Enciphered" : "");
                         });

TEST(RarWriter, LargeEntriesPastTheWindowInASolidArchive) {
    // The 3 MB entry wraps the decoder's window three times and reaches back near 1 MB;
    // the entries after it continue from the wrapped window (tail.txt repeats text in it).
    const std::vector<ArchiveEntry> entries = {
        {"head.txt", corpus::text(5000, 9)},
        {"big.dat", corpus::large()},
        {"tail.txt", corpus::text(50000, 7)},
        {"tail.map", corpus::smooth_map(256, 256, 8)},
    };
    ArchiveOptions opt;
    opt.solid = true;
    const rarw::ArchiveResult r = rarw::build_archive(entries, opt);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_LT(r.entries[1].packed, entries[1].data.size() / 3);
    EXPECT_LT(r.entries[2].packed, 1000u);
    expect_extracts(r.bytes, entries, nullptr);
}

TEST(RarWriter, SameInputGivesTheSameBytes) {
    const std::vector<ArchiveEntry> entries = small_corpus();
    for (const bool solid : {false, true}) {
        ArchiveOptions opt;
        opt.solid = solid;
        opt.password = solid ? "key" : "";
        const rarw::ArchiveResult a = rarw::build_archive(entries, opt);
        const rarw::ArchiveResult b = rarw::build_archive(entries, opt);
        ASSERT_TRUE(a.ok && b.ok);
        EXPECT_EQ(a.bytes, b.bytes);
    }
}

size_t zlib9_size(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(data.size());
    std::vector<uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), data.size(), 9), Z_OK);
    return size;
}

TEST(RarWriter, CompressesNoWorseThanZlibLevel9) {
    for (const auto& data : {corpus::text(60000), corpus::drawn_picture(), corpus::smooth_map(), corpus::runs(64000),
                             corpus::sound(30000)}) {
        const rarw::ArchiveResult r = rarw::build_archive({{"x", data}}, ArchiveOptions{});
        ASSERT_TRUE(r.ok);
        EXPECT_LE(r.entries[0].packed, zlib9_size(data));
    }
}

TEST(RarWriter, RefusesInputsTheReaderCouldNotTellApart) {
    const std::vector<uint8_t> d = {1, 2, 3};
    auto fails = [](const std::vector<ArchiveEntry>& entries, const ArchiveOptions& opt, const char* words) {
        const rarw::ArchiveResult r = rarw::build_archive(entries, opt);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.bytes.empty());
        EXPECT_NE(r.error.find(words), std::string::npos) << r.error;
    };
    fails({{"Gaia.dat", d}, {"GAIA.DAT", d}}, {}, "same name");
    fails({{"a/b", d}, {"a_b", d}}, {}, "same name");
    fails({{"", d}}, {}, "empty or longer");
    fails({{std::string(260, 'n'), d}}, {}, "empty or longer");
    ArchiveOptions long_pw;
    long_pw.password = std::string(256, 'p');
    fails({{"x", d}}, long_pw, "password");
    // The limits themselves are fine.
    ArchiveOptions pw255;
    pw255.password = std::string(255, 'p');
    const std::vector<ArchiveEntry> edge = {{std::string(259, 'n'), corpus::text(3000)}};
    const rarw::ArchiveResult r = rarw::build_archive(edge, pw255);
    ASSERT_TRUE(r.ok) << r.error;
    expect_extracts(r.bytes, edge, pw255.password.c_str());
}

}  // namespace
