// PLACEHOLDER phases for scenes whose pictures are not built yet: they keep the
// timeline exact by following the phase rule for the cues their scene owns.
#pragma once

// Runs `cues` phases: each increments cue_index (except the show's very first,
// when first_of_show is set), then presents a cleared screen_frame per frame while
// cue_running.
void placeholder_phases(int cues, bool first_of_show = false);
