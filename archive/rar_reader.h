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

// 1 when the two names are equal after '\' and '/' became '_' and ASCII a..z became
// upper case (each compared up to 512 bytes), else 0.
int names_match(const char* a, const char* b);

// Makes the next extraction open the log afresh, as the first one of the process
// does: the log location is looked up again ($XDG_STATE_HOME or ~/.local/state,
// folder kelvora) and the file replaced.
void rearm_extract_log();
