// Scene 6, 71.99 s to 81.53 s: a cloud of 200 points spinning in 16.16 fixed point,
// stamped as dark glow blobs on teal, under a title, with a stack of five word lines
// that grows by one line per phase while the older lines fade; every frame is
// averaged with the one before, which leaves trails.
#pragma once

#include <cstdint>

// Scene 6: cues 12..16, ends at 81530 ms. Runs its phases and returns when its last cue
// (or last counted step) has ended. Called by play_scenes, in show order.
void scene_glow_cloud();

constexpr int CLOUD_POINTS = 200;
constexpr uint8_t CLOUD_BACKGROUND = 151;  // the teal the scene draws on
constexpr int WORD_LINES = 5;              // and phases: phase k adds line k
constexpr int WORD_LINE_W = 320, WORD_LINE_H = 11;
constexpr int TITLE_X = 60, TITLE_Y = 20, TITLE_W = 199, TITLE_H = 29;

// A point of the cloud: its place in space and, once projected, on screen.
struct CloudPoint {
    int32_t x, y, z;  // coordinates; -150..149 at rest
    int32_t sx, sy;   // screen position from the last projection
};

// All of scene 6's own state.
struct GlowCloudRun {
    // The cloud at rest: seeded at the start of the scene, only x, y, z used.
    CloudPoint points[CLOUD_POINTS] = {};
    // The cloud as rotated for the current frame, with the screen positions; carried
    // from frame to frame and phase to phase (a point that cannot be projected keeps
    // its last screen position).
    CloudPoint rotated[CLOUD_POINTS] = {};
    // The rotation angle in 1/256 turns: +1 per frame (wraps modulo 256) through all
    // five phases.
    uint8_t angle = 0;
};

// The run in progress, or the last one: scene_glow_cloud starts it afresh.
extern GlowCloudRun scene06_run;

// Stops the show with "error loading resource '<name>'" when the title or a word
// line is shorter than its picture. Called by scene_glow_cloud before its first
// phase.
void scene06_check_resources();

// For each point in order: x, then y, then z := rand() mod 300 - 150 (600 draws from
// the shared generator). Once at the start of the scene.
void seed_cloud(GlowCloudRun& run);

// Writes x, y, z of out: p rotated by a about x, then b about y, then c about z
// (rotate_fixed). sx, sy of out are left alone.
void rotate_point(const CloudPoint& p, CloudPoint& out, uint8_t a, uint8_t b, uint8_t c);

// rotate_point from every points[i] into rotated[i]. Once per frame.
void rotate_cloud(GlowCloudRun& run, uint8_t a, uint8_t b, uint8_t c);

// Writes sx, sy of p: sx = x * 64 / (y + 256) + 160, sy = z * 64 / (z + 256) + 150,
// dividing in integers, truncating toward zero. Where y or z is -256 (a divisor of
// 0) both keep their previous values.
void project_cloud_point(CloudPoint& p);

// Projects every rotated point in order and stamps it with add_glow at (sx, sy) as
// unsigned 16-bit values, radius 10 - ((z + 214) >> 6) as a byte: nearer points
// (smaller z) give bigger blobs. Once per frame.
void draw_cloud(GlowCloudRun& run);

// The word lines of phase 0..4 from the top line down: line `phase` drawn fresh with
// blit_blend, each older line smudged with an amount that grows with its age (5, 10,
// 15, 17). Once per frame.
void draw_word_stack(int phase);

// Every pixel of screen_frame := (screen pixel + back_frame pixel) >> 1. Once per
// frame, before the present.
void blend_with_back();

// One frame of phase 0..4: background, rotated cloud (the angle then advances),
// title, word stack, blend with the previous frame, present, and back_frame := the
// frame shown. Running ahead past the scene's last cue it only turns and projects
// the cloud. Called by the scene's frame loop.
void glow_cloud_frame(GlowCloudRun& run, int phase);
