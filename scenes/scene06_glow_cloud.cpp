// Scene 6: the entry operation, its resource check, the word stack and the frame.
#include "scenes/scene06_glow_cloud.h"

#include <iterator>

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/frame_mix.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

GlowCloudRun scene06_run;

namespace {

// The word lines from the top of the stack down, and the row each starts on.
constexpr ResourceId word_line[WORD_LINES] = {RES_BLASM, RES_PURPLE, RES_FUDGE, RES_PRONE, RES_HYPE};
constexpr uint16_t word_row[WORD_LINES] = {73, 94, 115, 136, 157};

// The title, then the lines top down: a damaged archive is reported by the first
// short one in this order.
constexpr uint32_t LINE_BYTES = WORD_LINE_W * WORD_LINE_H;
constexpr ResourceNeed scene06_needs[] = {
    {RES_SE_CONT, TITLE_W * TITLE_H}, {word_line[0], LINE_BYTES}, {word_line[1], LINE_BYTES},
    {word_line[2], LINE_BYTES},       {word_line[3], LINE_BYTES}, {word_line[4], LINE_BYTES},
};
static_assert(std::size(scene06_needs) == 1 + WORD_LINES);

// Smudge amount of a line drawn `age` phases ago (1..4): older lines sink further
// into the background.
constexpr uint8_t smudge_by_age[WORD_LINES] = {0, 5, 10, 15, 17};

constexpr uint8_t KEY = 0;  // every picture of the scene
constexpr int LAST_CUE = 16;  // the fifth phase's

}  // namespace

void scene06_check_resources() {
    require_resources(scene06_needs);
}

void draw_word_stack(int phase) {
    for (int line = 0; line < phase; ++line)
        blit_smudge(resource_slot[word_line[line]], KEY, 0, word_row[line], WORD_LINE_W, WORD_LINE_H,
                    smudge_by_age[phase - line]);
    blit_blend(resource_slot[word_line[phase]], KEY, 0, word_row[phase], WORD_LINE_W, WORD_LINE_H);
}

void blend_with_back() { average_into(screen_frame, back_frame, FRAME_BYTES); }

void glow_cloud_frame(GlowCloudRun& run, int phase) {
    rotate_cloud(run, run.angle, run.angle, run.angle);
    ++run.angle;  // wraps modulo 256
    if (timeline_unseen_through_cue(LAST_CUE)) {
        // Running ahead past the scene: scene 7 starts from black and its own
        // background, so only the turn and the projection (a point on a divisor's
        // zero keeps its last place) go on.
        for (CloudPoint& p : run.rotated) project_cloud_point(p);
        return;
    }
    fill_frame(screen_frame, CLOUD_BACKGROUND);
    draw_cloud(run);
    // Added with wrap-around: the title's bytes are chosen so that over the
    // background they land on the palette's whites.
    blit_add(resource_slot[RES_SE_CONT], KEY, TITLE_X, TITLE_Y, TITLE_W, TITLE_H);
    draw_word_stack(phase);
    blend_with_back();
    present_frame(screen_frame);
    copy_frame(back_frame, screen_frame);  // the frame just shown, for the next blend
}

void scene_glow_cloud() {
    scene06_check_resources();
    scene06_run = GlowCloudRun{};
    blank_screen(scene6_palette);
    fill_frame(back_frame, CLOUD_BACKGROUND);
    seed_cloud(scene06_run);
    for (int phase = 0; phase < WORD_LINES; ++phase) {
        ++cue_index;
        while (cue_running()) {
            glow_cloud_frame(scene06_run, phase);
            pump_messages();
        }
    }
}
