// The capture's sound track: a music driver that plays nothing and records when the
// show started the module and every volume change it asked for, and the module
// rendered offline with those changes at the same show times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "music/offline.h"

struct MusicDriver;

// What the show asked of the music, in virtual milliseconds of the headless clock.
struct MusicRecord {
    bool loaded = false;              // the show loaded the module (sound on)
    bool played = false;              // the show started it
    double play_ms = 0.0;             // when it started
    std::vector<VolumeEvent> events;  // volume changes, at_ms counted from play_ms
};

// A MusicDriver for the headless platform that fills music_record(). It trusts the
// module to load (the capture checks it beforehand) and reads the headless clock.
const MusicDriver* recording_music_driver();

// What the recording driver has seen since the program started.
MusicRecord& music_record();

// Renders the module at path at rate with the record's volume changes and returns
// the stereo frames [first, first + count) of it in *stereo (2 * count samples):
// silence before its start (first < 0) and after its end. Returns false with *error set when
// the module cannot be loaded.
bool render_soundtrack(const std::string& path, int32_t rate, const MusicRecord& record, int64_t first,
                       int64_t count, std::vector<int16_t>* stereo, std::string* error);

// A RIFF WAVE file of interleaved 16-bit stereo samples at rate.
std::vector<uint8_t> encode_wav(const std::vector<int16_t>& stereo, int32_t rate);
