// The FastTracker 2 module as kelvora-tune builds it, and its writer: the XM 1.04
// layout (song header, packed patterns, instruments with envelopes and 16-bit
// delta-coded samples), readable by FT2-compatible trackers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xm {

constexpr uint8_t key_off = 97;  // the note value that releases a note

// One note slot. Zero in a field means "nothing there"; note 1 is C-0, 49 C-4.
struct Cell {
    uint8_t note = 0;
    uint8_t instrument = 0;  // 1-based
    uint8_t volume = 0;      // volume column byte: 0x10 + 0..64 sets the volume
    uint8_t effect = 0;
    uint8_t param = 0;
    bool empty() const { return !note && !instrument && !volume && !effect && !param; }
};

struct Pattern {
    int rows = 64;
    std::vector<Cell> cells;  // rows x channels, row-major
};

struct EnvelopePoint {
    uint16_t tick;
    uint16_t value;  // 0..64
};

struct Envelope {
    std::vector<EnvelopePoint> points;  // up to 12; empty means off
    int sustain = -1;                   // point index held until key-off, -1 for none
};

struct Sample {
    std::string name;
    std::vector<int16_t> data;
    uint32_t loop_start = 0;  // frames
    uint32_t loop_length = 0; // frames; 0 means no loop
    uint8_t volume = 64;
    int8_t finetune = 0;      // 1/128 semitone
    uint8_t panning = 128;
    int8_t relative_note = 0; // semitones added to every note
    bool pingpong = false;    // the loop plays forward and back
};

struct Instrument {
    std::string name;
    Sample sample;  // one sample over the whole keyboard
    Envelope volume;
    uint16_t fadeout = 0;
    uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
};

struct Module {
    std::string name;
    int channels = 8;  // even, 2..32
    int speed = 6;     // ticks per row at the start
    int bpm = 125;     // tempo at the start
    std::vector<uint8_t> orders;  // pattern numbers, in play order
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

// The file's bytes. The same module gives the same bytes.
std::vector<uint8_t> write(const Module& module);

}  // namespace xm
