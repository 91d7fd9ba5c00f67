// The extended-module (XM) file's own size bookkeeping, checked before the file is
// handed to the player: the player plays a cut-off file without complaint, with
// silence where patterns and samples were lost.
#pragma once

#include <cstddef>
#include <cstdint>

// The length of the "Extended Module: " signature that opens every such file.
constexpr size_t XM_SIGNATURE_BYTES = 17;

enum class XmLayout {
    complete,   // every header, pattern and sample the file declares lies inside it
    foreign,    // not an extended module (no "Extended Module: " signature)
    truncated,  // an extended module that declares more bytes than the file holds
};

// Walks the fixed header, the patterns (header length + packed size) and the
// instruments (header, sample headers, sample data) of the size bytes at data.
// Bytes after the last sample are allowed. Reads nothing outside [data, data+size).
// Called by module_load before the player sees the file.
XmLayout check_xm_layout(const uint8_t* data, size_t size);
