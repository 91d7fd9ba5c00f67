// The block walk, name matching, stored entries, CRC checks and the guards against
// malformed archives.
#include <gtest/gtest.h>

#include <cstdio>

#include "archive_builder.h"
#include "lz_stream_writer.h"
#include "test_util.h"

using namespace testarc;

namespace {

const std::vector<uint8_t> HELLO = bytes_of("hello, archive");

TEST(NamesMatch, CaseAndSeparatorsDoNotMatter) {
    EXPECT_EQ(names_match("GAIA.DAT", "gaia.dat"), 1);
    EXPECT_EQ(names_match("pics\\boy.raw", "PICS/boy.raw"), 1);
    EXPECT_EQ(names_match("pics\\boy.raw", "pics_boy.raw"), 1);
    EXPECT_EQ(names_match("pics/boy.raw", "pics\\BOY.RAW"), 1);
    EXPECT_EQ(names_match("gaia.dat", "gaia.da"), 0);
    EXPECT_EQ(names_match("pics\\boy.raw", "boy.raw"), 0);
    EXPECT_EQ(names_match("\xe9t\xe9", "\xc9T\xc9"), 0);  // only ASCII letters fold
}

TEST(Reader, FindsEntriesByNameAndFirstDuplicateWins) {
    LogFolder log;
    auto a = Builder()
                 .add(stored("one.bin", bytes_of("first")))
                 .add(stored("pics\\gaia.dat", HELLO))
                 .add(stored("ONE.BIN", bytes_of("second")))
                 .bytes;
    auto r = extract(a, "PICS/GAIA.DAT");
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.data, HELLO);
    EXPECT_EQ(extract(a, "one.bin").data, bytes_of("first"));
    r = extract(a, "missing.bin");
    EXPECT_EQ(r.ok, 0);
    EXPECT_TRUE(r.null_block);
}

TEST(Reader, HeaderCrcIsOnlyLoggedDataCrcFails) {
    LogFolder log;
    Entry bad_header = stored("a.bin", HELLO);
    bad_header.break_crc = true;
    auto r = extract(Builder().add(bad_header).bytes, "a.bin");
    EXPECT_EQ(r.ok, 1);
    EXPECT_TRUE(log.has("file header broken"));

    // A wrong data CRC fails the call; a later entry of the same name is not tried.
    Entry bad_data = stored("a.bin", HELLO);
    bad_data.file_crc ^= 1;
    r = extract(Builder().add(bad_data).add(stored("a.bin", HELLO)).bytes, "a.bin");
    EXPECT_EQ(r.ok, 0);
    EXPECT_TRUE(log.has("CRC32 error - file couldn't be decompressed correctly!"));
}

TEST(Reader, ZeroLengthEntries) {
    auto r = extract(Builder().add(stored("empty", {})).bytes, "empty");
    EXPECT_EQ(r.ok, 1);
    EXPECT_FALSE(r.null_block);
    EXPECT_TRUE(r.data.empty());
    // A compressed empty entry: only its code lengths.
    lzw::LzStreamWriter w;
    w.tables(lzw::LzStreamWriter::flat_lz_lengths());
    r = extract(Builder().add(packed("e", w.finish(), {})).bytes, "e");
    EXPECT_EQ(r.ok, 1);
    EXPECT_TRUE(r.data.empty());
}

TEST(Reader, UnknownVersionMattersOnlyWhenDecoded) {
    LogFolder log;
    Entry v29 = stored("new.bin", HELLO);
    v29.version = 29;
    auto plain = Builder().add(v29).add(stored("want", HELLO)).bytes;
    EXPECT_EQ(extract(plain, "want").ok, 1);
    EXPECT_FALSE(log.has("unknown compression method"));
    auto solid = Builder(0x0008).add(v29).add(stored("want", HELLO)).bytes;
    EXPECT_EQ(extract(solid, "want").ok, 0);
    EXPECT_TRUE(log.has("unknown compression method"));
    Entry v12 = stored("want", HELLO);
    v12.version = 12;
    EXPECT_EQ(extract(Builder().add(v12).bytes, "want").ok, 0);
}

TEST(Reader, OtherBlocksAreSteppedOverSubBlocksRefused) {
    LogFolder log;
    auto a = Builder()
                 .block(0x75, 0x0000, 7)                           // comment-like, no data
                 .block(0x7A, 0x8000, 20, pattern(300, 3))         // with a data area
                 .add(stored("x", HELLO))
                 .bytes;
    EXPECT_EQ(extract(a, "x").data, HELLO);
    auto s = Builder().block(0x77, 0x8000, 11, pattern(10, 1)).add(stored("x", HELLO)).bytes;
    EXPECT_EQ(extract(s, "x").ok, 0);
    EXPECT_TRUE(log.has("Sorry, sub-headers not supported."));
}

