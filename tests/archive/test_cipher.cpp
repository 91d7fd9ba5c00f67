// CRC-32 and the entry cipher, alone and inside extractions.
#include <gtest/gtest.h>

#include <random>

#include "archive_builder.h"
#include "lz_stream_writer.h"
#include "test_util.h"

using namespace testarc;

namespace {

uint32_t plain_crc(uint32_t crc, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) crc = (crc >> 8) ^ crc_table[(crc ^ p[i]) & 0xFF];
    return crc;
}

TEST(Crc32, KnownValueAndTheBytewiseReference) {
    build_crc_table();
    EXPECT_EQ(crc_table[1], 0x77073096u);
    EXPECT_EQ(crc_table[255], 0x2D02EF8Du);
    const char* check = "123456789";
    EXPECT_EQ(~crc32_add(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(check), 9), 0xCBF43926u);
    auto data = pattern(1000, 17);
    for (size_t start : {0, 1, 3, 7}) {
        for (size_t n : {0, 1, 7, 8, 9, 63, 990}) {
            EXPECT_EQ(crc32_add(0x12345678u, data.data() + start, n),
                      plain_crc(0x12345678u, data.data() + start, n));
        }
    }
}

// Every length from 0 to 300 at random alignments and starting values, and long
// buffers, through both the fast folding and the table path, against byte by byte.
TEST(Crc32, EveryLengthAndAlignmentMatchesTheBytewiseReference) {
    std::mt19937 rng(1234);
    std::vector<uint8_t> data(300 + 64);
    for (uint8_t& b : data) b = uint8_t(rng());
    for (size_t n = 0; n <= 300; ++n) {
        for (int trial = 0; trial < 4; ++trial) {
            size_t start = rng() % 64;
            uint32_t crc = uint32_t(rng());
            uint32_t want = plain_crc(crc, data.data() + start, n);
            ASSERT_EQ(crc32_add(crc, data.data() + start, n), want) << "length " << n << " at " << start;
            ASSERT_EQ(crc32_add_tables(crc, data.data() + start, n), want) << "length " << n;
        }
    }
    std::vector<uint8_t> big((1 << 20) + 77);
    for (uint8_t& b : big) b = uint8_t(rng());
    for (size_t start : {0, 5, 16}) {
        for (size_t n : {size_t(1) << 20, (size_t(1) << 20) + 61, size_t(100003)}) {
            uint32_t want = plain_crc(0xFFFFFFFFu, big.data() + start, n);
            EXPECT_EQ(crc32_add(0xFFFFFFFFu, big.data() + start, n), want);
            // Split anywhere, the running value carries across calls.
            uint32_t split = crc32_add(crc32_add(0xFFFFFFFFu, big.data() + start, 777), big.data() + start + 777,
                                       n - 777);
            EXPECT_EQ(split, want);
        }
    }
    // All-zero and all-ones runs (the folding constants show in these directly).
    std::vector<uint8_t> zeros(4096, 0), ones(4096, 0xFF);
    for (size_t n : {64, 80, 128, 4096}) {
        EXPECT_EQ(crc32_add(0, zeros.data(), n), plain_crc(0, zeros.data(), n));
        EXPECT_EQ(crc32_add(0xFFFFFFFFu, ones.data(), n), plain_crc(0xFFFFFFFFu, ones.data(), n));
    }
}

// Enciphers n bytes (padded with zeros to whole blocks) as the writer does.
std::vector<uint8_t> encipher(std::vector<uint8_t> data, const char* password) {
    data.resize((data.size() + 15) & ~size_t(15), 0);
    prepare_cipher(password);
    for (size_t i = 0; i < data.size(); i += 16) encipher_block(data.data() + i);
    return data;
}

