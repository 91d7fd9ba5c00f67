// PNG encoder and atomic file writes; see png.h.
#include "png.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cleanup.h"

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

std::string output_refusal(const std::string& path) {
    struct stat link_info;
    if (lstat(path.c_str(), &link_info) != 0) return "";  // absent: made anew
    struct stat info;
    if (S_ISLNK(link_info.st_mode) && stat(path.c_str(), &info) != 0) return "";  // dangling
    const mode_t mode = S_ISLNK(link_info.st_mode) ? info.st_mode : link_info.st_mode;
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return "it is a folder";
    if (S_ISFIFO(mode)) return "it is a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
    if (S_ISSOCK(mode)) return "it is a socket";
    return "it is not a regular file";
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int make_private_file(const std::string& folder, const std::string& stem, std::string* path) {
    // Hidden, so that a name left by a killed process does not pass for an output.
    std::string name = folder + "/." + stem + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd >= 0) *path = name;
    return fd;
}

bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    const std::string refusal = output_refusal(path);
    if (!refusal.empty()) {
        *error = "cannot write " + path + ": " + refusal;
        return false;
    }
    const size_t slash = path.rfind('/');
    std::string part;
    const int fd = make_private_file(folder_of(path), slash == std::string::npos ? path : path.substr(slash + 1),
                                     &part);
    if (fd < 0) {
        *error = "cannot write " + path + ": " + strerror(errno);
        return false;
    }
    cleanup_register(part);
    bool ok = true;
    std::string reason;
    int saved = 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            saved = n < 0 ? errno : ENOSPC;
        } else {
            done += size_t(n);
        }
    }
    // mkstemp makes the file for its owner alone; an output is as readable as any.
    const mode_t mask = umask(0);
    umask(mask);
    if (ok && fchmod(fd, 0666 & ~mask) != 0) {
        ok = false;
        saved = errno;
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    // Checked again right before the rename, which would replace whatever is there.
    if (ok) reason = output_refusal(path);
    if (!reason.empty()) ok = false;
    if (ok && rename(part.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) unlink(part.c_str());
    cleanup_forget(part);
    if (!ok) *error = "cannot write " + path + ": " + (reason.empty() ? strerror(saved) : reason);
    return ok;
}
