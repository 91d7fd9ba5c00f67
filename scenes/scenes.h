// The show order: the ten scenes' entry operations in the order the driver runs
// them, the first cue each owns, and the reset of every scene's state. Each scene
// declares its own entry operation in its header; nothing in scenes/ includes this.
#pragma once

constexpr int SCENE_COUNT = 10;

// The entry operations in show order: scene_entry[0] is scene 1 (scene_opening),
// scene_entry[9] scene 10 (scene_closing).
extern void (*const scene_entry[SCENE_COUNT])();

// The first cue each scene owns, in show order.
constexpr int scene_first_cue[SCENE_COUNT] = {0, 7, 8, 9, 11, 12, 17, 18, 19, 21};

// Puts what the scenes hand on (render/carried.h: eye_point, stripe_flip, the tube
// camera, the random generator) and every scene's run back to their program-start
// values, as if no scene had run: each by assigning a fresh one. The program never
// calls it; each scene starts its own run afresh anyway.
void scenes_reset_state();
