// Scene 8 (cue 18, then 72 counted frames): the striped tube wound along a knot
// tumbles over a picture, painted far to near, faces toward the viewer Gouraud-shaded
// by depth and faces away as wire triangles; then the knot fades out as a flat
// tinted silhouette over the picture.
#pragma once

#include <array>
#include <cstdint>

#include "render/knot_mesh.h"
#include "scenes/scene08_raster.h"

// Scene 8: cue 18, ends at 111000 ms (its 72 counted fade frames after). Runs its phases
// and returns when its last cue (or last counted step) has ended. Called by play_scenes,
// in show order.
void scene_spinning_knot();

constexpr int KNOT_FADE_FRAMES = 72;
constexpr uint8_t KNOT_FADE_FIRST_TINT = 126;  // the tint of the fade's first frame,
constexpr uint8_t KNOT_FADE_LAST_TINT = 55;    // one less each frame down to its last

// All of scene 8's own state, carried from frame to frame through both phases.
struct KnotRun {
    // The mesh as turned for the current frame, rewritten by spin_knot.
    KnotVertex rotated[KNOT_VERTICES] = {};
    // The turned mesh projected onto the frame, rewritten by draw_knot.
    ScreenPoint screen[KNOT_VERTICES] = {};
    // Turn angles in radians; spin_knot adds 0.05 and 0.04 after every frame.
    float turn_a = 0.0f;
    float turn_b = 0.0f;
    // The order the quad slots are painted in, re-sorted from the last frame's by
    // sort_knot_order.
    std::array<int32_t, KNOT_QUADS> order = knot_draw_order;
};

// The run in progress, or the last one: scene_spinning_knot starts it afresh.
extern KnotRun scene08_run;

// Stops the show with "error loading resource '<name>'" when plant.dat holds less
// than a frame. Called by scene_spinning_knot before its first phase.
void scene08_check_resources();

// out1 = c + k (a - c) - s (b - d), out2 = d + s (a - c) + k (b - d), worked in
// single precision and truncated toward zero: (a, b) turned about (c, d) by the
// angle whose sine and cosine are s and k. Called by spin_knot.
void rotate_in_plane(int32_t a, int32_t b, int32_t c, int32_t d, float s, float k, int32_t& out1,
                     int32_t& out2);

// Turns every vertex of knot_vertex into rotated, first in the y-z plane by turn_a,
// then in the x-z plane by turn_b (each step truncated), then advances both angles.
// Once per frame.
void spin_knot(KnotRun& run);

// Reorders order so that slots whose vertex lies deeper (larger turned z) come
// first. Stable, starting from the previous frame's order, so equal depths keep the
// order they had. Once per frame, after spin_knot.
void sort_knot_order(KnotRun& run);

// Projects rotated into screen. Called by draw_knot, and alone for a frame never
// shown while running ahead.
void project_knot(KnotRun& run);

// Projects rotated into screen and draws both triangles of every quad slot in
// order into target. Once per frame, after the sort.
void draw_knot(KnotRun& run, uint8_t* target);

// Draws one triangle of the mesh by vertex indices into target: outlined in colour
// 15 when it faces away (judged on the turned, unprojected x and y), else
// Gouraud-shaded with shade ((z + 100) * 64) / 200 per vertex, truncated and taken
// modulo 256.
void draw_knot_triangle(const KnotRun& run, uint8_t* target, int32_t a, int32_t b, int32_t c);

// Every pixel where back_frame is not 0 becomes (n + pixel) >> 1 on screen_frame;
// the rest stays. Once per fade frame.
void tint_silhouette(uint8_t n);

// One frame of the spinning phase, presented (no pump): picture, spin, sort, knot
// drawn onto screen_frame; a frame never shown while running ahead only spins,
// sorts and projects. Called by the scene's first phase.
void knot_frame(KnotRun& run);

// One frame of the fade with tint n, presented (no pump): the knot alone in
// back_frame, tinted over the picture on screen_frame; unseen, as knot_frame.
// Called by the fade.
void knot_fade_frame(KnotRun& run, uint8_t n);
