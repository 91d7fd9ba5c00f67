// The entry cipher: key words, substitution table, the 32-round block transform in
// both directions and the password key schedule. All words are little-endian and
// all sums wrap modulo 2^32.
#include "archive/cipher.h"

#include <cstring>

#include "archive/crc32.h"

namespace {

// Starting key words and substitution table of the archive format's cipher.
constexpr uint32_t START_KEY[4] = {0xD3A3B879u, 0x3F6D12F7u, 0x7515A235u, 0xA4E7F123u};
constexpr uint8_t START_SUBST[256] = {
    215,  19, 149,  35,  73, 197, 192, 205, 249,  28,  16, 119,  48, 221,   2,  42,
    232,   1, 177, 233,  14,  88, 219,  25, 223, 195, 244,  90,  87, 239, 153, 137,
    255, 199, 147,  70,  92,  66, 246,  13, 216,  40,  62,  29, 217, 230,  86,   6,
     71,  24, 171, 196, 101, 113, 218, 123,  93,  91, 163, 178, 202,  67,  44, 235,
    107, 250,  75, 234,  49, 167, 125, 211,  83, 114, 157, 144,  32, 193, 143,  36,
    158, 124, 247, 187,  89, 214, 141,  47, 121, 228,  61, 130, 213, 194, 174, 251,
     97, 110,  54, 229, 115,  57, 152,  94, 105, 243, 212,  55, 209, 245,  63,  11,
    164, 200,  31, 156,  81, 176, 227,  21,  76,  99, 139, 188, 127,  17, 248,  51,
    207, 120, 189, 210,   8, 226,  41,  72, 183, 203, 135, 165, 166,  60,  98,   7,
    122,  38, 155, 170,  69, 172, 252, 238,  39, 134,  59, 128, 236,  27, 240,  80,
    131,   3,  85, 206, 145,  79, 154, 142, 159, 220, 201, 133,  74,  64,  20, 129,
    224, 185, 138, 103, 173, 182,  43,  34, 254,  82, 198, 151, 231, 180,  58,  10,
    118,  26, 102,  12,  50, 132,  22, 191, 136, 111, 162, 179,  45,   4, 148, 108,
    161,  56,  78, 126, 242, 222,  15, 175, 146,  23,  33, 241, 181, 190,  77, 225,
      0,  46, 169, 186,  68,  95, 237,  65,  53, 208, 253, 168,   9,  18, 100,  52,
    116, 184, 160,  96, 109,  37,  30, 106, 140, 104, 150,   5, 204, 117, 112,  84,
};

uint32_t key[4] = {START_KEY[0], START_KEY[1], START_KEY[2], START_KEY[3]};
uint8_t subst[256];
bool subst_ready = false;

void ensure_subst() {
    if (!subst_ready) {
        std::memcpy(subst, START_SUBST, sizeof subst);
        subst_ready = true;
    }
}

inline uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t sub_word(uint32_t x) {
    return uint32_t(subst[x & 0xFF]) | uint32_t(subst[(x >> 8) & 0xFF]) << 8 |
           uint32_t(subst[(x >> 16) & 0xFF]) << 16 | uint32_t(subst[x >> 24]) << 24;
}

inline uint32_t load_le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void store_le32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// One round on (a, b, c, d) with key word k; the halves swap places.
inline void round_step(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t k) {
    uint32_t t1 = (rotl(d, 11) + c) ^ k;
    uint32_t t2 = (rotl(c, 17) ^ d) + k;
    uint32_t na = c, nb = d;
    c = a ^ sub_word(t1);
    d = b ^ sub_word(t2);
    a = na;
    b = nb;
}

// The transform shared by both directions: rounds run upwards to encipher and
// downwards to decipher.
void transform(uint8_t* block, bool forward) {
    ensure_subst();
    uint32_t a = load_le32(block) ^ key[0];
    uint32_t b = load_le32(block + 4) ^ key[1];
    uint32_t c = load_le32(block + 8) ^ key[2];
    uint32_t d = load_le32(block + 12) ^ key[3];
    if (forward) {
        for (int r = 0; r < 32; ++r) round_step(a, b, c, d, key[r & 3]);
    } else {
        for (int r = 31; r >= 0; --r) round_step(a, b, c, d, key[r & 3]);
    }
    store_le32(block, c ^ key[0]);
    store_le32(block + 4, d ^ key[1]);
    store_le32(block + 8, a ^ key[2]);
    store_le32(block + 12, b ^ key[3]);
}

}  // namespace

