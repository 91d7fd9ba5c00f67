// Screenshots as PNG files; see screenshot.h.
#include "display/screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"

namespace {

uint32_t crc_table[256];

uint32_t crc32_of(const uint8_t* p, size_t n, uint32_t crc = 0) {
    if (crc_table[1] == 0)
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            crc_table[i] = c;
        }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = crc_table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void put_be32(std::vector<uint8_t>* out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out->push_back(uint8_t(v >> s));
}

void put_chunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
    put_be32(out, uint32_t(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    put_be32(out, crc32_of(out->data() + start, out->size() - start));
}

// Deflate's bit order: values least significant bit first; Huffman codes are sent
// most significant bit first, so they are reversed before being put.
struct BitWriter {
    std::vector<uint8_t>* out;
    uint32_t bits = 0;
    int count = 0;
    void put(uint32_t value, int n) {
        bits |= value << count;
        count += n;
        while (count >= 8) {
            out->push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    void put_code(uint32_t code, int n) {
        uint32_t reversed = 0;
        for (int i = 0; i < n; ++i) reversed |= (code >> i & 1u) << (n - 1 - i);
        put(reversed, n);
    }
    void flush() {
        if (count > 0) out->push_back(uint8_t(bits));
        bits = 0;
        count = 0;
    }
};

// A literal/length symbol 0..285 in deflate's fixed code.
void put_symbol(BitWriter* w, int symbol) {
    if (symbol < 144)
        w->put_code(uint32_t(0x30 + symbol), 8);
    else if (symbol < 256)
        w->put_code(uint32_t(0x190 + symbol - 144), 9);
    else if (symbol < 280)
        w->put_code(uint32_t(symbol - 256), 7);
    else
        w->put_code(uint32_t(0xC0 + symbol - 280), 8);
}

// A run of length 3..258 copying the byte before: length symbol, its extra bits,
// then distance code 0 (distance 1, five bits, no extra bits).
void put_run(BitWriter* w, int length) {
    static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int c = 28;
    while (base[c] > length) --c;
    put_symbol(w, 257 + c);
    if (extra[c] > 0) w->put(uint32_t(length - base[c]), extra[c]);
    w->put_code(0, 5);
}

// A zlib stream of data: one final block of fixed codes, then the Adler-32 sum.
std::vector<uint8_t> zlib_fixed(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out{0x78, 0x01};
    BitWriter w{&out};
    w.put(1, 1);  // final block
    w.put(1, 2);  // fixed codes
    const size_t n = data.size();
    size_t i = 0;
    while (i < n) {
        size_t run = 0;
        if (i > 0)
            while (run < 258 && i + run < n && data[i + run] == data[i - 1]) ++run;
        if (run >= 3) {
            put_run(&w, int(run));
            i += run;
        } else {
            put_symbol(&w, data[i]);
            ++i;
        }
    }
    put_symbol(&w, 256);
    w.flush();
    uint32_t a = 1, b = 0;  // Adler-32, each sum modulo 65521
    for (uint8_t v : data) {
        a = (a + v) % 65521u;
        b = (b + a) % 65521u;
    }
    put_be32(&out, b << 16 | a);
    return out;
}

}  // namespace

std::vector<uint8_t> screenshot_png(const uint32_t* pixels, int width, int height, int zoom) {
    const size_t w = size_t(width) * size_t(zoom), h = size_t(height) * size_t(zoom);
    const size_t stride = 1 + 3 * w;
    std::vector<uint8_t> raw(stride * h, 0);  // "Up" rows of a repeated row stay zero
    std::vector<uint8_t> row(3 * w);
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = pixels + size_t(y) * size_t(width);
        for (size_t x = 0; x < w; ++x) {
            const uint32_t p = src[x / size_t(zoom)];
            row[3 * x] = uint8_t(p >> 16);
            row[3 * x + 1] = uint8_t(p >> 8);
            row[3 * x + 2] = uint8_t(p);
        }
        uint8_t* first = &raw[size_t(y) * size_t(zoom) * stride];
        first[0] = 1;  // Sub: each byte less the byte of the pixel before, modulo 256
        for (size_t i = 0; i < row.size(); ++i) first[1 + i] = uint8_t(row[i] - (i >= 3 ? row[i - 3] : 0));
        for (int r = 1; r < zoom; ++r) raw[(size_t(y) * size_t(zoom) + size_t(r)) * stride] = 2;  // Up
    }
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put_be32(&header, uint32_t(w));
    put_be32(&header, uint32_t(h));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour, no interlace
    put_chunk(&png, "IHDR", header);
    put_chunk(&png, "IDAT", zlib_fixed(raw));
    put_chunk(&png, "IEND", {});
    return png;
}

static bool is_folder(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The XDG_PICTURES_DIR value of a user-dirs.dirs file, "$HOME" expanded; empty when
// the file or the line is missing.
static std::string pictures_from_user_dirs(const std::string& file, const std::string& home) {
    std::string found;
    FILE* f = fopen(file.c_str(), "r");
    if (!f) return found;
    char line[4096];
    const char key[] = "XDG_PICTURES_DIR=\"";
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, key, sizeof key - 1) != 0) continue;
        std::string value = line + sizeof key - 1;
        const size_t quote = value.find('"');
        if (quote == std::string::npos) continue;
        value.erase(quote);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;  // only absolute paths and $HOME-relative ones are allowed
        found = value;
    }
    fclose(f);
    return found;
}

