// PNG encoding of 24-bit RGB pictures (zlib's deflate and CRC), and writing files
// so that a file under its final name is always complete.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Encodes width x height pixels of 3 bytes (r, g, b), row 0 on top, as an 8-bit
// truecolour PNG without interlace. Each (keyword, text) pair becomes a tEXt chunk
// (keywords 1..79 Latin-1 characters, texts without NUL). Every row uses the Sub
// filter; deflate at level 6. The same input always gives the same bytes. Empty
// when zlib runs out of memory.
std::vector<uint8_t> encode_png(const uint8_t* rgb, int width, int height,
                                const std::vector<std::pair<std::string, std::string>>& texts = {});

// Why path cannot be an output: "" when it is absent or a regular file (or a link to
// one, or a dangling link: the rename replaces the link, never what it points to),
// otherwise the reason, such as "it is a FIFO". A FIFO, a device, a socket or a
// folder there is never replaced. Asked before any output is written or renamed.
std::string output_refusal(const std::string& path);

// A new empty file made for this process alone in folder (O_EXCL, through mkstemp:
// no planted name or link is ever followed), named from stem; *path gets its name.
// Returns its descriptor, or -1 with errno set.
int make_private_file(const std::string& folder, const std::string& stem, std::string* path);

// The folder part of path ("." when it has none).
std::string folder_of(const std::string& path);

// Writes bytes to path through a private file beside it (make_private_file) and a
// rename, so that path either keeps what it held or holds all of bytes. Refuses a
// path that output_refusal names. Returns false with *error set (naming the path and
// the reason) when any step fails; the private file is removed. While it is being
// written its name is registered for removal on a failure or a signal.
bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes,
                           std::string* error);
