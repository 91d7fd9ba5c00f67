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

// Writes bytes to path through path + ".part" and a rename, so that path either
// keeps what it held or holds all of bytes. Returns false with *error set (naming
// the path and the system's reason) when any step fails; the .part file is removed.
bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes,
                           std::string* error);