void mix_key(const uint8_t* bytes) {
    for (int i = 0; i < 16; ++i) key[i & 3] ^= crc_table[bytes[i]];
}

void encipher_block(uint8_t* block) {
    transform(block, true);
    mix_key(block);
}

void decipher_block(uint8_t* block) {
    uint8_t enciphered[16];
    std::memcpy(enciphered, block, 16);
    transform(block, false);
    mix_key(enciphered);
}

void cipher_key(uint32_t out[4]) { std::memcpy(out, key, sizeof key); }

namespace {

// The key schedule costs some hundred thousand table swaps per password, and a
// solid archive prepares it again for every enciphered entry; the last few
// passwords' prepared states are kept, so a repeat is a copy. A password is known
// again by its length and a 64-bit hash, never kept itself: the reader erases it
// after each extraction. Two passwords sharing both would only give a key that
// fails the entry's CRC check.
struct PreparedKey {
    bool used = false;
    uint8_t length = 0;
    uint64_t hash = 0;
    uint32_t key[4];
    uint8_t subst[256];
};

// FNV-1a over the password's bytes, 64-bit, wrapping.
uint64_t password_hash(const char* password, size_t n) {
    uint64_t h = 0xcbf29ce484222325u;
    for (size_t i = 0; i < n; ++i) h = (h ^ uint8_t(password[i])) * 0x100000001b3u;
    return h;
}
PreparedKey prepared[4];
unsigned next_prepared = 0;  // round-robin slot for the next new password

}  // namespace

void prepare_cipher(const char* password) {
    if (password == nullptr) password = "";
    const size_t n = strnlen(password, 255);
    const uint64_t hash = password_hash(password, n);
    for (const PreparedKey& k : prepared) {
        if (k.used && k.length == n && k.hash == hash) {
            std::memcpy(key, k.key, sizeof key);
            std::memcpy(subst, k.subst, sizeof subst);
            subst_ready = true;
            return;
        }
    }
    std::memcpy(key, START_KEY, sizeof key);
    // P: the password and zeros; the odd-length step and the block step read past
    // the password's end into the zeros.
    uint8_t p[256] = {};
    std::memcpy(p, password, n);
    std::memcpy(subst, START_SUBST, sizeof subst);
    subst_ready = true;
    for (unsigned j = 0; j < 256; ++j) {
        for (size_t i = 0; i < n; i += 2) {
            unsigned a = crc_table[(p[i] - j) & 0xFF] & 0xFF;
            unsigned b = crc_table[(p[i + 1] + j) & 0xFF] & 0xFF;
            for (unsigned m = 1; a != b; ++m) {
                unsigned other = (a + i + m) & 0xFF;
                uint8_t t = subst[a];
                subst[a] = subst[other];
                subst[other] = t;
                a = (a + 1) & 0xFF;
            }
        }
    }
    for (size_t i = 0; i < n; i += 16) encipher_block(p + i);
    explicit_bzero(p, sizeof p);

    PreparedKey& k = prepared[next_prepared];
    next_prepared = (next_prepared + 1) % 4;
    k.used = true;
    k.length = uint8_t(n);
    k.hash = hash;
    std::memcpy(k.key, key, sizeof key);
    std::memcpy(k.subst, subst, sizeof subst);
}
