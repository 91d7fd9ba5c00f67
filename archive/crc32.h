// CRC-32 of ISO 3309 / ITU-T V.42 (reflected polynomial 0xEDB88320): the check of
// archive headers and entries, and the key schedule of the entry cipher.
#pragma once

#include <cstddef>
#include <cstdint>

// Entry n is n run through eight reflected shift-and-xor steps. Filled at program
// start, so the cipher and the writer can use it before any extraction.
extern uint32_t crc_table[256];

// Rebuilds crc_table (same values every time). Called at the start of every
// extraction; harmless to call at any time.
void build_crc_table();

// Folds count bytes into crc and returns the new value. Callers start from
// 0xFFFFFFFF and complement the final result. Used by the reader and the writer.
uint32_t crc32_add(uint32_t crc, const uint8_t* bytes, size_t count);

// The same function as crc32_add through the tables alone, whatever the processor
// offers: the plain reading of the fast path.
uint32_t crc32_add_tables(uint32_t crc, const uint8_t* bytes, size_t count);