TEST(Cipher, DecipherUndoesEncipherAndKeysAdvanceAlike) {
    uint8_t block[16], copy[16];
    for (int i = 0; i < 16; ++i) block[i] = copy[i] = uint8_t(i * 7 + 1);
    prepare_cipher("secret");
    uint32_t start[4], after_enc[4], after_dec[4];
    cipher_key(start);
    encipher_block(block);
    cipher_key(after_enc);
    EXPECT_NE(std::memcmp(block, copy, 16), 0);
    uint8_t enciphered[16];
    std::memcpy(enciphered, block, 16);

    prepare_cipher("secret");
    decipher_block(block);
    cipher_key(after_dec);
    EXPECT_EQ(std::memcmp(block, copy, 16), 0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(after_enc[k], after_dec[k]);
    // Key words after a block: the start key with the enciphered bytes folded in.
    for (int i = 0; i < 16; ++i) start[i & 3] ^= crc_table[enciphered[i]];
    for (int k = 0; k < 4; ++k) EXPECT_EQ(after_enc[k], start[k]);
}

TEST(Cipher, EmptyPasswordLeavesTheStartingKey) {
    prepare_cipher("");
    uint32_t key[4];
    cipher_key(key);
    EXPECT_EQ(key[0], 0xD3A3B879u);
    EXPECT_EQ(key[1], 0x3F6D12F7u);
    EXPECT_EQ(key[2], 0x7515A235u);
    EXPECT_EQ(key[3], 0xA4E7F123u);
    prepare_cipher("a");
    cipher_key(key);
    EXPECT_NE(key[0], 0xD3A3B879u);  // one block of the padded password went through
}

// Prepared keys are remembered for a few passwords; whether a preparation is
// computed or remembered, and whatever ran since, it leaves the same state.
TEST(Cipher, RepeatedPasswordsPrepareTheSameStateAsTheFirstTime) {
    const std::string long_one(300, 'q');  // only its first 255 bytes count
    const std::vector<std::string> passwords = {"pw", "a longer password", "x", "secret", "", long_one,
                                                long_one.substr(0, 255), "third"};
    auto state_after = [](const std::string& pw) {
        prepare_cipher(pw.c_str());
        std::vector<uint32_t> s(8);
        cipher_key(s.data());
        uint8_t block[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        encipher_block(block);  // also runs the substitution table
        cipher_key(s.data() + 4);
        return s;
    };
    std::vector<std::vector<uint32_t>> first;
    for (const std::string& pw : passwords) first.push_back(state_after(pw));
    EXPECT_EQ(first[5], first[6]);
    for (int i : {0, 0, 1, 0, 7, 2, 3, 4, 5, 1, 6, 0, 3, 3}) EXPECT_EQ(state_after(passwords[size_t(i)]), first[size_t(i)]) << i;
    prepare_cipher(nullptr);
    uint32_t key[4];
    cipher_key(key);
    EXPECT_EQ(key[0], 0xD3A3B879u);
}

TEST(Cipher, EncipheredEntriesNeedTheirPassword) {
    LogFolder log;
    // A stored entry whose size is no multiple of 16: its last block is deciphered
    // in a block of its own, topped up with the padding that follows it.
    auto content = pattern(37, 5);
    Entry e = stored("s", content);
    e.packed = encipher(content, "pw");
    e.flags |= 0x0004;
    auto a = Builder().add(e).add(stored("after", content)).bytes;
    auto r = extract(a, "s", "pw");
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.data, content);
    EXPECT_EQ(extract(a, "s", "wrong").ok, 0);
    EXPECT_EQ(extract(a, "s").ok, 0);  // no password: bytes stay enciphered
    EXPECT_EQ(extract(a, "after", "pw").data, content);

    // A compressed entry.
    auto text = pattern(3000, 8);
    for (size_t i = 1500; i < 3000; ++i) text[i] = text[i - 1500];
    Entry c = packed("c", encipher(lzw::compress_lz(text), "longer password here"), text, 0x0004);
    auto r2 = extract(Builder().add(c).bytes, "c", "longer password here");
    EXPECT_EQ(r2.ok, 1);
    EXPECT_TRUE(r2.data == text);

    // Unpack versions below 20 would need the older cipher.
    e.version = 15;
    EXPECT_EQ(extract(Builder().add(e).bytes, "s", "pw").ok, 0);
    EXPECT_TRUE(log.has("Old Crypt() not supported!"));
}

}  // namespace
