// The ten scene entry operations, called by the driver in this order. Each runs its
// phases and returns when its last cue (or last counted step) has ended.
#pragma once

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
