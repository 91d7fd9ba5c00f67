// The tube ray caster and the smoothing pass of the two tube scenes.
#include "render/tube.h"

#include <cmath>

Vec3f tube_camera = {0.0f, 0.0f, 0.0f};
Vec3f ray_dir = {0.0f, 0.0f, 1.0f};

// Screen position to direction: one pixel is 1/120 of a unit at distance 1.
static constexpr double RAY_SCALE = 0.008333333333333333;
static constexpr double INV_PI = 0.3183098861837907;
static constexpr double TUBE_R2 = 65536.0;  // radius 256, squared

static inline float ray_component(int offset) { return float(double(offset) * RAY_SCALE); }

void aim_ray(int sx, int sy) {
    ray_dir.x = ray_component(sx - 160);
    ray_dir.y = ray_component(sy - 100);
    ray_dir.z = 1.0f;
}

void damp_direction(Vec3f& v) {
    const double n = double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z;
    const double k = 1.0 / (n * n);
    v.x = float(v.x * k);
    v.y = float(v.y * k);
    v.z = float(v.z * k);
}

// Truncation toward zero, low 8 bits. The values are never negative for a camera
// inside the tube; one outside it has no hit (NaN), which gives 0 rather than an
// out-of-range conversion.
static inline uint8_t low_byte(double v) {
    return v < 9.0e18 ? uint8_t(int64_t(v)) : uint8_t(0);
}

// The intersection proper, for a camera and an already damped direction.
static inline TubeHit intersect(double px, double py, double pz, double dx, double dy,
                                double dz) {
    const double a = dx * dx + dy * dy;
    const double b = 2.0 * (dx * px + dy * py);
    const double c = px * px + py * py - TUBE_R2;
    const double s = sqrt(b * b - 4.0 * a * c);  // c < 0 inside the tube: s >= |b|
    const double t = (s - b) / (2.0 * a + 0.000001);
    const double hx = px + t * dx, hy = py + t * dy, hz = pz + t * dz;
    const double q = 20000.0 / t;  // +inf for the axial ray (t = 0)
    TubeHit hit;
    hit.u = low_byte(0.1 * fabs(hz));  // the texture repeats every 2560 units
    hit.v = low_byte(fabs(atan2(hy, hx)) * 256.0 * INV_PI);  // exactly pi wraps to 0
    hit.shade = uint8_t(q < 63.0 ? q : 63.0);
    return hit;
}

void cast_tube_ray(uint8_t& u, uint8_t& v, uint8_t& shade) {
    damp_direction(ray_dir);
    const TubeHit hit =
        intersect(tube_camera.x, tube_camera.y, tube_camera.z, ray_dir.x, ray_dir.y, ray_dir.z);
    u = hit.u;
    v = hit.v;
    shade = hit.shade;
}

int cast_tube_row(int y, int x0, int step, TubeHit* hits) {
    const double px = tube_camera.x, py = tube_camera.y, pz = tube_camera.z;
    const float dy = ray_component(y - 100);
    int n = 0;
    for (int x = x0; x < FRAME_W; x += step, ++n) {
        Vec3f d = {ray_component(x - 160), dy, 1.0f};
        damp_direction(d);
        hits[n] = intersect(px, py, pz, d.x, d.y, d.z);
    }
    return n;
}

void smooth_samples() {
    constexpr uint8_t BORDER = 5;
    uint8_t* const f = back_frame;
    for (int x = 0; x < FRAME_W; ++x) f[x] = BORDER;

    for (int y = 0; y < FRAME_H - 1; ++y) {
        uint8_t* above = f + row_offset[y];  // final already, but for its last pixel
        uint8_t* row = above + FRAME_W;      // being smoothed
        const uint8_t* below = row + FRAME_W;  // still as before the pass
        above[0] = BORDER;
        if (y <= FRAME_H - 3) {
            // Column sums of the rows above and below roll along; only the left
            // neighbour, written one step earlier, chains the pixels together.
            unsigned col_prev = above[0] + below[0];
            unsigned col_cur = above[1] + below[1];
            unsigned left = row[0];
            for (int x = 1; x < FRAME_W - 1; ++x) {
                const unsigned col_next = above[x + 1] + below[x + 1];
                const unsigned sum = col_prev + col_cur + col_next + row[x + 1] + left;
                // max(sum, 8) >> 3 is floor(sum / 8) with 0 written as 1.
                left = (sum > 8 ? sum : 8) >> 3;
                row[x] = uint8_t(left);
                col_prev = col_cur;
                col_cur = col_next;
            }
        }
        above[FRAME_W - 1] = BORDER;
    }
    uint8_t* last = f + row_offset[FRAME_H - 1];
    for (int x = 0; x < FRAME_W; ++x) last[x] = BORDER;

    copy_frame(screen_frame, back_frame);
}
