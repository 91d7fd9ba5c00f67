// Archive layout: marker block, 13-byte archive header, then one file block per
// entry (32-byte fixed header + name, then the packed data). All integers are
// little-endian; header CRCs are the low 16 bits of the complemented CRC-32 of the
// header from its third byte on.
#include "rar_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/cipher.h"
#include "archive/crc32.h"
#include "archive/rar_reader.h"
#include "stream_encoder.h"

namespace rarw {

namespace {

constexpr uint16_t kFlagSolidArchive = 0x0008;
constexpr uint16_t kFlagEnciphered = 0x0004;
constexpr uint16_t kFlagContinues = 0x0010;
constexpr uint16_t kFlagDictionary1M = 0x0080;
constexpr uint16_t kFlagHasData = 0x8000;

void put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

uint32_t crc32_of(const uint8_t* p, size_t n) { return ~crc32_add(0xFFFFFFFFu, p, n); }

// Header CRC over bytes 2..end of a header image.
void seal_header(std::vector<uint8_t>& h) {
    put16(h, 0, crc32_of(h.data() + 2, h.size() - 2) & 0xFFFFu);
}

std::vector<uint8_t> archive_start(bool solid) {
    std::vector<uint8_t> v = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    std::vector<uint8_t> h(13, 0);
    h[2] = 0x73;
    put16(h, 3, solid ? kFlagSolidArchive : 0);
    put16(h, 5, 13);
    seal_header(h);
    v.insert(v.end(), h.begin(), h.end());
    return v;
}

std::vector<uint8_t> file_header(const std::string& name, uint16_t flags, uint32_t packed, uint32_t unpacked,
                                 uint32_t crc, uint8_t method) {
    std::vector<uint8_t> h(32 + name.size(), 0);
    h[2] = 0x74;
    put16(h, 3, flags | kFlagHasData | kFlagDictionary1M);
    put16(h, 5, static_cast<uint32_t>(32 + name.size()));
    put32(h, 7, packed);
    put32(h, 11, unpacked);
    h[15] = 0;  // host system: MS-DOS
    put32(h, 16, crc);
    put32(h, 20, kFixedDosTime);
    h[24] = kUnpackVersion;
    h[25] = method;
    put16(h, 26, static_cast<uint32_t>(name.size()));
    put32(h, 28, 0x20);  // archive attribute
    std::memcpy(h.data() + 32, name.data(), name.size());
    seal_header(h);
    return h;
}

void encipher(std::vector<uint8_t>& data, const std::string& password) {
    data.resize((data.size() + 15) / 16 * 16, 0);
    prepare_cipher(password.c_str());
    for (size_t at = 0; at < data.size(); at += 16) encipher_block(data.data() + at);
}

// Extracts `name` from the archive image with the reader and compares it with `want`.
bool reader_gives_back(const std::vector<uint8_t>& archive, const std::string& name, const std::string& password,
                       const std::vector<uint8_t>& want) {
    uint8_t* block = nullptr;
    uint32_t length = 0;
    const int ok = extract_from_memory(&block, &length, name.c_str(), archive.data(), archive.size(),
                                       password.empty() ? nullptr : password.c_str());
    bool same = ok == 1 && length == want.size() && (length == 0 || std::memcmp(block, want.data(), length) == 0);
    std::free(block);
    return same;
}

}  // namespace

ArchiveResult build_archive(const std::vector<ArchiveEntry>& entries, const ArchiveOptions& options) {
    ArchiveResult result;
    if (options.password.size() > kMaxPasswordBytes) {
        result.error = "password longer than 255 bytes";
        return result;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& n = entries[i].name;
        if (n.empty() || n.size() > kMaxNameBytes || n.find('\0') != std::string::npos) {
            result.error = "entry name \"" + n + "\" is empty or longer than 259 bytes";
            return result;
        }
        if (entries[i].data.size() > 0xFFFFFFFFull) {
            result.error = "entry \"" + n + "\" is 4 GiB or larger";
            return result;
        }
        for (size_t j = 0; j < i; ++j) {
            if (names_match(entries[j].name.c_str(), n.c_str())) {
                result.error = "entries \"" + entries[j].name + "\" and \"" + n +
                               "\" have the same name for the reader (case and separators do not count)";
                return result;
            }
        }
    }

    build_crc_table();
    const bool enciphered = !options.password.empty();
    std::vector<uint8_t> archive = archive_start(options.solid);
    StreamState state = fresh_stream_state();

    for (const ArchiveEntry& e : entries) {
        EntryReport rep;
        rep.name = e.name;
        rep.unpacked = static_cast<uint32_t>(e.data.size());
        const uint32_t crc = crc32_of(e.data.data(), e.data.size());
        const size_t mark = archive.size();

        // Appends the entry in one form and keeps it when the reader gives the bytes back.
        auto try_form = [&](bool compressed) -> bool {
            StreamState saved;
            std::vector<uint8_t> packed;
            uint16_t flags = enciphered ? kFlagEnciphered : 0;
            StreamStats stats;
            if (compressed) {
                if (options.solid) saved = state;
                const bool continues = state.started;
                StreamOptions so;
                so.allow_audio = options.allow_audio;
                so.more_entries_follow = options.solid;
                so.pad_to_cipher_block = enciphered;
                so.lz = options.lz;
                StreamState fresh = fresh_stream_state();
                packed = encode_stream(options.solid ? state : fresh, e.data.data(), e.data.size(), so, &stats);
                if (options.solid && continues) flags |= kFlagContinues;
            } else {
                packed = e.data;
            }
            if (enciphered) encipher(packed, options.password);
            const std::vector<uint8_t> h =
                file_header(e.name, flags, static_cast<uint32_t>(packed.size()), rep.unpacked, crc,
                            compressed ? kMethodCompressed : kMethodStored);
            archive.insert(archive.end(), h.begin(), h.end());
            archive.insert(archive.end(), packed.begin(), packed.end());
            if (reader_gives_back(archive, e.name, options.password, e.data)) {
                rep.packed = static_cast<uint32_t>(packed.size());
                rep.method = compressed ? kMethodCompressed : kMethodStored;
                rep.audio_blocks = stats.audio_blocks;
                rep.lz_blocks = stats.lz_blocks;
                return true;
            }
            archive.resize(mark);
            if (compressed && options.solid) state = std::move(saved);
            return false;
        };

        // An empty entry has no stream to send; store it.
        const bool want_compressed = options.compress && !e.data.empty();
        bool done = false;
        if (want_compressed) {
            StreamState before;
            if (options.solid) before = state;
            done = try_form(true);
            const size_t stored_size = enciphered ? (e.data.size() + 15) / 16 * 16 : e.data.size();
            if (done && rep.packed >= stored_size) {
                // Compression did not pay: keep the stored form if the reader takes it.
                // A stored entry leaves the decoder's state as it was before the entry.
                const std::vector<uint8_t> compressed_bytes(archive.begin() + static_cast<std::ptrdiff_t>(mark),
                                                            archive.end());
                const EntryReport compressed_rep = rep;
                StreamState after;
                if (options.solid) after = std::move(state);
                archive.resize(mark);
                if (options.solid) state = before;
                if (try_form(false)) {
                    rep.note = "stored: compression did not make it smaller";
                } else {
                    archive.insert(archive.end(), compressed_bytes.begin(), compressed_bytes.end());
                    rep = compressed_rep;
                    if (options.solid) state = std::move(after);
                }
            }
            if (!done) {
                done = try_form(false);
                if (done) rep.note = "stored: the compressed form did not extract correctly";
            }
        } else {
            done = try_form(false);
            if (!done && enciphered && !e.data.empty()) {
                done = try_form(true);
                if (done) rep.note = "compressed: the stored enciphered form did not extract correctly";
            }
        }
        if (!done) {
            result.error = "entry \"" + e.name + "\" could not be written in a form the reader extracts";
            return result;
        }
        result.entries.push_back(rep);
    }
    result.ok = true;
    result.bytes = std::move(archive);
    return result;
}

bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::string tmpl = path + ".tmpXXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "cannot create a temporary file beside " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = "cannot write " + path + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(name.data());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    // New files get the usual permissions (mkstemp makes them private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ::unlink(name.data());
        return false;
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        error = "cannot rename the temporary file to " + path + ": " + std::strerror(errno);
        ::unlink(name.data());
        return false;
    }
    return true;
}

}  // namespace rarw
