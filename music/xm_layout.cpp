// The extended-module size walk; see xm_layout.h. All sizes are little-endian and
// summed in 64 bits, so no declared size can wrap the walk back into the file.
#include "music/xm_layout.h"

#include <cstring>

namespace {

// A read window over the file: each read is checked against its end.
struct Walk {
    const uint8_t* data;
    uint64_t size;

    bool has(uint64_t at, uint64_t n) const { return at <= size && n <= size - at; }
    uint32_t u16(uint64_t at) const { return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8; }
    uint32_t u32(uint64_t at) const { return u16(at) | u16(at + 2) << 16; }
};

constexpr char SIGNATURE[] = "Extended Module: ";
constexpr uint64_t SIGNATURE_BYTES = sizeof SIGNATURE - 1;
static_assert(SIGNATURE_BYTES == XM_SIGNATURE_BYTES);
constexpr uint64_t HEADER_SIZE_AT = 60;     // the song header's own length is stored here
constexpr uint64_t SONG_FIELDS_BYTES = 20;  // length .. bpm: the counts are read from here
constexpr uint64_t PATTERN_FIELDS_BYTES = 9;
constexpr uint64_t INSTRUMENT_FIELDS_BYTES = 29;  // size, name, type, sample count
constexpr uint64_t SAMPLE_SIZE_AT = 29;           // sample header size, when samples follow

}  // namespace

XmLayout check_xm_layout(const uint8_t* data, size_t size) {
    const Walk w{data, uint64_t(size)};
    if (!w.has(0, SIGNATURE_BYTES) || memcmp(data, SIGNATURE, SIGNATURE_BYTES) != 0) return XmLayout::foreign;
    if (!w.has(HEADER_SIZE_AT, 4 + SONG_FIELDS_BYTES)) return XmLayout::truncated;
    const uint64_t header_size = w.u32(HEADER_SIZE_AT);  // counted from its own field
    const uint32_t patterns = w.u16(HEADER_SIZE_AT + 10);
    const uint32_t instruments = w.u16(HEADER_SIZE_AT + 12);
    uint64_t at = HEADER_SIZE_AT + header_size;
    if (header_size < 4 + SONG_FIELDS_BYTES || !w.has(HEADER_SIZE_AT, header_size)) return XmLayout::truncated;

    for (uint32_t p = 0; p < patterns; ++p) {
        if (!w.has(at, PATTERN_FIELDS_BYTES)) return XmLayout::truncated;
        const uint64_t head = w.u32(at);  // includes its own four bytes
        const uint64_t packed = w.u16(at + 7);
        if (head < PATTERN_FIELDS_BYTES || !w.has(at, head) || !w.has(at + head, packed))
            return XmLayout::truncated;
        at += head + packed;
    }

    for (uint32_t i = 0; i < instruments; ++i) {
        if (!w.has(at, INSTRUMENT_FIELDS_BYTES)) return XmLayout::truncated;
        const uint64_t head = w.u32(at);  // includes its own four bytes
        const uint32_t samples = w.u16(at + 27);
        if (head < 4 || !w.has(at, head)) return XmLayout::truncated;
        if (samples == 0) {
            at += head;
            continue;
        }
        if (head < SAMPLE_SIZE_AT + 4) return XmLayout::truncated;
        const uint64_t sample_head = w.u32(at + SAMPLE_SIZE_AT);
        at += head;
        // The sample headers, then every sample's data in the same order; the first
        // four bytes of a sample header are its data length in bytes.
        if (sample_head < 4 || !w.has(at, uint64_t(samples) * sample_head)) return XmLayout::truncated;
        uint64_t sample_bytes = 0;
        for (uint32_t s = 0; s < samples; ++s) sample_bytes += w.u32(at + uint64_t(s) * sample_head);
        at += uint64_t(samples) * sample_head;
        if (!w.has(at, sample_bytes)) return XmLayout::truncated;
        at += sample_bytes;
    }
    return XmLayout::complete;
}
