// The capture's sound track: a music driver that plays nothing and records when the
// show started the module and every volume change it asked for, and the module
// rendered offline with those changes at the same show times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "music/offline.h"

struct MusicDriver;

// One music_set_volume call: the frame on screen when it was made (the pumps
// before it) and the level passed (0..255).
struct VolumeChange {
    int64_t frame;
    int level;
};

// What the show asked of the music, counted in frames of the headless clock.
struct MusicRecord {
    bool loaded = false;                // the show loaded the module (sound on)
    bool played = false;                // the show started it
    int64_t play_frame = 0;             // the frame at which it started
    std::vector<VolumeChange> changes;  // in call order
};

// A MusicDriver for the headless platform that fills music_record(). It trusts the
// module to load (the capture checks it beforehand) and counts the headless pumps.
const MusicDriver* recording_music_driver();

// What the recording driver has seen since the program started.
MusicRecord& music_record();

// The record's volume changes for the offline renderer at this frame rate: each due
// at the first sample of its frame (sample_at_frame), counted from the play frame's.
std::vector<VolumeEvent> volume_events(const MusicRecord& record, int32_t fps, int32_t rate);

// Renders the module at path at rate with the record's volume changes and hands
// the stereo frames [first, first + count) of it to sink, counted from the start of
// the music: silence before its start (first < 0) and after its end. Streams: only
// what the range needs is rendered, and a block at a time is held. Returns false
// with *error set when the module cannot be loaded, or emptied when sink refused.
bool render_soundtrack(const std::string& path, int32_t rate, int32_t fps, const MusicRecord& record, int64_t first,
                       int64_t count, const StereoSink& sink, std::string* error);

// The same, collected into *stereo (2 * count samples).
bool render_soundtrack(const std::string& path, int32_t rate, int32_t fps, const MusicRecord& record, int64_t first,
                       int64_t count, std::vector<int16_t>* stereo, std::string* error);

// The 44-byte header of a RIFF WAVE file of 16-bit stereo at rate whose samples
// take data_bytes; the samples follow it little-endian.
std::vector<uint8_t> wav_header(uint32_t data_bytes, int32_t rate);

// A RIFF WAVE file of interleaved 16-bit stereo samples at rate.
std::vector<uint8_t> encode_wav(const std::vector<int16_t>& stereo, int32_t rate);
