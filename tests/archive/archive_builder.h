// Builds archive images in memory for the reader's tests: marker, archive header,
// file blocks with their CRCs computed, other blocks. Header-only.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "archive/crc32.h"

namespace testarc {

inline uint32_t crc_of(const uint8_t* p, size_t n) { return ~crc32_add(0xFFFFFFFFu, p, n); }
inline uint32_t crc_of(const std::vector<uint8_t>& v) { return crc_of(v.data(), v.size()); }

inline void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

struct Entry {
    std::string name;
    std::vector<uint8_t> packed;   // the data area as stored
    uint32_t unp_size = 0;
    uint32_t file_crc = 0;
    uint16_t flags = 0x8000;
    uint8_t version = 20;
    uint8_t method = 0x30;         // stored
    std::vector<uint8_t> extra;    // header bytes after the name
    bool break_crc = false;        // store a wrong header CRC
    int32_t head_size = -1;        // override the header size
};

inline Entry stored(const std::string& name, const std::vector<uint8_t>& content) {
    Entry e;
    e.name = name;
    e.packed = content;
    e.unp_size = uint32_t(content.size());
    e.file_crc = crc_of(content);
    return e;
}

inline Entry packed(const std::string& name, const std::vector<uint8_t>& stream,
                    const std::vector<uint8_t>& content, uint16_t extra_flags = 0) {
    Entry e;
    e.name = name;
    e.packed = stream;
    e.unp_size = uint32_t(content.size());
    e.file_crc = crc_of(content);
    e.method = 0x33;
    e.flags = uint16_t(0x8000 | extra_flags);
    return e;
}

class Builder {
public:
    std::vector<uint8_t> bytes;

    explicit Builder(uint16_t archive_flags = 0, const std::vector<uint8_t>& header_extra = {},
                     const char* marker = "Rar!\x1a\x07") {
        bytes.assign(marker, marker + 7);  // the seventh byte is the terminating zero
        std::vector<uint8_t> h;
        put16(h, 0);  // CRC, ignored by the reader
        h.push_back(0x73);
        put16(h, archive_flags);
        put16(h, uint32_t(13 + header_extra.size()));
        put16(h, 0);
        put32(h, 0);
        h.insert(h.end(), header_extra.begin(), header_extra.end());
        bytes.insert(bytes.end(), h.begin(), h.end());
    }

    Builder& add(const Entry& e) {
        std::vector<uint8_t> h;
        uint32_t head = e.head_size >= 0 ? uint32_t(e.head_size)
                                         : uint32_t(32 + e.name.size() + e.extra.size());
        put16(h, 0);
        h.push_back(0x74);
        put16(h, e.flags);
        put16(h, head);
        put32(h, uint32_t(e.packed.size()));
        put32(h, e.unp_size);
        h.push_back(3);  // host system
        put32(h, e.file_crc);
        put32(h, 0x5A8E3100);  // file time
        h.push_back(e.version);
        h.push_back(e.method);
        put16(h, uint32_t(e.name.size()));
        put32(h, 0x20);
        h.insert(h.end(), e.name.begin(), e.name.end());
        h.insert(h.end(), e.extra.begin(), e.extra.end());
        uint32_t crc = crc_of(h.data() + 2, h.size() - 2) & 0xFFFF;
        if (e.break_crc) crc ^= 0x5555;
        h[0] = uint8_t(crc);
        h[1] = uint8_t(crc >> 8);
        bytes.insert(bytes.end(), h.begin(), h.end());
        bytes.insert(bytes.end(), e.packed.begin(), e.packed.end());
        return *this;
    }

    // Any other block: 7 bytes of header (+ the data size when data is given),
    // padding up to head_size, then the data.
    Builder& block(uint8_t type, uint16_t flags, uint16_t head_size, const std::vector<uint8_t>& data = {}) {
        std::vector<uint8_t> h;
        put16(h, 0);
        h.push_back(type);
        put16(h, flags);
        put16(h, head_size);
        if (flags & 0x8000) put32(h, uint32_t(data.size()));
        h.resize(head_size, 0);
        bytes.insert(bytes.end(), h.begin(), h.end());
        if (flags & 0x8000) bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
};

}  // namespace testarc
