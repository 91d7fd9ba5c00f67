// The listing and the failure explanations, both over the reader's own block walk,
// so that what is listed is what is extracted.
#include "archive_list.h"

#include <cstring>

#include "archive/rar_reader.h"

namespace rarw {

ListedEntry listed_entry(const WalkEntry& w) {
    ListedEntry e;
    e.name.assign(w.name, w.name_size);
    e.flags = w.flags;
    e.packed = w.packed;
    e.unpacked = w.unpacked;
    e.crc = w.crc;
    e.version = w.version;
    e.method = w.method;
    e.header_crc_ok = w.header_crc_ok;
    return e;
}

ArchiveListing list_archive(const std::vector<uint8_t>& bytes) {
    ArchiveListing out;
    if (!walk_open_memory(bytes.data(), bytes.size(), nullptr)) {
        out.error = read_failure_text();
        return out;
    }
    walk_headers_only();
    out.solid = walk_solid();
    WalkEntry w;
    int r;
    while ((r = walk_next(&w)) > 0) out.entries.push_back(listed_entry(w));
    if (r < 0) out.error = read_failure_text();
    out.ok = r == 0;
    walk_close();
    return out;
}

std::string explain_failure(const std::vector<uint8_t>& bytes, const std::string& name, const std::string& password) {
    const ArchiveListing list = list_archive(bytes);
    if (list.entries.empty() && !list.ok) return list.error;
    for (const ListedEntry& e : list.entries) {
        const bool wanted = e.name.find('\0') == std::string::npos && names_match(e.name.c_str(), name.c_str()) != 0;
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
