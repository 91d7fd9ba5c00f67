// Writes the fuzzer's seed archives: small archives made by the archive writer in
// every mode it has (stored, compressed, audio, enciphered, solid, long names, many
// entries), and hand-built ones for what the writer never makes (every match kind
// by hand, sub-blocks, long headers, comments). Each ends with the byte that picks
// the fuzzer's name and password.
#include <cstdio>
#include <string>
#include <vector>

#include "archive/cipher.h"
#include "archive_builder.h"
#include "hostile_archives.h"
#include "lz_stream_writer.h"
#include "rar_writer.h"

using namespace testarc;

namespace {

std::vector<uint8_t> text(size_t n, uint32_t seed) {
    static const char* words[] = {"kelvora ", "tube ", "knot ", "lens ", "warp ", "glow ", "dot "};
    std::vector<uint8_t> v;
    uint32_t x = seed;
    while (v.size() < n) {
        x = x * 1103515245u + 12345u;
        const char* w = words[(x >> 16) % 7];
        v.insert(v.end(), w, w + std::char_traits<char>::length(w));
    }
    v.resize(n);
    return v;
}

std::vector<uint8_t> encipher(std::vector<uint8_t> d, const char* pw) {
    d.resize((d.size() + 15) & ~size_t(15), 0);
    prepare_cipher(pw);
    for (size_t i = 0; i < d.size(); i += 16) encipher_block(d.data() + i);
    return d;
}

void save(const std::string& dir, const char* name, std::vector<uint8_t> bytes, uint8_t pick) {
    bytes.push_back(pick);
    std::string path = dir + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// An archive from the writer; nothing is saved when the writer refuses it.
void save_written(const std::string& dir, const char* name, const std::vector<rarw::ArchiveEntry>& entries,
                  const rarw::ArchiveOptions& options, uint8_t pick) {
    rarw::ArchiveResult r = rarw::build_archive(entries, options);
    if (!r.ok) {
        fprintf(stderr, "fuzz seeds: %s not written: %s\n", name, r.error.c_str());
        return;
    }
    save(dir, name, r.bytes, pick);
}

// Seeds from the archive writer. Picks: name = pick & 3 ("a", "B.DAT", "dir\c",
// "x"), password = (pick >> 2) & 3 (none, "", "pw", "a longer password").
void writer_seeds(const std::string& dir) {
    using rarw::ArchiveEntry;
    using rarw::ArchiveOptions;
    const std::vector<uint8_t> words = text(700, 11);
    std::vector<uint8_t> wave(900);
    for (size_t i = 0; i < wave.size(); ++i) wave[i] = uint8_t(128 + int(60 * ((i * 13) % 64) / 64) - 30);
    std::vector<uint8_t> picture(1024);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t((i % 32) * 4 + (i / 32) % 3);

    ArchiveOptions stored_opt;
    stored_opt.compress = false;
    save_written(dir, "w_stored", {{"a", words}, {"B.DAT", picture}}, stored_opt, 1);

    ArchiveOptions lz;
    lz.allow_audio = false;
    save_written(dir, "w_lz", {{"x", words}, {"a", picture}}, lz, 0);

    ArchiveOptions audio;
    save_written(dir, "w_audio", {{"a", wave}}, audio, 0);

    ArchiveOptions solid;
    solid.solid = true;
    save_written(dir, "w_solid", {{"a", words}, {"dir\\c", wave}, {"x", picture}}, solid, 3);

    ArchiveOptions cipher;
    cipher.password = "pw";
    save_written(dir, "w_cipher_lz", {{"B.DAT", words}}, cipher, 1 | 2 << 2);
    cipher.compress = false;
    save_written(dir, "w_cipher_stored", {{"x", picture}}, cipher, 3 | 2 << 2);
    cipher.compress = true;
    cipher.solid = true;
    cipher.password = "a longer password";
    save_written(dir, "w_cipher_solid", {{"a", wave}, {"x", words}}, cipher, 3 | 3 << 2);

    std::string long_name(240, 'n');
    long_name += "/x";
    save_written(dir, "w_long_name", {{long_name, words}, {"x", picture}}, lz, 3);

    std::vector<ArchiveEntry> many;
    for (int i = 0; i < 40; ++i) {
        std::vector<uint8_t> d(size_t(20 + i * 3));
        for (size_t k = 0; k < d.size(); ++k) d[k] = uint8_t(k * i + i);
        many.push_back({"e" + std::to_string(i), d});
    }
    many.push_back({"a", words});
    save_written(dir, "w_many", many, solid, 0);
    save_written(dir, "w_many_plain", many, lz, 0);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : ".";
    writer_seeds(dir);
    // Picks: name = pick & 3 ("a", "B.DAT", "dir\c", "x"), password = (pick >> 2) & 3
    // (none, "", "pw", "a longer password").
    auto t1 = text(300, 1), t2 = text(500, 2);
    save(dir, "stored", Builder().add(stored("a", t1)).add(stored("b.dat", t2)).bytes, 1);

    // Every match kind by hand, then a greedy-compressed entry continuing it.
    auto s1 = text(40, 3);
    lzw::LzStreamWriter w1;
    w1.tables(lzw::LzStreamWriter::flat_lz_lengths());
    for (uint8_t b : s1) w1.literal(b);
    w1.match(30, 40);
    w1.recent(1, 10, 40);
    w1.repeat_last();
    w1.short_match(7);
    std::vector<uint8_t> out1 = s1;
    auto copy = [&](size_t len, size_t dist) {
        for (size_t i = 0; i < len; ++i) out1.push_back(out1[out1.size() - dist]);
    };
    copy(30, 40);
    copy(10, 40);
    copy(10, 40);
    copy(2, 7);
    auto t4 = text(2000, 4);
    save(dir, "solid",
         Builder(0x0008).add(packed("x", w1.finish(), out1)).add(packed("dir/c", lzw::compress_lz(t4), t4)).bytes,
         2);

    std::vector<uint8_t> wave(1200);
    for (size_t i = 0; i < wave.size(); ++i) wave[i] = uint8_t(128 + (i * 7) % 50 - (i % 2) * 30);
    save(dir, "audio", Builder().add(packed("a", lzw::compress_audio(wave, 2), wave)).bytes, 0);

    Entry e = stored("x", t1);
    e.packed = encipher(t1, "pw");
    e.flags |= 0x0004;
    save(dir, "cipher_stored", Builder().add(e).bytes, 3 | 2 << 2);
    auto t3 = text(900, 5);
    save(dir, "cipher_packed",
         Builder().add(packed("a", encipher(lzw::compress_lz(t3), "a longer password"), t3, 0x0004)).bytes,
         0 | 3 << 2);

    Entry longhead = stored("x", t2);
    longhead.extra = {1, 2, 3, 4, 5, 6, 7, 8};
    save(dir, "blocks",
         Builder(0, {9, 9, 9, 9}, "Morvit!").block(0x75, 0, 9).block(0x7A, 0x8000, 16, {1, 2, 3}).add(longhead).bytes,
         3);

    // Archives built to mislead or exhaust the reader and the tools.
    save(dir, "h_nul_name", hostile::nul_name_archive(), 0);
    save(dir, "h_control_names", hostile::control_names_archive(), 3);
    save(dir, "h_short_archive_header", hostile::short_archive_header(), 0);
    save(dir, "h_short_file_header", hostile::short_file_header(), 0);
    save(dir, "h_shared_prefix", hostile::shared_prefix_archive(), 1);
    save(dir, "h_zero_bomb", Builder().add(hostile::zero_bomb("a", 1024)).bytes, 0);
    save(dir, "h_solid_decoys",
         Builder(0x0008).add(hostile::zero_bomb("decoy", 512)).add(hostile::zero_bomb("x", 64)).bytes, 3);
    save(dir, "h_many_tiny", hostile::many_tiny(300), 0);
    return 0;
}
