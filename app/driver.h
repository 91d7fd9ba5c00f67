// The show's spine: the fixed start-up order, the ten scenes, the normal end.
#pragma once

#include <cstdint>

// Runs the whole program on the installed platform and returns its exit code:
// 0 after the whole show, 1 when the setup dialog was not accepted. Quit requests
// and fatal errors end the process from inside and never return here.
int run_show();

// Loads every resource and builds the lookup tables: the start-up between the
// music and the display. Called once per process, by run_show.
void prepare_show();

// The ten scenes in show order, from cue 0 to the end of cue 22. Called by run_show
// once the clock has started.
void play_scenes();

// The scene play_scenes is running, 1..10 (0 before and after). Read by the capture
// tool, which labels and times frames by the scene that drew them: a scene's
// counted steps may run before it opens its first cue or after its last has ended.
extern int32_t scene_playing;
