// Scene 2: portrait with circling lens and flaring feedback.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_lens_portrait_a() { placeholder_phases(1); }
