// The tube ray caster and the smoothing pass of the two tube scenes.
#include "render/tube.h"

#include <cmath>
#include <cstring>

#include "render/carried.h"
#include "render/swar.h"

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
        intersect(carried.tube_camera.x, carried.tube_camera.y, carried.tube_camera.z, ray_dir.x, ray_dir.y, ray_dir.z);
    u = hit.u;
    v = hit.v;
    shade = hit.shade;
}

int cast_tube_row(int y, int x0, int step, TubeHit* hits) {
    const double px = carried.tube_camera.x, py = carried.tube_camera.y, pz = carried.tube_camera.z;
    const float dy = ray_component(y - 100);
    int n = 0;
    for (int x = x0; x < FRAME_W; x += step, ++n) {
        Vec3f d = {ray_component(x - 160), dy, 1.0f};
        damp_direction(d);
        hits[n] = intersect(px, py, pz, d.x, d.y, d.z);
    }
    return n;
}

// The smoothing pass. Pixel (x, r) of a smoothed row is a chain value:
//   L(x) = max(S(x) + L(x - 1), 8) >> 3
// where S(x) sums the seven neighbours other than the left one: the three above
// (final, smoothed one row earlier), the three below (not yet smoothed) and the one
// to the right (not yet smoothed). S is known ahead of the chain and is summed
// sixteen pixels at a time in vector lanes; what is left per pixel is an add, a shift
// (and a max where S can be below 8) on the value just computed. One chain takes two
// to four cycles a pixel, so SMOOTH_ROWS rows run at once, each SMOOTH_LAG chunks
// of sixteen pixels behind the row above: far enough back that the three pixels
// above every chunk are final before its sums are taken (and long since stored, so
// the wide loads find them in cache rather than waiting on the byte stores), and far
// enough ahead of the row below that the row below still reads this row's old pixels.
namespace {

constexpr uint8_t BORDER = 5;
constexpr int CHUNK = 16;                                 // pixels per step
constexpr int CHUNKS = (FRAME_W - 2 + CHUNK - 1) / CHUNK;  // 20: columns 1..318
constexpr int SMOOTH_ROWS = 4;                            // rows in flight
constexpr int SMOOTH_LAG = CHUNKS / SMOOTH_ROWS;          // 5 chunks between rows
static_assert(SMOOTH_LAG * SMOOTH_ROWS == CHUNKS && SMOOTH_LAG >= 2);
// The last chunk holds columns 305..318 (14 pixels). Its sums are taken from column
// LAST_SUMS so that no load reaches past column 319 (below row 199 that would be past
// the frame); its first two sums are not used, and its last two pixels are idle.
constexpr int LAST_X = 1 + (CHUNKS - 1) * CHUNK;  // 305
constexpr int LAST_W = FRAME_W - 1 - LAST_X;      // 14
constexpr int LAST_SUMS = FRAME_W - 1 - CHUNK;    // 303

// The sums of one chunk: S of its pixels 0, 2, .., CHUNK - 2 from index 0, of pixels
// 1, 3, .., CHUNK - 1 from index ODD; one spare of 8 after each half (see LAST_SUMS).
constexpr int ODD = CHUNK / 2 + 1;
typedef uint16_t ChunkSums[2 * ODD];

// S for the sixteen pixels from `at` (at most 7 * 255, no wrap) into s;
// returns whether every one is at least 8, so that the chain needs no max.
static inline bool neighbour_sums(const uint8_t* at, uint16_t* s) {
    static_assert(CHUNK == 16);
    const NeighbourSums n = neighbour_sums16(at);
    memcpy(s, &n.even, sizeof n.even);
    memcpy(s + ODD, &n.odd, sizeof n.odd);
    const Lanes small = (n.even < 8) | (n.odd < 8);
    uint64_t any[2];
    memcpy(any, &small, sizeof any);
    return (any[0] | any[1]) == 0;
}

// One chunk of each row in flight: pixel j of slot m gets max(S + left, 8) >> 3 with
// S at s[m][j / 2] (j even) or s[m][ODD + j / 2] (j odd). Four pixels of one row,
// then four of the next: the chains advance side by side in program order, while
// each row's stores still come in runs to one cache line.
template <bool NO_MAX>
static inline void run_chains(const uint16_t* const (&s)[SMOOTH_ROWS],
                              uint8_t* const (&out)[SMOOTH_ROWS], unsigned (&left)[SMOOTH_ROWS]) {
    constexpr int RUN = 4;
#pragma GCC unroll 4
    for (int g = 0; g < CHUNK; g += RUN) {
#pragma GCC unroll 4
        for (int m = 0; m < SMOOTH_ROWS; ++m) {
#pragma GCC unroll 4
            for (int j = g; j < g + RUN; ++j) {
                unsigned v = s[m][j % 2 * ODD + j / 2] + left[m];
                if (!NO_MAX) v = v > 8 ? v : 8;  // floor(v / 8), 0 written as 1
                left[m] = v >> 3;
                out[m][j] = uint8_t(left[m]);
            }
        }
    }
}

}  // namespace

