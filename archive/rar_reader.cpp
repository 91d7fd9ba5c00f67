// The archive reader: the public extraction calls, the marker and archive header,
// the walk over the block chain, name matching, stored entries and the source of
// packed bytes (with deciphering).
#include "archive/rar_reader.h"

#include <cstdlib>
#include <cstring>

#include "archive/extract_log.h"
#include "archive/lz_unpack.h"
#include "archive/reader_state.h"

ReaderState reader;

namespace {

constexpr uint8_t RAR_MARKER[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr uint8_t OWN_MARKER[7] = {'M', 'o', 'r', 'v', 'i', 't', '!'};
constexpr uint8_t OLD_MARKER[4] = {0x52, 0x45, 0x7E, 0x5E};  // "RE~^"
constexpr uint32_t ARCHIVE_HEADER_SIZE = 13;
constexpr uint32_t FILE_HEADER_SIZE = 32;
constexpr uint32_t NAME_KEEP = 259;      // name bytes kept for the comparison
constexpr uint8_t METHOD_STORED = 0x30;

// The largest entry the reader will allocate. The show's biggest resource is a few
// hundred KiB; a quarter of a GiB leaves room for any real use and keeps a forged
// size from taking the machine's memory.
constexpr uint64_t MAX_ENTRY_BYTES = uint64_t(1) << 28;
// Most output a compressed stream can give per packed byte: every symbol takes at
// least one bit and yields at most 260 bytes (the longest match).
constexpr uint64_t MAX_BYTES_PER_PACKED_BYTE = 8 * 260;
constexpr uint64_t MAX_MATCH = 260;

bool first_extraction = true;

inline uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Copies up to capacity - 1 bytes of text and terminates; null text gives "".
void copy_text(char* dst, size_t capacity, const char* text) {
    size_t n = text ? strnlen(text, capacity - 1) : 0;
    std::memcpy(dst, text ? text : "", n);
    dst[n] = 0;
}

// Reads the 13-byte archive header and starts its running CRC over bytes 2..12.
// Returns the number of bytes read.
size_t read_archive_header() {
    uint8_t raw[ARCHIVE_HEADER_SIZE] = {};
    size_t n = stream_read(reader.stream, raw, sizeof raw);
    ArchiveHeader& h = reader.archive_header;
    h.head_crc = le16(raw);
    h.type = raw[2];
    h.flags = le16(raw + 3);
    h.head_size = le16(raw + 5);
    h.reserved1 = le16(raw + 7);
    h.reserved2 = le32(raw + 9);
    reader.header_crc = crc32_add(0xFFFFFFFFu, raw + 2, n > 2 ? n - 2 : 0);
    return n;
}

// Reads 32 bytes as a file header, whatever the block is, and starts the running
// CRC over bytes 2..31. Fields past the bytes read are zero. Returns the bytes read.
size_t read_file_header() {
    uint8_t raw[FILE_HEADER_SIZE] = {};
    size_t n = stream_read(reader.stream, raw, sizeof raw);
    FileHeader& h = reader.file_header;
    h.head_crc = le16(raw);
    h.type = raw[2];
    h.flags = le16(raw + 3);
    h.head_size = le16(raw + 5);
    h.pack_size = le32(raw + 7);
    h.unp_size = le32(raw + 11);
    h.host_os = raw[15];
    h.file_crc = le32(raw + 16);
    h.file_time = le32(raw + 20);
    h.unp_ver = raw[24];
    h.method = raw[25];
    h.name_size = le16(raw + 26);
    h.attributes = le32(raw + 28);
    reader.header_crc = crc32_add(0xFFFFFFFFu, raw + 2, n > 2 ? n - 2 : 0);
    return n;
}

bool check_marker() {
    uint8_t marker[7];
    if (stream_read(reader.stream, marker, sizeof marker) < sizeof marker) return false;
    if (std::memcmp(marker, OLD_MARKER, sizeof OLD_MARKER) == 0) {
        READER_LOG("Attention: format as OLD detected! Can't handel archive!");
        return false;
    }
    if (std::memcmp(marker, RAR_MARKER, 7) != 0 && std::memcmp(marker, OWN_MARKER, 7) != 0) {
        READER_LOG("%s%s%s%s", "unknown archive type (only plain RAR ", "supported (normal and solid ",
                   "archives), SFX and Volumes ", "are NOT supported!)");
        return false;
    }
    return read_archive_header() >= ARCHIVE_HEADER_SIZE;
}

// Folds count further header bytes from the stream into the running header CRC.
void crc_header_bytes(uint64_t count) {
    uint8_t chunk[512];
    while (count > 0) {
        size_t want = count < sizeof chunk ? size_t(count) : sizeof chunk;
        size_t got = stream_read(reader.stream, chunk, want);
        reader.header_crc = crc32_add(reader.header_crc, chunk, got);
        if (got < want) return;
        count -= got;
    }
}

// Walks to the next file block or sub-block. Returns 32 + the name bytes kept for
// a file block, the bytes read for a sub-block (the stream back at its start), and
// 0 at the end of the archive or on a damaged chain.
int next_block() {
    FileHeader saved = reader.file_header;
    size_t got;
    for (;;) {
        reader.block_start = stream_tell(reader.stream);
        got = read_file_header();
        if (got == 0) break;
        const FileHeader& h = reader.file_header;
        bool has_data = (h.flags & BLOCK_HAS_DATA) != 0;
        // A block cut short by the end of the archive ends the walk: its sizes
        // were never stored.
        if (got < 7 || (has_data && got < 11)) return 0;
        if (h.head_size < 7) return 0;
        reader.next_block_pos = reader.block_start + h.head_size + (has_data ? h.pack_size : 0);
        if (h.type == BLOCK_FILE || h.type == BLOCK_SUB) break;
        stream_seek(reader.stream, reader.next_block_pos);
    }
    const FileHeader& h = reader.file_header;
    reader.block = BlockInfo{h.head_crc, h.type, h.flags, h.head_size,
                             (h.flags & BLOCK_HAS_DATA) ? h.pack_size : 0};
    if (got > 0 && h.type == BLOCK_FILE) {
        if (got < FILE_HEADER_SIZE) return 0;
        uint32_t keep = h.name_size < NAME_KEEP ? h.name_size : NAME_KEEP;
        size_t n = stream_read(reader.stream, reader.entry_name, keep);
        reader.entry_name[n] = 0;
        reader.header_crc = crc32_add(reader.header_crc, reinterpret_cast<uint8_t*>(reader.entry_name), n);
        // The header as stored may go on past the name (a comment, times, extra
        // fields); its data area starts where the header ends, and the header CRC
        // covers all of it.
        uint64_t header_end = FILE_HEADER_SIZE + uint64_t(h.name_size);
        if (h.head_size > header_end) header_end = h.head_size;
        if (n == keep) crc_header_bytes(header_end - FILE_HEADER_SIZE - n);
        if ((~reader.header_crc & 0xFFFF) != h.head_crc) READER_LOG("file header broken");
        reader.data_start = reader.block_start + header_end;
        return int(FILE_HEADER_SIZE + keep);
    }
    reader.file_header = saved;
    stream_seek(reader.stream, reader.block_start);
    return int(got);
}

void copy_stored() { reader.out_count = uint32_t(read_packed(reader.out_block, reader.file_header.unp_size)); }

// Whether the wanted entry's unpacked size is one its data area could produce.
bool plausible_size(const FileHeader& h) {
    if (h.unp_size > MAX_ENTRY_BYTES) return false;
    uint64_t size = reader.stream.size;
    uint64_t available = reader.data_start < size ? size - reader.data_start : 0;
    uint64_t packed = h.pack_size < available ? h.pack_size : available;
    if (h.method == METHOD_STORED) return h.unp_size <= packed;
    return h.unp_size <= packed * MAX_BYTES_PER_PACKED_BYTE + MAX_MATCH;
}

// Decodes or copies the current entry. False when the extraction has to fail.
bool process_entry() {
    const FileHeader& h = reader.file_header;
    if (h.unp_ver < 13 || h.unp_ver > 20) {
        READER_LOG("unknown compression method");
        return false;
    }
    if (reader.found) {
        // Checked before allocating, so a forged size costs nothing.
        if (!plausible_size(h) || (reader.out_block = static_cast<uint8_t*>(
                                       std::malloc(h.unp_size > 0 ? h.unp_size : 1))) == nullptr) {
            READER_LOG("can't allocate memory for the file decompression");
            return false;
        }
        reader.out_count = 0;
        reader.overrun = false;
    }
    reader.encryption = (reader.password[0] != 0 && (h.flags & ENTRY_ENCIPHERED)) ? h.unp_ver : 0;
    if (reader.encryption != 0) prepare_cipher(reader.password);
    reader.packed_left = h.pack_size;
    reader.bytes_left = int32_t(h.unp_size);  // wraps for sizes of 2^31 and up: nothing decoded
    stream_seek(reader.stream, reader.data_start);
    if (h.method == METHOD_STORED) {
        if (reader.found) copy_stored();
    } else {
        lz_unpack(reader.window);
    }
    if (reader.out_block != nullptr) {
        // A short output (a short read, an overrun) fails here too: only the bytes
        // written are looked at.
        uint32_t crc = ~crc32_add(0xFFFFFFFFu, reader.out_block, reader.out_count);
        if (reader.out_count != h.unp_size || crc != h.file_crc) {
            READER_LOG("CRC32 error - file couldn't be decompressed correctly!");
            return false;
        }
    }
    return true;
}

int scan_archive() {
    reader.found = false;
    if (!check_marker()) {
        READER_LOG("Not a RAR file");
        return 0;
    }
    // One window serves every extraction of the process: allocated at the first
    // that gets this far, then zeroed again by the decompressor only when an entry
    // has written to it. A fresh megabyte per extraction costs the show's start-up
    // and the fuzzer more in mapping and page faults than the decoding itself.
    if (reader.window == nullptr) {
        reader.window = static_cast<uint8_t*>(std::calloc(WINDOW_SIZE, 1));
        if (reader.window == nullptr) {
            READER_LOG("Can't allocate memory for decompression!");
            return 0;
        }
        note_clean_window();
    }
    // Past the marker and the archive header as stored (a comment may follow the
    // 13 fixed bytes).
    stream_seek(reader.stream, 7 + uint64_t(reader.archive_header.head_size));
    bool solid = (reader.archive_header.flags & ARCHIVE_SOLID) != 0;
    for (;;) {
        if (next_block() <= 0) return 0;
        if (reader.block.type == BLOCK_SUB) {
            READER_LOG("Sorry, sub-headers not supported.");
            return 0;
        }
        reader.found = names_match(reader.entry_name, reader.wanted_name) != 0;
        if (solid || reader.found) {
            if (!process_entry()) return 0;
        }
        stream_seek(reader.stream, reader.next_block_pos);
        if (reader.found) return 1;
    }
}

// The extraction around an opened (or unopenable) stream.
int extract(uint8_t** out_block, uint32_t* out_length, const char* name, const char* archive_label,
            const char* password, bool opened) {
    if (first_extraction) {
        first_extraction = false;
        start_extract_log();
    }
    build_crc_table();
    copy_text(reader.wanted_name, sizeof reader.wanted_name, name);
    copy_text(reader.archive_path, sizeof reader.archive_path, archive_label);
    copy_text(reader.password, sizeof reader.password, password);
    reader.out_block = nullptr;
    reader.out_count = 0;
    reader.encryption = 0;
    reader.unpack_ready = false;
    READER_LOG("Extracting >%s< from >%s< (password is >%s<)...", reader.wanted_name,
               reader.archive_path, password ? reader.password : "(null)");

    int result = 0;
    if (!opened) {
        READER_LOG("Error opening file.");
    } else {
        result = scan_archive();
    }

    explicit_bzero(reader.password, sizeof reader.password);
    stream_close(reader.stream);

    if (result) {
        READER_LOG("Extracted %u Bytes.", reader.out_count);
        *out_block = reader.out_block;
        *out_length = reader.out_count;
    } else {
        uint32_t written = reader.out_count;  // what had been written before the failure
        std::free(reader.out_block);
        reader.out_block = nullptr;
        reader.out_count = 0;
        *out_block = nullptr;
        *out_length = 0;
        READER_LOG("%s>%s<%s%u Bytes%s", "Error - couldn't extract ", reader.wanted_name,
                   " and allocated ", written, " of unused memory!");
    }
    reader.out_block = nullptr;
    return result;
}

}  // namespace

size_t read_packed(uint8_t* buffer, size_t count) {
    size_t n = 0;
    if (count > 0) {
        if (count > reader.packed_left) count = reader.packed_left;
        if (!reader.stream.is_open()) return 0;
        n = stream_read(reader.stream, buffer, count);
        reader.packed_left -= uint32_t(n);
    }
    if (reader.encryption != 0 && reader.encryption < 20) {
        READER_LOG("Old Crypt() not supported!");
    } else if (reader.encryption >= 20) {
        size_t whole = n & ~size_t(15);
        for (size_t i = 0; i < whole; i += 16) decipher_block(buffer + i);
        if (size_t tail = n - whole) {
            // A last partial block is deciphered in a block of its own, never past
            // the caller's buffer. Its other enciphered bytes follow in the data
            // area (enciphered data is padded to whole blocks), so a stored entry
            // whose size is no multiple of 16 still comes out right.
            uint8_t block[16] = {};
            std::memcpy(block, buffer + whole, tail);
            size_t more = 16 - tail;
            if (more > reader.packed_left) more = reader.packed_left;
            size_t got = stream_read(reader.stream, block + tail, more);
            reader.packed_left -= uint32_t(got);
            decipher_block(block);
            std::memcpy(buffer + whole, block, tail);
            explicit_bzero(block, sizeof block);
        }
    }
    return n;
}

int names_match(const char* a, const char* b) {
    char x[513], y[513];
    copy_text(x, sizeof x, a);
    copy_text(y, sizeof y, b);
    auto fold = [](char* s) {
        for (; *s; ++s) {
            if (*s == '\\' || *s == '/') *s = '_';
            else if (*s >= 'a' && *s <= 'z') *s = char(*s - 'a' + 'A');
        }
    };
    fold(x);
    fold(y);
    return std::strcmp(x, y) == 0 ? 1 : 0;
}

void rearm_extract_log() {
    close_extract_log();
    first_extraction = true;
}

int extract_to_memory(uint8_t** out_block, uint32_t* out_length, const char* name,
                      const char* archive_path, const char* password) {
    if (out_block == nullptr || out_length == nullptr) return 0;
    bool opened = archive_path != nullptr && stream_open_file(reader.stream, archive_path);
    if (!opened) reader.stream = ArchiveStream{};
    return extract(out_block, out_length, name, archive_path, password, opened);
}

int extract_from_memory(uint8_t** out_block, uint32_t* out_length, const char* name,
                        const uint8_t* archive, size_t size, const char* password) {
    if (out_block == nullptr || out_length == nullptr) return 0;
    bool opened = stream_open_memory(reader.stream, archive, size);
    return extract(out_block, out_length, name, "(memory)", password, opened);
}
