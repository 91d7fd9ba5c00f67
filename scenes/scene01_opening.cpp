// Scene 1: the entry operation, the opening picture with its palette fade, the warp
// burst, and the glowing logo with its blobs and swinging strip.
#include "scenes/scene01_opening.h"

#include "archive/resources.h"
#include "display/display.h"
#include "render/blit.h"
#include "render/blobs.h"
#include "render/random.h"
#include "render/xor_warp.h"
#include "scenes/logo_path.h"
#include "scenes/palettes.h"
#include "scenes/phase.h"
#include "scenes/timeline.h"

OpeningRun scene01_run;

namespace {

// Bytes each resource of scene 1 must hold for the reads the scene makes.
constexpr ResourceNeed scene01_needs[] = {
    {RES_PSX, FRAME_BYTES},      {RES_KELBCK, FRAME_BYTES},  {RES_KVLOGO, 320 * 36},
    {RES_OVERL, 229 * 24},       {RES_OVERL2, STRIP_W * STRIP_ROWS},
    {RES_FRM01, FRAME_BYTES},    {RES_GAIA, 120 * 30},       {RES_JAR, 133 * 26},
    {RES_GPOR, 74 * 90},         {RES_BIZK, 180 * 33},       {RES_NUDGE, 206 * 29},
    {RES_EPHOY, 146 * 23},       {RES_NPOR, 71 * 89},        {RES_TUBE_X, FRAME_BYTES},
    {RES_TUBE_Y, FRAME_BYTES},   {RES_TUNNEL, 8},            {RES_FRM1, 132 * 144},
    {RES_FRM2, 320 * 56},        {RES_FRM3, 52 * 144},       {RES_SCLPIC, SCL_W * SCL_H},
};

}  // namespace

void scene01_check_resources() {
    require_resources(scene01_needs);
}

// --- Opening picture -------------------------------------------------------------

void opening_picture_phase() {
    Palette fade{};  // all black
    // The picture goes up under the black fade palette: put up under its own
    // colours it would show in full for a refresh before the fade starts from black.
    set_palette(fade);
    copy_frame(back_frame, resource_slot[RES_PSX]);
    present_frame(back_frame);
    // Counted, not timed: every channel below its target rises one step per pass,
    // so after 63 passes the fade palette is the opening palette. Nothing is
    // presented; the palette alone brings the picture up.
    for (int pass = 0; pass < FADE_PASSES; ++pass) {
        for (int i = 0; i < 768; ++i)
            if (fade.rgb[i] < opening_palette.rgb[i]) ++fade.rgb[i];
        pump_messages();
        set_palette(fade);
    }
    while (cue_running()) pump_messages();
}

// --- Warp burst ------------------------------------------------------------------

void warp_burst_pass(uint8_t n) {
    draw_xor_stripes(n);
    set_palette(opening_palette);
    warp_frame();  // samples back_frame, which still holds the opening picture
    present_frame(screen_frame);
}

void warp_burst_phase() {
    Palette flash;
    build_flash_palette(flash);
    blank_screen(opening_palette);
    ++cue_index;
    uint8_t j = 0;  // pass in the cycle of seven; pass 0 flashes
    uint8_t n = 0;  // drawn warp frames, wraps modulo 256
    while (cue_running()) {
        pump_messages();
        if (j == 0) {
            set_palette(flash);
        } else {
            warp_burst_pass(n);
            ++n;
        }
        if (++j > 6) j = 0;
    }
}

// --- Glowing logo ----------------------------------------------------------------

void init_glow_blobs(LogoRun& run) {
    show_srand(show_ticks());
    for (GlowBlob& b : run.blobs) {
        b = GlowBlob{};
        b.pos = int16_t(show_rand() % LOGO_PATH_POINTS);
        // Overwritten on the first frame, but the draw is made.
        b.step = int16_t(show_rand() % 5 - 3);
        if (b.step == 0) b.step = -1;
    }
}

void update_glow_blobs(LogoRun& run) {
    for (GlowBlob& b : run.blobs) {
        b.pos = int16_t(b.pos + b.speed);
        if (b.pos >= LOGO_PATH_POINTS) b.pos = 0;
        else if (b.pos <= 0) b.pos = LOGO_PATH_POINTS;  // the (0, 0) entry: not drawn
        if (b.radius == b.target) {
            do b.target = int16_t(show_rand() % 30 + 10);
            while (b.target == b.radius);
            b.step = b.target > b.radius ? 1 : -1;
            b.speed = 4;
        }
        b.radius = int16_t(b.radius + b.step);
    }
}

void draw_glow_blobs(const LogoRun& run) {
    for (const GlowBlob& b : run.blobs)
        add_glow(path_x[b.pos], path_y[b.pos], uint8_t(b.radius));
}

void draw_strip(LogoRun& run) {
    run.strip_pos = uint16_t(run.strip_pos + run.strip_dir);
    if (run.strip_pos == 0 || run.strip_pos > 94) run.strip_dir = int8_t(-run.strip_dir);
    // strip_pos stays in 0..95 from its start at 48, so rows up to 294 are read.
    const uint8_t* s = resource_slot[RES_OVERL2] + uint32_t(run.strip_pos) * STRIP_W;
    for (int r = 0; r < FRAME_H; ++r, s += STRIP_W) {
        uint8_t* p = screen_frame + row_offset[r] + STRIP_X0;
        for (int c = 0; c < STRIP_W; ++c) p[c] = uint8_t((p[c] + s[c]) >> 1);
    }
}

void logo_frame(LogoRun& run) {
    copy_frame(screen_frame, resource_slot[RES_KELBCK]);
    update_glow_blobs(run);
    draw_strip(run);
    draw_glow_blobs(run);
    blit_blend(resource_slot[RES_KVLOGO], 160, 0, 94, 320, 36);
    blit_keyed(resource_slot[RES_OVERL], 160, 90, 87, 229, 24);
    present_frame(screen_frame);
}

void logo_phase(LogoRun& run) {
    blank_screen(logo_palette);
    init_glow_blobs(run);
    clear_frame(screen_frame);
    ++cue_index;
    while (cue_running()) {
        logo_frame(run);
        pump_messages();
    }
}

// --- The scene -------------------------------------------------------------------

void scene_opening() {
    scene01_check_resources();
    scene01_run = OpeningRun{};
    opening_picture_phase();
    warp_burst_phase();
    logo_phase(scene01_run.logo);
    curves_phases(scene01_run.curves);
    tunnel_phase(scene01_run.tunnel);
}
