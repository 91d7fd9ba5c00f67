// Archive writer: builds a RAR 2.0 archive (plain or solid) from named byte blocks,
// each entry stored or compressed by our encoder, optionally enciphered, and checks
// every entry by extracting it with the archive reader before accepting it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lz_encoder.h"

namespace rarw {

constexpr uint8_t kMethodStored = 0x30;      // "0"
constexpr uint8_t kMethodCompressed = 0x35;  // "5": best compression
constexpr uint8_t kUnpackVersion = 20;
constexpr size_t kMaxNameBytes = 259;        // the reader compares no more than this
constexpr size_t kMaxPasswordBytes = 255;    // the cipher takes no more than this
// File time of every entry: 1980-01-01 00:00:00 in MS-DOS format, so that the same
// input always gives the same archive.
constexpr uint32_t kFixedDosTime = 0x00210000;

struct ArchiveEntry {
    std::string name;           // stored as given: the caller strips directories
    std::vector<uint8_t> data;
};

struct ArchiveOptions {
    bool solid = false;
    bool compress = true;       // false: every entry stored
    std::string password;       // empty: not enciphered
    bool allow_audio = true;
    LzOptions lz;
};

struct EntryReport {
    std::string name;
    uint32_t unpacked = 0;
    uint32_t packed = 0;
    uint8_t method = kMethodStored;
    unsigned audio_blocks = 0;
    unsigned lz_blocks = 0;
    std::string note;           // why the entry is not in the form asked for, if it is not
};

struct ArchiveResult {
    bool ok = false;
    std::string error;          // plain words, when !ok
    std::vector<uint8_t> bytes;
    std::vector<EntryReport> entries;
};

// Builds the whole archive in memory. Fails (ok false, nothing usable in bytes) on
// an empty, too long or repeated name (as the reader compares names), an entry of 4
// GiB or more, a password over 255 bytes, or an entry the reader cannot give back
// in any form. Called by the tool's `a` command, the asset build and the tests.
ArchiveResult build_archive(const std::vector<ArchiveEntry>& entries, const ArchiveOptions& options);

// Writes bytes to path through a temporary file in the same folder and a rename, so
// that a failure never leaves a partial file at path. Returns false with `error` set.
bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace rarw
