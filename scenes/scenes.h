// The ten scene entry operations, called by the driver in this order. Each runs its
// phases and returns when its last cue (or last counted step) has ended.
#pragma once

struct Palette;

constexpr int SCENE_COUNT = 10;

void scene_opening();          // scene 1: cues 0..6, ends at 34200 ms
void scene_lens_portrait_a();  // scene 2: cue 7, ends at 41620 ms
void scene_cloud_reveal();     // scene 3: cue 8, ends at 53000 ms
void scene_lens_portrait_b();  // scene 4: cues 9, 10, end at 62650 ms
void scene_textured_tube();    // scene 5: cue 11, ends at 71990 ms
void scene_glow_cloud();       // scene 6: cues 12..16, end at 81530 ms
void scene_shaded_tube();      // scene 7: cue 17, ends at 97500 ms
void scene_spinning_knot();    // scene 8: cue 18, ends at 111000 ms
void scene_warped_picture();   // scene 9: cues 19, 20, end at 144000 ms
void scene_closing();          // scene 10: cues 21, 22, end at 150000 ms

// The entry operations in show order: scene_entry[0] is scene 1.
extern void (*const scene_entry[SCENE_COUNT])();

// Presents a cleared screen_frame, then sets palette: the old picture is never
// shown in the new colours. Called by each scene phase that brings its own palette,
// before its first frame.
void blank_screen(const Palette& palette);

// The first cue each scene owns, in show order.
constexpr int scene_first_cue[SCENE_COUNT] = {0, 7, 8, 9, 11, 12, 17, 18, 19, 21};

// Puts every scene's globals (and the state they share: eye_point, stripe_flip,
// the random generator) back to their program-start values, as if no scene had run.
// The program never calls it; tests and tools that run scenes more than once in
// one process do.
void scenes_reset_state();
