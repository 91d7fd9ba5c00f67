// File and memory archive streams.
#include "archive/archive_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool stream_open_file(ArchiveStream& s, const char* path, uint64_t max_bytes, int* error) {
    s = ArchiveStream{};
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    struct stat st {};
    int why = 0;
    if (fstat(fd, &st) != 0) why = errno;
    else if (S_ISDIR(st.st_mode)) why = EISDIR;
    else if (!S_ISREG(st.st_mode)) why = ENODEV;
    else if (uint64_t(st.st_size) > max_bytes) why = EFBIG;
    // Reads of a regular file never block; the flag goes only so that the stream
    // behaves as any other.
    FILE* f = nullptr;
    if (why == 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0) f = fdopen(fd, "rb");
    if (f == nullptr) {
        *error = why != 0 ? why : errno;
        close(fd);
        return false;
    }
    s.file = f;
    s.size = uint64_t(st.st_size);
    return true;
}

bool stream_open_memory(ArchiveStream& s, const uint8_t* data, size_t size) {
    s = ArchiveStream{};
    if (data == nullptr) return false;
    s.data = data;
    s.size = size;
    return true;
}

size_t stream_read(ArchiveStream& s, void* buffer, size_t count) {
    if (count == 0) return 0;
    if (s.file != nullptr) return fread(buffer, 1, count, s.file);
    if (s.data == nullptr || s.pos >= s.size) return 0;
    uint64_t left = s.size - s.pos;
    size_t n = count < left ? count : size_t(left);
    std::memcpy(buffer, s.data + s.pos, n);
    s.pos += n;
    return n;
}

bool stream_seek(ArchiveStream& s, uint64_t position) {
    if (s.file != nullptr) {
        if (position > uint64_t(INT64_MAX)) return false;
        return fseeko(s.file, off_t(position), SEEK_SET) == 0;
    }
    if (s.data == nullptr) return false;
    s.pos = position;
    return true;
}

uint64_t stream_tell(ArchiveStream& s) {
    if (s.file != nullptr) {
        off_t p = ftello(s.file);
        return p < 0 ? 0 : uint64_t(p);
    }
    return s.pos;
}

void stream_close(ArchiveStream& s) {
    if (s.file != nullptr) fclose(s.file);
    s = ArchiveStream{};
}
