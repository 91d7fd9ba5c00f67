// The MP4 writer: the ffmpeg program encodes raw RGB frames piped to its standard
// input into H.264, and afterwards muxes the sound track in as AAC.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

// Looks name up in $PATH like a shell would; true with *path set to the first
// executable found.
bool find_program(const char* name, std::string* path);

// A running ffmpeg that reads frames from a pipe.
struct VideoEncoder {
    pid_t pid = -1;
    int fd = -1;              // the write end of its standard input
    std::string log_path;     // its error output, a new file, read back when it fails
    std::string ffmpeg;       // the program
};

// Starts ffmpeg writing an MP4 with only an H.264 stream to out_path, reading
// 320 x 200 RGB frames at fps and enlarging them to width x height (whole multiples)
// with nearest-neighbour scaling (whole pixels; a quarter of the pipe traffic of
// sending them enlarged at zoom 2). The encoding is fast, on every core, at a
// quality that keeps flat colours; colour at half resolution (4:2:0) when each
// picture pixel is a block of even width and height, else at full resolution
// (4:4:4). ffmpeg must exist: find_program.
bool video_start(const std::string& ffmpeg, const std::string& out_path, int width, int height, int32_t fps,
                 VideoEncoder* encoder, std::string* error);

// Hands one frame of 320 * 200 * 3 bytes to the encoder. False with *error when
// ffmpeg has stopped reading.
bool video_write(VideoEncoder* encoder, const uint8_t* rgb, size_t size, std::string* error);

// Closes the pipe and waits for ffmpeg. False with *error (its last message) unless
// it exited with code 0.
bool video_finish(VideoEncoder* encoder, std::string* error);

// Stops a running encoder at once and reaps it. Harmless when none runs.
void video_abort(VideoEncoder* encoder);

// Runs ffmpeg once to copy the video stream of video_path and add wav_path as AAC
// (192 kbit/s) into an MP4 at out_path. False with
// *error unless it succeeded.
bool video_mux_audio(const std::string& ffmpeg, const std::string& video_path, const std::string& wav_path,
                     const std::string& out_path, std::string* error);
