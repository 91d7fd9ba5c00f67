// PNG encoder and atomic file writes; see png.h.
#include "png.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

static void put_u32(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(uint8_t(v >> 24));
    out->push_back(uint8_t(v >> 16));
    out->push_back(uint8_t(v >> 8));
    out->push_back(uint8_t(v));
}

// One chunk: length, type, data, CRC-32 over type and data.
static void put_chunk(std::vector<uint8_t>* out, const char type[4], const uint8_t* data, size_t size) {
    put_u32(out, uint32_t(size));
    const size_t type_at = out->size();
    out->insert(out->end(), type, type + 4);
    if (size) out->insert(out->end(), data, data + size);
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), out->data() + type_at, uInt(size + 4));
    put_u32(out, uint32_t(crc));
}

std::vector<uint8_t> encode_png(const uint8_t* rgb, int width, int height,
                                const std::vector<std::pair<std::string, std::string>>& texts) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> out(signature, signature + 8);

    uint8_t header[13];
    const uint32_t w = uint32_t(width), h = uint32_t(height);
    const uint8_t dims[8] = {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w),
                             uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
    memcpy(header, dims, 8);
    header[8] = 8;   // bits per channel
    header[9] = 2;   // truecolour
    header[10] = 0;  // deflate
    header[11] = 0;  // adaptive filtering (one filter byte per row)
    header[12] = 0;  // no interlace
    put_chunk(&out, "IHDR", header, sizeof header);

    for (const auto& [key, text] : texts) {
        std::vector<uint8_t> data(key.begin(), key.end());
        data.push_back(0);
        data.insert(data.end(), text.begin(), text.end());
        put_chunk(&out, "tEXt", data.data(), data.size());
    }

    // Sub filter: each byte minus the same channel of the pixel to its left (modulo
    // 256); flat runs of colour become runs of zeros, which deflate well.
    const size_t stride = size_t(width) * 3;
    std::vector<uint8_t> raw((stride + 1) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = rgb + size_t(y) * stride;
        uint8_t* dst = raw.data() + size_t(y) * (stride + 1);
        *dst++ = 1;
        for (size_t i = 0; i < stride; ++i) dst[i] = uint8_t(src[i] - (i >= 3 ? src[i - 3] : 0));
    }
    uLongf packed_size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), uLong(raw.size()), 6) != Z_OK) return {};
    put_chunk(&out, "IDAT", packed.data(), packed_size);
    put_chunk(&out, "IEND", nullptr, 0);
    return out;
}

bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    const std::string part = path + ".part";
    FILE* f = fopen(part.c_str(), "wb");
    if (!f) {
        *error = "cannot write " + path + ": " + strerror(errno);
        return false;
    }
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int saved = errno;
    if (fclose(f) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && rename(part.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        remove(part.c_str());
        *error = "cannot write " + path + ": " + strerror(saved);
    }
    return ok;
}
