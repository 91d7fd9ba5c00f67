// Scene 6: the entry operation, its resource check, the word stack and the frame.
#include "scenes/scene06_glow_cloud.h"

#include "app/timeline.h"
#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/frame_mix.h"
#include "scenes/palettes.h"
#include "scenes/scenes.h"

namespace {

// The word lines from the top of the stack down, and the row each starts on.
constexpr ResourceId word_line[WORD_LINES] = {RES_BLASM, RES_PURPLE, RES_FUDGE, RES_PRONE, RES_HYPE};
constexpr uint16_t word_row[WORD_LINES] = {73, 94, 115, 136, 157};

// Smudge amount of a line drawn `age` phases ago (1..4): older lines sink further
// into the background.
constexpr uint8_t smudge_by_age[WORD_LINES] = {0, 5, 10, 15, 17};

constexpr uint8_t KEY = 0;  // every picture of the scene

}  // namespace

void scene06_check_resources() {
    const ResourceNeed title[] = {{RES_SE_CONT, TITLE_W * TITLE_H}};
    require_resources(title);
    for (ResourceId id : word_line) {
        const ResourceNeed line[] = {{id, WORD_LINE_W * WORD_LINE_H}};
        require_resources(line);
    }
}

void draw_word_stack(int phase) {
    for (int line = 0; line < phase; ++line)
        blit_smudge(resource_slot[word_line[line]], KEY, 0, word_row[line], WORD_LINE_W, WORD_LINE_H,
                    smudge_by_age[phase - line]);
    blit_blend(resource_slot[word_line[phase]], KEY, 0, word_row[phase], WORD_LINE_W, WORD_LINE_H);
}

void blend_with_back() { average_into(screen_frame, back_frame, FRAME_BYTES); }

void glow_cloud_frame(int phase) {
    fill_frame(screen_frame, CLOUD_BACKGROUND);
    rotate_cloud(cloud_angle, cloud_angle, cloud_angle);
    ++cloud_angle;  // wraps modulo 256
    draw_cloud();
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
    clear_frame(screen_frame);
    present_frame(screen_frame);
    set_palette(scene6_palette);
    fill_frame(screen_frame, CLOUD_BACKGROUND);
    fill_frame(back_frame, CLOUD_BACKGROUND);
    seed_cloud();
    cloud_angle = 0;
    for (int phase = 0; phase < WORD_LINES; ++phase) {
        ++cue_index;
        while (cue_running()) {
            glow_cloud_frame(phase);
            pump_messages();
        }
    }
}

void scene06_reset_state() {
    for (CloudPoint& p : cloud_points) p = CloudPoint{};
    for (CloudPoint& p : cloud_rotated) p = CloudPoint{};
    cloud_angle = 0;
}