std::string screenshot_folder() {
    const char* env = getenv("XDG_PICTURES_DIR");
    if (env && is_folder(env)) return env;
    const char* home_env = getenv("HOME");
    const std::string home = home_env ? home_env : "";
    const char* config_env = getenv("XDG_CONFIG_HOME");
    std::string config = config_env && config_env[0] == '/' ? config_env : "";
    if (config.empty() && !home.empty()) config = home + "/.config";
    if (!config.empty()) {
        const std::string pictures = pictures_from_user_dirs(config + "/user-dirs.dirs", home);
        if (is_folder(pictures)) return pictures;
    }
    return ".";
}

std::string screenshot_name(uint32_t show_ms, int repeat) {
    char name[64];
    if (repeat < 2)
        snprintf(name, sizeof name, "kelvora-%03u.%03us.png", show_ms / 1000u, show_ms % 1000u);
    else
        snprintf(name, sizeof name, "kelvora-%03u.%03us-%d.png", show_ms / 1000u, show_ms % 1000u, repeat);
    return name;
}

std::string screenshot_write(uint32_t show_ms) {
    static uint32_t pixels[FRAME_BYTES];
    display_snapshot(pixels);
    const std::vector<uint8_t> png = screenshot_png(pixels, FRAME_W, FRAME_H, display_zoom());
    const std::string folder = screenshot_folder();
    std::string path;
    int fd = -1;
    // A shot never replaces a file: the next free "-N" name is taken instead.
    for (int repeat = 1; repeat < 1000 && fd < 0; ++repeat) {
        path = folder + "/" + screenshot_name(show_ms, repeat);
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        fprintf(stderr, "kelvora: cannot write the screenshot %s: %s\n", path.c_str(), strerror(errno));
        return "";
    }
    size_t done = 0;
    while (done < png.size()) {
        const ssize_t n = write(fd, png.data() + done, png.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    const int saved_errno = errno;
    const bool ok = close(fd) == 0 && done == png.size();
    if (!ok) {
        unlink(path.c_str());  // no half picture stays behind
        fprintf(stderr, "kelvora: cannot write the screenshot %s: %s\n", path.c_str(),
                strerror(done == png.size() ? errno : saved_errno));
        return "";
    }
    fprintf(stderr, "kelvora: screenshot written to %s\n", path.c_str());
    return path;
}
