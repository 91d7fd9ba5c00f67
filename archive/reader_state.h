// The archive reader's process-wide state, shared by the block walk (rar_reader.cpp)
// and the decompressor (lz_unpack.cpp). Internal to archive/.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/archive_stream.h"

constexpr uint16_t ARCHIVE_SOLID = 0x0008;   // archive header flag
constexpr uint16_t ENTRY_ENCIPHERED = 0x0004;
constexpr uint16_t ENTRY_SOLID = 0x0010;     // entry continues the previous unpack state
constexpr uint16_t BLOCK_HAS_DATA = 0x8000;
constexpr uint8_t BLOCK_FILE = 0x74;
constexpr uint8_t BLOCK_SUB = 0x77;

constexpr uint32_t WINDOW_SIZE = 0x100000;   // 1 MiB
constexpr uint32_t WINDOW_MASK = WINDOW_SIZE - 1;

struct ArchiveHeader {
    uint16_t head_crc;
    uint8_t type;
    uint16_t flags;
    uint16_t head_size;
    uint16_t reserved1;
    uint32_t reserved2;
};

struct FileHeader {
    uint16_t head_crc;
    uint8_t type;
    uint16_t flags;
    uint16_t head_size;
    uint32_t pack_size;
    uint32_t unp_size;
    uint8_t host_os;
    uint32_t file_crc;
    uint32_t file_time;
    uint8_t unp_ver;
    uint8_t method;
    uint16_t name_size;
    uint32_t attributes;
};

struct BlockInfo {
    uint16_t head_crc;
    uint8_t type;
    uint16_t flags;
    uint16_t head_size;
    uint32_t data_size;
};

// Name bytes a file header can declare (a 16-bit field), plus a terminating zero.
constexpr uint32_t NAME_CAPACITY = 65536;

// Receives the decoded bytes of the entry being unpacked, in order; false stops the
// entry (it then fails). Called from the stored copy and the window flushes.
using EntrySink = bool (*)(void* context, const uint8_t* bytes, size_t count);

struct ReaderState {
    char wanted_name[NAME_CAPACITY];
    bool wanted_too_long;     // the wanted name did not fit: it matches nothing
    char archive_path[256];
    char password[256];
    ArchiveStream stream;
    ArchiveHeader archive_header;
    FileHeader file_header;
    BlockInfo block;
    char entry_name[NAME_CAPACITY];  // all the name bytes the header declares, then a zero
    uint32_t entry_name_size;
    bool entry_header_ok;     // the header CRC matched
    bool entry_processed;     // the current entry went through process_entry
    uint32_t header_crc;      // running CRC of the header being read
    uint64_t block_start;
    uint64_t next_block_pos;
    uint64_t data_start;      // where the current entry's data area begins
    bool found;               // the current entry's bytes are wanted (sent to the sink, checked)
    uint8_t* out_block;       // output block of a memory extraction, null until found
    EntrySink sink;           // where the wanted entry's bytes go; null: checked only
    void* sink_context;
    bool sink_failed;         // the sink refused bytes
    uint32_t out_count;       // bytes of the wanted entry produced so far
    uint32_t out_crc;         // running CRC-32 of those bytes (not yet complemented)
    bool overrun;             // a flush would have passed the unpacked size
    uint32_t encryption;      // 0, or the unpack version of an enciphered entry
    uint32_t packed_left;     // bytes of the data area not yet read
    int32_t bytes_left;       // output still to produce (signed: ends the decode loop below 0)
    uint8_t* window;          // the decompressor's window, WINDOW_SIZE bytes; kept for the process
    bool unpack_ready;        // the decompressor state was set up during this call
};

extern ReaderState reader;

// Reads up to count packed bytes of the current entry (at most packed_left) into
// buffer and deciphers them when the entry is enciphered. Returns the number read.
// Called by the stored copy and by the decompressor's input fills.
size_t read_packed(uint8_t* buffer, size_t count);

// Hands count decoded bytes of the wanted entry on: CRC, count, then the sink.
// False when the sink refused them. Called by the stored copy and the flushes.
bool emit_output(const uint8_t* bytes, size_t count);
