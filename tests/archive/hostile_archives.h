// Archives built by hand to attack the reader and the tools: names that hide or
// fake other names, header sizes below their minimum, an entry that decodes to far
// more than it takes, many tiny entries. Shared by the tool's and the loader's
// tests and the fuzzer's seeds. Header-only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive_builder.h"
#include "lz_stream_writer.h"

namespace hostile {

using testarc::Builder;
using testarc::Entry;

inline std::vector<uint8_t> bytes_of(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// "README.txt", a NUL, then "/.bashrc": a C string stops at the NUL, the stored
// name does not.
inline const std::string& nul_name() {
    static const std::string name = std::string("README.txt") + '\0' + "/.bashrc";
    return name;
}

inline std::vector<uint8_t> nul_name_archive() {
    return Builder().add(testarc::stored(nul_name(), bytes_of("planted by the archive\n"))).bytes;
}

// Names with an escape sequence, a carriage return and a line feed.
inline std::vector<std::string> control_names() {
    return {"clear\x1b[2Jscreen.txt", "fake.txt\rreal.txt", "two\nlines.txt"};
}

inline std::vector<uint8_t> control_names_archive() {
    Builder b;
    for (const std::string& n : control_names()) b.add(testarc::stored(n, bytes_of("text of " + n)));
    return b.bytes;
}

// The archive header's size field says 7, below the 13 bytes it always has.
inline std::vector<uint8_t> short_archive_header() {
    std::vector<uint8_t> a = Builder().add(testarc::stored("a.txt", bytes_of("hello"))).bytes;
    a[7 + 5] = 7;
    a[7 + 6] = 0;
    return a;
}

// A file header whose size field (32) ends before its name does.
inline std::vector<uint8_t> short_file_header() {
    Entry e = testarc::stored("a.txt", bytes_of("hello"));
    e.head_size = 32;
    return Builder().add(e).bytes;
}

// Two names equal in their first 259 bytes; the first entry's data is damaged.
inline std::string long_name(char last) { return std::string(259, 'n') + last; }

inline std::vector<uint8_t> shared_prefix_archive() {
    Entry bad = testarc::stored(long_name('1'), bytes_of("first entry"));
    bad.packed[0] ^= 0x20;  // its CRC no longer matches
    return Builder().add(bad).add(testarc::stored(long_name('2'), bytes_of("second entry"))).bytes;
}

// CRC-32 of count zero bytes.
inline uint32_t crc_of_zeros(uint64_t count) {
    static const std::vector<uint8_t> zeros(1 << 20, 0);
    uint32_t crc = 0xFFFFFFFFu;
    while (count > 0) {
        size_t n = count < zeros.size() ? size_t(count) : zeros.size();
        crc = crc32_add(crc, zeros.data(), n);
        count -= n;
    }
    return ~crc;
}

// A compressed entry of zeros: one literal, one longest match at distance 1, then
// the previous match again, one bit each. About 130 KB of stream per 256 MiB.
// repeats is the number of one-bit repeats; the entry holds 1 + 258 * (repeats + 1)
// bytes. Without with_crc the file CRC is left 0 (for entries refused unread).
inline Entry zero_bomb(const std::string& name, uint32_t repeats, bool with_crc = true) {
    build_crc_table();
    std::vector<uint8_t> lengths(lzw::LZ_TABLE, 0);
    lengths[0] = 2;
    lengths[256] = 1;
    lengths[297] = 2;
    lengths[lzw::LIT] = 1;      // distance symbols 0 and 1
    lengths[lzw::LIT + 1] = 1;
    lzw::LzStreamWriter w;
    w.tables(lengths);
    w.literal(0);
    w.match(258, 1);
    for (uint32_t i = 0; i < repeats; ++i) w.repeat_last();
    Entry e;
    e.name = name;
    e.packed = w.finish();
    e.unp_size = 1 + 258 * (repeats + 1);
    e.file_crc = with_crc ? crc_of_zeros(e.unp_size) : 0;
    e.method = 0x33;
    return e;
}

// Repeats that make a bomb of about 256 MiB (268,435,327 bytes).
constexpr uint32_t BOMB_256_MIB = (268435456u - 1) / 258 - 1;

// count stored entries of one byte each, named e00000, e00001, ...
inline std::vector<uint8_t> many_tiny(int count) {
    Builder b;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "e%05d", i);
        b.add(testarc::stored(name, {uint8_t(i)}));
    }
    return b.bytes;
}

}  // namespace hostile