void smooth_samples() {
    uint8_t* const f = back_frame;
    for (int x = 0; x < FRAME_W; ++x) f[x] = BORDER;

    // Rows 1..198 are smoothed. In phase q the rows in flight are q + 1 - m for slots
    // m = 0 (newest) .. SMOOTH_ROWS - 1, and slot m does chunks m * SMOOTH_LAG ..
    // m * SMOOTH_LAG + SMOOTH_LAG - 1 of its row, one per step; the oldest row's last
    // step is its last chunk. A slot with no row (while the pipeline fills and
    // drains) works on three rows of scratch, so every step has the same shape.
    constexpr int FIRST = 1, LAST = FRAME_H - 2;
    uint8_t scratch[3 * FRAME_W] = {};
    ChunkSums sums[SMOOTH_ROWS];
    for (ChunkSums& s : sums) s[ODD - 1] = s[2 * ODD - 1] = 8;
    uint8_t stage[CHUNK];  // the last chunk's pixels, of which LAST_W are kept
    unsigned left[SMOOTH_ROWS] = {};

    for (int q = 0; q < LAST - FIRST + SMOOTH_ROWS; ++q) {
        for (int m = SMOOTH_ROWS - 1; m > 0; --m) left[m] = left[m - 1];
        uint8_t* at[SMOOTH_ROWS];  // pixel (x, r) where slot m's next chunk starts
        for (int m = 0; m < SMOOTH_ROWS; ++m) {
            const int r = FIRST + q - m;
            uint8_t* row = r >= FIRST && r <= LAST ? f + row_offset[r] : scratch + FRAME_W;
            at[m] = row + 1 + m * SMOOTH_LAG * CHUNK;
        }
        // The entering row's chain starts from its own column 0 as it was before the
        // pass; then that pixel becomes border, as the row below must see it.
        left[0] = at[0][-1];
        at[0][-1] = BORDER;

        for (int p = 0; p < SMOOTH_LAG; ++p) {
            const bool last = p == SMOOTH_LAG - 1;
            const uint16_t* s[SMOOTH_ROWS];
            uint8_t* out[SMOOTH_ROWS];
            bool no_max = true;
            for (int m = 0; m < SMOOTH_ROWS; ++m) {
                s[m] = sums[m];
                out[m] = at[m];
            }
            for (int m = 0; m < SMOOTH_ROWS - 1; ++m)
                no_max &= neighbour_sums(at[m], sums[m]);
            uint8_t* const oldest = at[SMOOTH_ROWS - 1];
            if (!last) {
                no_max &= neighbour_sums(oldest, sums[SMOOTH_ROWS - 1]);
            } else {
                // Sums from LAST_SUMS on, two pixels (one lane) ahead of the chunk;
                // the pixels go to the stage.
                no_max &= neighbour_sums(oldest - (LAST_X - LAST_SUMS), sums[SMOOTH_ROWS - 1]);
                s[SMOOTH_ROWS - 1] += (LAST_X - LAST_SUMS) / 2;
                out[SMOOTH_ROWS - 1] = stage;
            }
            if (no_max)
                run_chains<true>(s, out, left);
            else
                run_chains<false>(s, out, left);
            for (uint8_t*& a : at) a += CHUNK;
            if (last) {
                memcpy(oldest, stage, LAST_W);
                // Column 319 of the row above has been read for the last time.
                oldest[-LAST_X - 1] = BORDER;
            }
        }
    }
    f[row_offset[LAST] + FRAME_W - 1] = BORDER;
    uint8_t* bottom = f + row_offset[FRAME_H - 1];
    for (int x = 0; x < FRAME_W; ++x) bottom[x] = BORDER;

    copy_frame(screen_frame, back_frame);
}
