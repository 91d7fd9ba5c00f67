// Header walk: marker, archive header (skipped by its size), then blocks chained by
// header size plus data size; file blocks (0x74) are listed, sub-blocks (0x77) end
// the walk as they end the reader's.
#include "archive_list.h"

#include <cstring>

#include "archive/crc32.h"
#include "archive/rar_reader.h"

namespace rarw {

namespace {

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

}  // namespace

ArchiveListing list_archive(const std::vector<uint8_t>& bytes) {
    ArchiveListing out;
    static const uint8_t marker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    if (bytes.size() < 20 || (std::memcmp(bytes.data(), marker, 7) != 0 && std::memcmp(bytes.data(), "Morvit!", 7) != 0)) {
        out.error = "not a RAR archive (no RAR 2.0 marker at the start)";
        return out;
    }
    out.solid = le16(&bytes[7 + 3]) & 0x0008;
    size_t at = 7 + le16(&bytes[7 + 5]);
    if (le16(&bytes[7 + 5]) < 13) at = 20;
    build_crc_table();
    while (at < bytes.size()) {
        const size_t left = bytes.size() - at;
        if (left < 7) {
            out.error = "the archive ends inside a block header";
            return out;
        }
        const uint8_t* h = &bytes[at];
        const uint8_t type = h[2];
        const uint16_t flags = static_cast<uint16_t>(le16(h + 3));
        const uint32_t hsize = le16(h + 5);
        if (hsize < 7) {
            out.error = "damaged block header";
            return out;
        }
        uint64_t data = 0;
        if (flags & 0x8000) {
            if (left < 11) {
                out.error = "the archive ends inside a block header";
                return out;
            }
            data = le32(h + 7);
        }
        if (type == 0x77) {
            out.error = "the archive holds a sub-block, which the reader does not support";
            return out;
        }
        if (type == 0x74) {
            if (left < 32 || hsize < 32) {
                out.error = "damaged file header";
                return out;
            }
            ListedEntry e;
            e.flags = flags;
            e.packed = le32(h + 7);
            e.unpacked = le32(h + 11);
            e.crc = le32(h + 16);
            e.version = h[24];
            e.method = h[25];
            const size_t name_size = le16(h + 26);
            if (left < 32 + name_size) {
                out.error = "the archive ends inside a file name";
                return out;
            }
            e.name.assign(reinterpret_cast<const char*>(h + 32), name_size);
            const uint32_t crc = ~crc32_add(0xFFFFFFFFu, h + 2, 30 + name_size);
            e.header_crc_ok = (crc & 0xFFFFu) == le16(h);
            out.entries.push_back(e);
        }
        const uint64_t next = at + uint64_t{hsize} + data;
        if (next > bytes.size()) {
            out.error = "the archive is cut short (a block's data runs past its end)";
            return out;
        }
        at = static_cast<size_t>(next);
    }
    out.ok = true;
    return out;
}

std::string explain_failure(const std::vector<uint8_t>& bytes, const std::string& name, const std::string& password) {
    const ArchiveListing list = list_archive(bytes);
    if (list.entries.empty() && !list.ok) return list.error;
    for (const ListedEntry& e : list.entries) {
        const bool wanted = names_match(e.name.c_str(), name.c_str()) != 0;
        if (wanted || list.solid) {
            if (e.version < 13 || e.version > 20)
                return "entry \"" + e.name + "\" uses an unsupported method (unpack version " +
                       std::to_string(e.version) + ")";
        }
        if (!wanted) continue;
        if (e.enciphered() && password.empty()) return "entry \"" + e.name + "\" is enciphered: give its password with -p";
        if (e.enciphered() && e.version < 20) return "entry \"" + e.name + "\" uses the old cipher, which is not supported";
        if (e.enciphered()) return "entry \"" + e.name + "\" failed its data check: wrong password or damaged data";
        return "entry \"" + e.name + "\" failed its data check: the archive is damaged";
    }
    if (!list.ok) return "no entry named \"" + name + "\" found before the walk stopped: " + list.error;
    return "no entry named \"" + name + "\" in the archive";
}

}  // namespace rarw
