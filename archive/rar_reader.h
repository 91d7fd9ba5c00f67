// The archive reader: pulls one named entry out of an archive in the RAR 2.0 format
// (plain or solid; stored or compressed with unpack versions 13 to 20, including
// audio mode; optionally enciphered) into a new heap block. One extraction at a
// time; every step worth knowing goes to the extraction log (extract_log.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/cipher.h"
#include "archive/crc32.h"

// Extracts the entry called name (letter case and the separators '/', '\' and '_'
// do not matter) from the archive file at archive_path. password may be null.
// Returns 1 with *out_block a malloc'ed block of exactly the entry's bytes (the
// caller frees it) and *out_length its size; returns 0 with *out_block null and
// *out_length 0 on any failure, the reason written to the log. Called by the
// resource loader and the tools.
int extract_to_memory(uint8_t** out_block, uint32_t* out_length, const char* name,
                      const char* archive_path, const char* password);

// The same extraction from an archive image held in memory (size bytes at archive).
// The log names the archive "(memory)". Called by the fuzzer.
int extract_from_memory(uint8_t** out_block, uint32_t* out_length, const char* name,
                        const uint8_t* archive, size_t size, const char* password);

// 1 when the two names are equal, whole, after '\' and '/' became '_' and ASCII
// a..z became upper case, else 0.
int names_match(const char* a, const char* b);

// Why the latest extraction or walk step failed (none after a success).
enum class ReadFailure : uint8_t {
    none,
    cannot_open,        // open() failed: see read_failure_errno
    not_regular_file,   // a folder, FIFO, device...
    archive_too_big,    // larger than the caller's cap
    not_archive,        // no accepted marker, or the archive header is damaged
    damaged,            // a block header is damaged or the archive is cut short
    not_found,          // the walk ended without the wanted entry
    sub_block,
    unknown_method,     // unpack version outside 13..20
    no_memory,
    entry_too_big,      // the entry declares more bytes than it can produce or the caller allows
    data_check,         // the entry's bytes are not the ones its header describes
    password_too_long,  // more than 255 bytes
    output_failed,      // the sink refused the bytes
};

// The failure of the latest call, and the errno of a failed open.
ReadFailure read_failure();
int read_failure_errno();

// A few plain words for the latest failure ("No such file or directory", "not a
// regular file", "CRC-32 of the data is wrong", ...). Called by the tools and the
// resource loader to say why.
const char* read_failure_text();

// The longest password the cipher takes; longer ones are refused.
constexpr size_t MAX_PASSWORD_BYTES = 255;

// An archive's entries one after the other: the one walk that the extraction
// calls, the tool's list, test and extract, and the resource loader all use.
// One walk at a time, and not during an extraction.
struct WalkEntry {
    const char* name;    // name_size bytes as stored (they may hold NULs), then a zero
    uint32_t name_size;
    uint16_t flags;
    uint32_t packed;
    uint32_t unpacked;
    uint32_t crc;
    uint8_t version;
    uint8_t method;
    bool header_crc_ok;
    bool enciphered() const { return (flags & 0x0004) != 0; }
};

// Decoded bytes of an entry, in order; false stops the entry, which then fails.
using WalkSink = bool (*)(void* context, const uint8_t* bytes, size_t count);

// Opens the file at path without blocking, requires a regular file of at most
// max_bytes (checked with fstat before anything is read), checks the marker and
// archive header. password may be null; over 255 bytes is refused. False on
// failure (read_failure says why). Called by the tools and the resource loader.
bool walk_open_file(const char* path, uint64_t max_bytes, const char* password);

// The same over an archive image held in memory.
bool walk_open_memory(const uint8_t* data, size_t size, const char* password);

// Makes the open walk read headers only: entries passed over in a solid archive
// are not decoded, and walk_unpack is not to be called. Called by listings.
void walk_headers_only();

// Whether the open archive is solid (every entry continues the one before).
bool walk_solid();

// Steps to the next file entry and fills *entry (valid until the next step). In a
// solid archive an entry passed over is decoded first, as the next one needs its
// state. Returns 1 for an entry, 0 at the end of the archive, -1 on a damaged or
// unsupported archive (read_failure says why).
int walk_next(WalkEntry* entry);

// Whether the current entry's name is name (names_match), never when the stored
// name holds a NUL.
bool walk_entry_is(const WalkEntry& entry, const char* name);

// Decodes the current entry through a fixed window, handing its bytes to sink
// (null: bytes only checked), and checks length and CRC-32. True when the entry is
// sound. Called at most once per entry.
bool walk_unpack(WalkSink sink, void* context);

// Closes the archive and wipes the password. Called once per walk.
void walk_close();

// Makes the next extraction open the log afresh, as the first one of the process
// does: the log location is looked up again ($XDG_STATE_HOME or ~/.local/state,
// folder kelvora) and the file replaced.
void rearm_extract_log();
