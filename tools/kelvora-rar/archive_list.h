// Walks an archive's headers without extracting anything: the tool's listing, the
// order of entries to test, and plain-words reasons when an extraction fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/rar_reader.h"

namespace rarw {

struct ListedEntry {
    std::string name;
    uint16_t flags = 0;
    uint32_t packed = 0;
    uint32_t unpacked = 0;
    uint32_t crc = 0;
    uint8_t version = 0;
    uint8_t method = 0;
    bool header_crc_ok = true;
    bool enciphered() const { return flags & 0x0004; }
};

struct ArchiveListing {
    bool ok = false;
    std::string error;         // why the walk stopped early, in plain words
    bool solid = false;
    std::vector<ListedEntry> entries;
};

// One entry of the reader's walk as the listing keeps it (all the name bytes).
ListedEntry listed_entry(const WalkEntry& w);

// Reads the headers of an archive image with the reader's own walk. Entries up
// to a damaged or unsupported block are listed; ok says whether the walk reached
// the end cleanly. Called by `l`, `t` and explain_failure.
ArchiveListing list_archive(const std::vector<uint8_t>& bytes);

// A sentence saying why the reader could not extract `name` with `password` (may be
// empty), worked out from the headers: missing entry, unsupported method, password
// missing, or a failed data check. Called by `t` and `x` after a failed extraction.
std::string explain_failure(const std::vector<uint8_t>& bytes, const std::string& name, const std::string& password);

}  // namespace rarw
