// Scene 8: the entry operation, the knot's turn, depth sort, projection and
// triangles, and the tinted fade of its silhouette.
#include "scenes/scene08_spinning_knot.h"

#include <cmath>
#include <cstring>

#include "archive/resources.h"
#include "display/display.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

KnotRun scene08_run;

void scene08_check_resources() {
    const ResourceNeed needs[] = {{RES_PLANT, FRAME_BYTES}};
    require_resources(needs);
}

void rotate_in_plane(int32_t a, int32_t b, int32_t c, int32_t d, float s, float k, int32_t& out1,
                     int32_t& out2) {
    const float u = float(a - c), v = float(b - d);
    // Single precision throughout, no fused multiply-add (the build is strict ISO),
    // then truncation toward zero.
    out1 = int32_t(float(c) + k * u - s * v);
    out2 = int32_t(float(d) + s * u + k * v);
}

void spin_knot(KnotRun& run) {
    // Sine and cosine taken in double and rounded to single precision, once a frame.
    const float sa = float(std::sin(double(run.turn_a))), ca = float(std::cos(double(run.turn_a)));
    const float sb = float(std::sin(double(run.turn_b))), cb = float(std::cos(double(run.turn_b)));
    for (int i = 0; i < KNOT_VERTICES; ++i) {
        const KnotVertex& v = knot_vertex[i];
        KnotVertex& r = run.rotated[i];
        rotate_in_plane(v.y, v.z, 0, 0, sa, ca, r.y, r.z);
        rotate_in_plane(v.x, r.z, 0, 0, sb, cb, r.x, r.z);  // from the truncated z
    }
    // The steps are doubles added to the float angle and rounded back to float, so
    // the angles drift the same way every run and carry across both phases.
    run.turn_a = float(double(run.turn_a) + 0.05);
    run.turn_b = float(double(run.turn_b) + 0.04);
}

void sort_knot_order(KnotRun& run) {
    // Insertion sort: stable, in place, and nearly linear because the knot turns
    // only a little between frames and the order starts from the last frame's.
    // Slot q sorts by the depth of vertex q (its first vertex when not empty).
    int32_t* order = run.order.data();
    const KnotVertex* rotated = run.rotated;
    for (int i = 1; i < KNOT_QUADS; ++i) {
        const int32_t q = order[i];
        const int32_t z = rotated[q].z;
        int j = i;
        for (; j > 0 && rotated[order[j - 1]].z < z; --j) order[j] = order[j - 1];
        order[j] = q;
    }
}

void draw_knot_triangle(const KnotRun& run, uint8_t* target, int32_t a, int32_t b, int32_t c) {
    const KnotVertex& va = run.rotated[a];
    const KnotVertex& vb = run.rotated[b];
    const KnotVertex& vc = run.rotated[c];
    const ScreenPoint points[3] = {run.screen[a], run.screen[b], run.screen[c]};
    // Equal sides (every empty slot among them) count as facing the viewer.
    if ((va.y - vc.y) * (vb.x - va.x) < (va.x - vc.x) * (vb.y - va.y)) {
        outline_triangle(target, points);
        return;
    }
    // 0 at z = -100 up to 64 at z = 100, truncated toward zero, kept in a byte.
    const uint8_t shades[3] = {uint8_t((va.z + 100) * 64 / 200), uint8_t((vb.z + 100) * 64 / 200),
                               uint8_t((vc.z + 100) * 64 / 200)};
    gouraud_triangle(target, points, shades);
}

void project_knot(KnotRun& run) {
    for (int i = 0; i < KNOT_VERTICES; ++i) {
        const KnotVertex& v = run.rotated[i];
        // Arithmetic shift, then divisions truncating toward zero. The turned mesh
        // stays within 160 of the origin, so d is at least 97.
        const int32_t d = (v.z + 550) >> 2;
        run.screen[i] = {v.x * 128 / d + 100, v.y * 128 / d + 100};
    }
}

void draw_knot(KnotRun& run, uint8_t* target) {
    project_knot(run);
    for (int pos = 0; pos < KNOT_QUADS; ++pos) {
        const int32_t* q = knot_quad[run.order[pos]];
        draw_knot_triangle(run, target, q[0], q[1], q[2]);
        draw_knot_triangle(run, target, q[0], q[2], q[3]);
    }
}

void tint_silhouette(uint8_t n) {
    // Sixteen pixels at a time, skipping runs where the knot left nothing; the
    // halved sum is taken as (n & p) + ((n ^ p) >> 1), which cannot overflow a byte.
    typedef uint8_t Bytes __attribute__((vector_size(16)));
    const Bytes tint = Bytes{} + n;
    for (int i = 0; i < FRAME_BYTES; i += 16) {
        Bytes mask, p;
        memcpy(&mask, back_frame + i, 16);
        uint64_t any[2];
        memcpy(any, &mask, 16);
        if ((any[0] | any[1]) == 0) continue;
        memcpy(&p, screen_frame + i, 16);
        const Bytes half = (tint & p) + ((tint ^ p) >> 1);
        p = mask != 0 ? half : p;
        memcpy(screen_frame + i, &p, 16);
    }
}

namespace {

// Both phases turn the knot the same way each frame and differ only in where it is
// drawn, so the angles and the depth order run on unbroken from one to the other.
void draw_turned_knot(KnotRun& run, uint8_t* target) {
    copy_frame(screen_frame, resource_slot[RES_PLANT]);
    spin_knot(run);
    sort_knot_order(run);
    draw_knot(run, target);
}

// Running ahead, a frame never shown only turns, sorts and projects the knot: every
// frame of both phases starts from the picture, and scene 9 reads none of them.
bool turned_unseen(KnotRun& run) {
    if (!timeline_frame_unseen()) return false;
    spin_knot(run);
    sort_knot_order(run);
    project_knot(run);
    return true;
}

}  // namespace

void knot_frame(KnotRun& run) {
    if (turned_unseen(run)) return;
    draw_turned_knot(run, screen_frame);
    present_frame(screen_frame);
}

void knot_fade_frame(KnotRun& run, uint8_t n) {
    if (turned_unseen(run)) return;
    clear_frame(back_frame);
    draw_turned_knot(run, back_frame);
    tint_silhouette(n);
    present_frame(screen_frame);
}

void scene_spinning_knot() {
    scene08_check_resources();
    scene08_run = KnotRun{};
    blank_screen(scene8_palette);
    ++cue_index;
    while (cue_running()) {
        knot_frame(scene08_run);
        pump_messages();
    }
    // Counted, not timed: the fade always shows its 72 frames.
    for (int n = KNOT_FADE_FIRST_TINT; n >= KNOT_FADE_LAST_TINT; --n) {
        knot_fade_frame(scene08_run, uint8_t(n));
        pump_messages();
    }
}
