// The archive reader: the public extraction calls, the marker and archive header,
// the walk over the block chain, name matching, stored entries and the source of
// packed bytes (with deciphering).
#include "archive/rar_reader.h"

#include <cerrno>
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
ReadFailure failure = ReadFailure::none;
int failure_errno = 0;
bool walk_is_open = false;   // a walk's archive is open
bool current_valid = false;  // walk_next stopped at a file entry
bool headers_only = false;   // a listing: nothing is decoded

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

void fail(ReadFailure why, int err = 0) {
    if (failure != ReadFailure::none) return;  // the first cause found is the one told
    failure = why;
    failure_errno = err;
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
    // A size field below the 13 bytes just read would start the block chain inside
    // the archive header, where another walker would not look.
    return read_archive_header() >= ARCHIVE_HEADER_SIZE && reader.archive_header.head_size >= ARCHIVE_HEADER_SIZE;
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

// Walks to the next file block or sub-block. Returns 1 with the stream past a file
// block's name (all of it, as declared) or back at a sub-block's start, 0 at the
// end of the archive, -1 on a damaged chain: a block cut short, a size field below
// what its block must hold, a next block not beyond this one or past the end.
int next_block() {
    FileHeader saved = reader.file_header;
    size_t got;
    for (;;) {
        reader.block_start = stream_tell(reader.stream);
        got = read_file_header();
        if (got == 0) break;
        const FileHeader& h = reader.file_header;
        bool has_data = (h.flags & BLOCK_HAS_DATA) != 0;
        if (got < 7 || (has_data && got < 11)) return -1;
        if (h.head_size < (has_data ? 11 : 7)) return -1;
        reader.next_block_pos = reader.block_start + h.head_size + (has_data ? h.pack_size : 0);
        if (reader.next_block_pos > reader.stream.size) return -1;
        if (h.type == BLOCK_FILE || h.type == BLOCK_SUB) break;
        stream_seek(reader.stream, reader.next_block_pos);
    }
    const FileHeader& h = reader.file_header;
    reader.block = BlockInfo{h.head_crc, h.type, h.flags, h.head_size,
                             (h.flags & BLOCK_HAS_DATA) ? h.pack_size : 0};
    if (got > 0 && h.type == BLOCK_FILE) {
        // The name lies inside the header; a header that says it ends before its
        // name does is damaged, whatever else reads it.
        if (got < FILE_HEADER_SIZE || h.head_size < FILE_HEADER_SIZE + uint32_t(h.name_size)) return -1;
        size_t n = stream_read(reader.stream, reader.entry_name, h.name_size);
        if (n < h.name_size) return -1;
        reader.entry_name[n] = 0;
        reader.entry_name_size = uint32_t(n);
        reader.header_crc = crc32_add(reader.header_crc, reinterpret_cast<uint8_t*>(reader.entry_name), n);
        // The header as stored may go on past the name (a comment, times, extra
        // fields); its data area starts where the header ends, and the header CRC
        // covers all of it.
        crc_header_bytes(h.head_size - FILE_HEADER_SIZE - n);
        reader.entry_header_ok = (~reader.header_crc & 0xFFFF) == h.head_crc;
        if (!reader.entry_header_ok) READER_LOG("file header broken");
        reader.data_start = reader.block_start + h.head_size;
        return 1;
    }
    reader.file_header = saved;
    stream_seek(reader.stream, reader.block_start);
    return got > 0 ? 1 : 0;
}

// Stored bytes through a fixed buffer, at most the unpacked size.
void copy_stored() {
    static uint8_t buffer[65536];  // a multiple of 16: only the last piece is a partial cipher block
    uint32_t left = reader.file_header.unp_size;
    while (left > 0) {
        size_t want = left < sizeof buffer ? left : sizeof buffer;
        size_t n = read_packed(buffer, want);
        if (n == 0 || !emit_output(buffer, n)) return;
        left -= uint32_t(n);
        if (n < want) return;
    }
}

// Whether an unpacked size is one the entry's data area could produce.
bool plausible_size(const FileHeader& h) {
    uint64_t size = reader.stream.size;
    uint64_t available = reader.data_start < size ? size - reader.data_start : 0;
    uint64_t packed = h.pack_size < available ? h.pack_size : available;
    if (h.method == METHOD_STORED) return h.unp_size <= packed;
    return h.unp_size <= packed * MAX_BYTES_PER_PACKED_BYTE + MAX_MATCH;
}

// Decodes or copies the current entry; for a wanted one (reader.found) its bytes go
// to the sink and are checked. False when the walk or extraction has to fail.
bool process_entry() {
    reader.entry_processed = true;
    const FileHeader& h = reader.file_header;
    if (h.unp_ver < 13 || h.unp_ver > 20) {
        READER_LOG("unknown compression method");
        fail(ReadFailure::unknown_method);
        return false;
    }
    if (reader.found) {
        reader.out_count = 0;
        reader.out_crc = 0xFFFFFFFFu;
        reader.overrun = false;
        reader.sink_failed = false;
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
    if (reader.found) {
        if (reader.sink_failed) {
            fail(ReadFailure::output_failed);
            return false;
        }
        // A short output (a short read, an overrun) fails here too.
        if (reader.out_count != h.unp_size || ~reader.out_crc != h.file_crc) {
            READER_LOG("CRC32 error - file couldn't be decompressed correctly!");
            fail(ReadFailure::data_check);
            return false;
        }
    }
    return true;
}

// After the stream is open: the marker, the window, the first block. False (with
// the reason logged) when the archive cannot be walked.
bool begin_walk() {
    reader.found = false;
    reader.unpack_ready = false;
    current_valid = false;
    headers_only = false;
    if (!check_marker()) {
        READER_LOG("Not a RAR file");
        fail(ReadFailure::not_archive);
        return false;
    }
    // One window serves every extraction of the process: allocated at the first
    // that gets this far, then cleared by the decompressor only where an entry
    // has written to it. A fresh megabyte per extraction costs the show's start-up
    // and the fuzzer more in mapping and page faults than the decoding itself.
    if (reader.window == nullptr) {
        reader.window = static_cast<uint8_t*>(std::calloc(WINDOW_SIZE, 1));
        if (reader.window == nullptr) {
            READER_LOG("Can't allocate memory for decompression!");
            fail(ReadFailure::no_memory);
            return false;
        }
        note_clean_window();
    }
    // Past the marker and the archive header as stored (a comment may follow the
    // 13 fixed bytes).
    stream_seek(reader.stream, 7 + uint64_t(reader.archive_header.head_size));
    walk_is_open = true;
    return true;
}

// Starts a call: the log on the first one, the CRC table, the password (refused
// when longer than the cipher takes). False for a refused password.
bool begin_call(const char* password) {
    if (first_extraction) {
        first_extraction = false;
        start_extract_log();
    }
    failure = ReadFailure::none;
    failure_errno = 0;
    build_crc_table();
    copy_text(reader.password, sizeof reader.password, password);
    if (password != nullptr && std::strlen(password) > MAX_PASSWORD_BYTES) {
        READER_LOG("Password longer than %u bytes refused.", unsigned(MAX_PASSWORD_BYTES));
        fail(ReadFailure::password_too_long);
        return false;
    }
    return true;
}

bool memory_sink(void*, const uint8_t* bytes, size_t count) {
    std::memcpy(reader.out_block + reader.out_count, bytes, count);
    return true;
}

// Walks to the wanted entry and unpacks it into a new output block.
int find_and_unpack() {
    WalkEntry e;
    for (;;) {
        int r = walk_next(&e);
        if (r <= 0) {
            if (r == 0) fail(ReadFailure::not_found);
            return 0;
        }
        if (reader.wanted_too_long || !walk_entry_is(e, reader.wanted_name)) continue;
        // Checked before allocating, so a forged size costs nothing.
        const FileHeader& h = reader.file_header;
        bool plausible = h.unp_size <= MAX_ENTRY_BYTES && plausible_size(h);
        if (plausible) reader.out_block = static_cast<uint8_t*>(std::malloc(h.unp_size > 0 ? h.unp_size : 1));
        if (reader.out_block == nullptr) {
            READER_LOG("can't allocate memory for the file decompression");
            fail(plausible ? ReadFailure::no_memory : ReadFailure::entry_too_big);
            return 0;
        }
        return walk_unpack(memory_sink, nullptr) ? 1 : 0;
    }
}

// The extraction around an opened (or unopenable) stream.
int extract(uint8_t** out_block, uint32_t* out_length, const char* name, const char* archive_label,
            const char* password, bool opened, int open_errno) {
    bool password_ok = begin_call(password);
    if (!opened) fail(open_errno == EISDIR || open_errno == ENODEV ? ReadFailure::not_regular_file
                                                                   : ReadFailure::cannot_open, open_errno);
    copy_text(reader.wanted_name, sizeof reader.wanted_name, name);
    reader.wanted_too_long = name != nullptr && std::strlen(name) >= sizeof reader.wanted_name;
    copy_text(reader.archive_path, sizeof reader.archive_path, archive_label);
    reader.out_block = nullptr;
    reader.out_count = 0;
    reader.encryption = 0;
    // The password itself never goes to the log.
    READER_LOG("Extracting >%s< from >%s< (password is >%s<)...", reader.wanted_name,
               reader.archive_path, password ? "(hidden)" : "(null)");

    int result = 0;
    if (!opened) {
        READER_LOG("Error opening file.");
    } else if (password_ok && begin_walk()) {
        result = find_and_unpack();
    }

    walk_close();

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

bool emit_output(const uint8_t* bytes, size_t count) {
    if (count == 0) return true;
    reader.out_crc = crc32_add(reader.out_crc, bytes, count);
    if (reader.sink != nullptr && !reader.sink(reader.sink_context, bytes, count)) {
        reader.sink_failed = true;
        return false;
    }
    reader.out_count += uint32_t(count);
    return true;
}

int names_match(const char* a, const char* b) {
    if (a == nullptr) a = "";
    if (b == nullptr) b = "";
    auto fold = [](char c) {
        if (c == '\\' || c == '/') return '_';
        if (c >= 'a' && c <= 'z') return char(c - 'a' + 'A');
        return c;
    };
    for (;; ++a, ++b) {
        if (fold(*a) != fold(*b)) return 0;
        if (*a == 0) return 1;
    }
}

void rearm_extract_log() {
    close_extract_log();
    first_extraction = true;
}

int extract_to_memory(uint8_t** out_block, uint32_t* out_length, const char* name,
                      const char* archive_path, const char* password) {
    if (out_block == nullptr || out_length == nullptr) return 0;
    int err = ENOENT;
    bool opened = archive_path != nullptr && stream_open_file(reader.stream, archive_path, UINT64_MAX, &err);
    if (!opened) reader.stream = ArchiveStream{};
    return extract(out_block, out_length, name, archive_path, password, opened, err);
}

int extract_from_memory(uint8_t** out_block, uint32_t* out_length, const char* name,
                        const uint8_t* archive, size_t size, const char* password) {
    if (out_block == nullptr || out_length == nullptr) return 0;
    bool opened = stream_open_memory(reader.stream, archive, size);
    return extract(out_block, out_length, name, "(memory)", password, opened, ENOENT);
}

ReadFailure read_failure() { return failure; }
int read_failure_errno() { return failure_errno; }

const char* read_failure_text() {
    switch (failure) {
        case ReadFailure::none: return "no error";
        case ReadFailure::cannot_open: return std::strerror(failure_errno);
        case ReadFailure::not_regular_file:
            return failure_errno == EISDIR ? "a folder, not an archive file" : "not a regular file";
        case ReadFailure::archive_too_big: return "larger than an archive this program reads";
        case ReadFailure::not_archive: return "not a RAR archive (no RAR 2.0 marker, or a damaged archive header)";
        case ReadFailure::damaged: return "damaged archive: a block header is broken or the archive is cut short";
        case ReadFailure::not_found: return "no such entry in the archive";
        case ReadFailure::sub_block: return "the archive holds a sub-block, which is not supported";
        case ReadFailure::unknown_method: return "an entry uses an unsupported method (unpack version not 13 to 20)";
        case ReadFailure::no_memory: return "out of memory";
        case ReadFailure::entry_too_big: return "the entry declares more bytes than it can hold";
        case ReadFailure::data_check: return "the entry's data fails its CRC-32 check";
        case ReadFailure::password_too_long: return "the password is longer than 255 bytes";
        case ReadFailure::output_failed: return "its bytes could not be written";
    }
    return "unknown error";
}

bool walk_open_file(const char* path, uint64_t max_bytes, const char* password) {
    if (!begin_call(password)) return false;
    int err = 0;
    if (path == nullptr || !stream_open_file(reader.stream, path, max_bytes, &err)) {
        reader.stream = ArchiveStream{};
        READER_LOG("Error opening file.");
        fail(err == EFBIG ? ReadFailure::archive_too_big
             : err == EISDIR || err == ENODEV ? ReadFailure::not_regular_file
                                              : ReadFailure::cannot_open, err);
        return false;
    }
    if (!begin_walk()) {
        walk_close();
        return false;
    }
    return true;
}

bool walk_open_memory(const uint8_t* data, size_t size, const char* password) {
    if (!begin_call(password)) return false;
    if (!stream_open_memory(reader.stream, data, size)) {
        fail(ReadFailure::cannot_open, EINVAL);
        return false;
    }
    if (!begin_walk()) {
        walk_close();
        return false;
    }
    return true;
}

void walk_headers_only() { headers_only = true; }

bool walk_solid() { return (reader.archive_header.flags & ARCHIVE_SOLID) != 0; }

int walk_next(WalkEntry* entry) {
    if (!walk_is_open) return -1;
    if (current_valid) {
        current_valid = false;
        if (walk_solid() && !reader.entry_processed && !headers_only) {
            reader.found = false;
            if (!process_entry()) return -1;
        }
        stream_seek(reader.stream, reader.next_block_pos);
    }
    int r = next_block();
    if (r < 0) {
        fail(ReadFailure::damaged);
        return -1;
    }
    if (r == 0) return 0;
    if (reader.block.type == BLOCK_SUB) {
        READER_LOG("Sorry, sub-headers not supported.");
        fail(ReadFailure::sub_block);
        return -1;
    }
    current_valid = true;
    reader.entry_processed = false;
    const FileHeader& h = reader.file_header;
    *entry = WalkEntry{reader.entry_name, reader.entry_name_size, h.flags,   h.pack_size,  h.unp_size,
                       h.file_crc,        h.unp_ver,              h.method,  reader.entry_header_ok};
    return 1;
}

bool walk_entry_is(const WalkEntry& entry, const char* name) {
    if (std::memchr(entry.name, 0, entry.name_size) != nullptr) return false;
    return names_match(entry.name, name) != 0;
}

bool walk_unpack(WalkSink sink, void* context) {
    if (!current_valid || reader.entry_processed || headers_only) return false;
    reader.found = true;
    reader.sink = sink;
    reader.sink_context = context;
    bool ok = process_entry();
    reader.found = false;
    reader.sink = nullptr;
    reader.sink_context = nullptr;
    return ok;
}

void walk_close() {
    explicit_bzero(reader.password, sizeof reader.password);
    stream_close(reader.stream);
    walk_is_open = false;
    current_valid = false;
}