TEST(Reader, LongArchiveHeaderIsSkipped) {
    auto a = Builder(0, pattern(41, 9)).add(stored("x", HELLO)).bytes;
    EXPECT_EQ(extract(a, "x").data, HELLO);
    auto own = Builder(0, {}, "Morvit!").add(stored("x", HELLO)).bytes;
    EXPECT_EQ(extract(own, "x").data, HELLO);
}

TEST(Reader, MarkersOfOtherFormatsAreRefused) {
    LogFolder log;
    auto old = Builder(0, {}, "RE~^\x01\x02\x03").add(stored("x", HELLO)).bytes;
    EXPECT_EQ(extract(old, "x").ok, 0);
    EXPECT_TRUE(log.has("Attention: format as OLD detected! Can't handel archive!"));
    EXPECT_TRUE(log.has("Not a RAR file"));
    auto other = Builder(0, {}, "PK\x03\x04xyz").add(stored("x", HELLO)).bytes;
    EXPECT_EQ(extract(other, "x").ok, 0);
    EXPECT_TRUE(log.has("unknown archive type (only plain RAR supported (normal and solid archives), "
                        "SFX and Volumes are NOT supported!)"));
    auto shorty = Builder().bytes;
    shorty.resize(15);  // marker and half an archive header
    EXPECT_EQ(extract(shorty, "x").ok, 0);
    EXPECT_EQ(extract({}, "x").ok, 0);
}

TEST(Reader, ReadsArchiveFiles) {
    LogFolder log;
    std::string path = (log.root / "a.rar").string();
    auto a = Builder().add(stored("x", HELLO)).bytes;
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(a.data(), 1, a.size(), f);
    fclose(f);
    uint8_t* block = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(extract_to_memory(&block, &length, "X", path.c_str(), nullptr), 1);
    EXPECT_EQ(std::vector<uint8_t>(block, block + length), HELLO);
    free(block);
    EXPECT_EQ(extract_to_memory(&block, &length, "X", (log.root / "none.rar").c_str(), nullptr), 0);
    EXPECT_EQ(block, nullptr);
    EXPECT_TRUE(log.has("Error opening file."));
}

// A file header that goes on past the name (here 9 bytes of extra fields): the
// data follows the whole header, and the header CRC covers all of it.
TEST(ReaderMends, LongFileHeaderDataFollowsTheHeader) {
    LogFolder log;
    Entry e = stored("x", HELLO);
    e.extra = pattern(9, 4);
    auto r = extract(Builder().add(e).add(stored("y", HELLO)).bytes, "x");
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.data, HELLO);
    EXPECT_FALSE(log.has("file header broken"));
    EXPECT_EQ(extract(Builder().add(e).add(stored("y", bytes_of("why"))).bytes, "y").data, bytes_of("why"));
}

// Malformed archives fail cleanly: no read or write outside a buffer (the
// sanitizers watch), no endless walk, no allocation of a forged size.
TEST(ReaderMends, MalformedArchivesFailCleanly) {
    LogFolder log;
    auto good = Builder().add(stored("x", HELLO)).add(stored("y", HELLO)).bytes;
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> a(good.begin(), good.begin() + cut);
        auto r = extract(a, "y");
        EXPECT_EQ(r.ok, 0) << cut;
    }
    // Header sizes below 7, and blocks that claim to end before they start.
    Entry tiny = stored("x", HELLO);
    tiny.head_size = 3;
    EXPECT_EQ(extract(Builder().add(tiny).bytes, "x").ok, 0);
    // A forged unpacked size is refused before any allocation.
    Entry huge = stored("x", HELLO);
    huge.unp_size = 0xFFFFFFF0u;
    EXPECT_EQ(extract(Builder().add(huge).bytes, "x").ok, 0);
    EXPECT_TRUE(log.has("can't allocate memory for the file decompression"));
    Entry big_packed = packed("x", {0x12, 0x34}, HELLO);
    big_packed.unp_size = 50000000;
    EXPECT_EQ(extract(Builder().add(big_packed).bytes, "x").ok, 0);
    // In a solid archive an entry passed on the way may claim 2^31 bytes or more:
    // its count starts negative and nothing is decoded.
    lzw::LzStreamWriter w;
    w.tables(lzw::LzStreamWriter::flat_lz_lengths());
    Entry giant = packed("g", w.finish(), {});
    giant.unp_size = 0x80000000u;
    EXPECT_EQ(extract(Builder(0x0008).add(giant).add(stored("x", HELLO)).bytes, "x").data, HELLO);
    // A stored entry larger than its data area can never be filled: refused too.
    Entry short_data = stored("x", HELLO);
    short_data.unp_size = 100;
    EXPECT_EQ(extract(Builder().add(short_data).bytes, "x").ok, 0);
}

TEST(ReaderMends, FailureLineCarriesTheBytesWritten) {
    LogFolder log;
    Entry e = stored("x", HELLO);
    e.file_crc ^= 0xFF;
    EXPECT_EQ(extract(Builder().add(e).bytes, "x").ok, 0);
    EXPECT_TRUE(log.has("Error - couldn't extract >x< and allocated 14 Bytes of unused memory!"));
}

}  // namespace
