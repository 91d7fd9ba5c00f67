// The archive as a byte stream with a position: a buffered file or an image in
// memory. The reader walks both the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct ArchiveStream {
    FILE* file = nullptr;           // file stream, or null
    const uint8_t* data = nullptr;  // memory image, or null
    uint64_t size = 0;              // bytes in the archive
    uint64_t pos = 0;               // memory image only: next byte to read

    bool is_open() const { return file != nullptr || data != nullptr; }
};

// Opens the file at path for reading without blocking (a FIFO or a device never
// stalls the open), requires a regular file of at most max_bytes (fstat, before
// any read) and learns its size. False on failure with *error an errno value:
// EISDIR for a folder, ENODEV for any other file that is not regular, EFBIG when
// larger than max_bytes, else open's own.
bool stream_open_file(ArchiveStream& s, const char* path, uint64_t max_bytes, int* error);

// Presents size bytes at data as an archive. False when data is null.
bool stream_open_memory(ArchiveStream& s, const uint8_t* data, size_t size);

// Reads up to count bytes; returns the number read (short at the end).
size_t stream_read(ArchiveStream& s, void* buffer, size_t count);

// Moves to an absolute position; a position past the end is allowed and reads nothing.
bool stream_seek(ArchiveStream& s, uint64_t position);

// The current position.
uint64_t stream_tell(ArchiveStream& s);

// Closes the file (if any) and forgets the stream.
void stream_close(ArchiveStream& s);
