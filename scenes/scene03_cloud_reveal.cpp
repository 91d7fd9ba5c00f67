// Scene 3: the entry operation, the cloud's set-up and turn, the disc mask and the
// softened reveal of the hidden picture.
#include "scenes/scene03_cloud_reveal.h"

#include <cmath>
#include <numbers>

#include "archive/resources.h"
#include "display/display.h"
#include "platform/platform.h"
#include "render/blit.h"
#include "render/carried.h"
#include "render/disc.h"
#include "render/random.h"
#include "render/swar.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

RevealRun scene03_run;

namespace {

constexpr ResourceNeed scene03_needs[] = {
    {RES_ALIEN, FRAME_BYTES},
    {RES_APHANDL, APHANDL_W * APHANDL_H},
    {RES_ALWORK, ALWORK_W * ALWORK_H},
};

constexpr uint64_t BACKGROUND_WORD = SWAR_ONES * REVEAL_BACKGROUND;

}  // namespace

void scene03_check_resources() {
    require_resources(scene03_needs);
}

void cloud_setup(RevealRun& run) {
    constexpr double degree = std::numbers::pi / 180.0;
    matrix_rotate_xyz(run.spin, degree, degree, degree);
    carried.eye_point.x = 0.0;
    carried.eye_point.y = 0.0;
    blank_screen(scene3_palette);
    // Three separate statements: the draws must be made in x, y, z order.
    for (Vec3& p : run.points) {
        p.x = double(show_rand() % 150 - 75);
        p.y = double(show_rand() % 150 - 75);
        p.z = double(show_rand() % 150 - 75);
    }
}

void draw_reveal_discs(RevealRun& run) {
    for (Vec3& p : run.points) transform_vec(p, run.spin);
    for (const Vec3& p : run.points) {
        int32_t sx, sy;
        project_point(p, sx, sy);
        // The turned cloud stays within 130 of the origin, so the depth fits easily;
        // truncation toward zero, then the low byte (wraps past z = +42).
        const int32_t v = int32_t(214.0 + p.z);
        const int32_t a = std::abs(9 - int32_t((uint32_t(v) & 0xFF) >> 6));
        fill_disc(sx, sy, a);
    }
}

void reveal_picture() {
    const uint8_t* mask = screen_frame;
    const uint8_t* picture = resource_slot[RES_ALIEN];
    uint8_t* out = back_frame;
    for (int i = 0; i < FRAME_BYTES; i += 8) {
        const uint64_t off_background = swar_nonzero(swar_load(mask + i) ^ BACKGROUND_WORD);
        swar_store(out + i, swar_select(off_background, swar_load(picture + i), BACKGROUND_WORD));
    }
}

void soften_back() {
    uint8_t* f = back_frame;
    f[0] = f[FRAME_W - 1] = 0;
    // Right, above and below of every pixel of a row are settled before the row
    // starts (above is last row's result, right and below still the reveal's), so
    // only the left neighbour chains from one pixel to the next.
    uint16_t others[FRAME_W];
    for (int r = 1; r < FRAME_H - 1; ++r) {
        uint8_t* row = f + row_offset[r];
        const uint8_t* up = row - FRAME_W;
        const uint8_t* down = row + FRAME_W;
        row[0] = 0;
        for (int x = 1; x < FRAME_W - 1; ++x) others[x] = uint16_t(row[x + 1] + up[x] + down[x]);
        unsigned left = 0;
        int x = 1;
        while (x < FRAME_W - 1) {
            // Runs of background stay background and hand 32 on as the left value.
            if (x + 8 <= FRAME_W - 1 && swar_load(row + x) == BACKGROUND_WORD) {
                x += 8;
                left = REVEAL_BACKGROUND;
                continue;
            }
            // Selects rather than jumps: disc edges come too often to predict.
            const unsigned c = row[x];
            unsigned v = (left + others[x]) >> 2;  // at most 1020 / 4: a byte
            v = v > REVEAL_BACKGROUND ? v : REVEAL_BACKGROUND;
            v = c == REVEAL_BACKGROUND ? REVEAL_BACKGROUND : v;
            row[x] = uint8_t(v);
            left = v;
            ++x;
        }
        row[FRAME_W - 1] = 0;
    }
    uint8_t* last = f + row_offset[FRAME_H - 1];
    last[0] = last[FRAME_W - 1] = 0;
}

void cloud_frame(RevealRun& run) {
    // Running ahead, a frame never shown only turns the cloud: every frame is built
    // afresh and scene 4 starts from its own picture.
    if (timeline_frame_unseen()) {
        for (Vec3& p : run.points) transform_vec(p, run.spin);
        return;
    }
    fill_frame(screen_frame, REVEAL_BACKGROUND);
    // Only the shapes count: any non-zero byte moves the pixel off 32.
    blit_add(resource_slot[RES_APHANDL], 0, APHANDL_X, APHANDL_Y, APHANDL_W, APHANDL_H);
    blit_add(resource_slot[RES_ALWORK], 0, ALWORK_X, ALWORK_Y, ALWORK_W, ALWORK_H);
    draw_reveal_discs(run);
    reveal_picture();
    soften_back();
    present_frame(back_frame);
}

void scene_cloud_reveal() {
    scene03_check_resources();
    scene03_run = RevealRun{};
    cloud_setup(scene03_run);
    ++cue_index;
    while (cue_running()) {
        cloud_frame(scene03_run);
        pump_messages();
    }
}
