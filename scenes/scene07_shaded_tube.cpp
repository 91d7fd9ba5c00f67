// Scene 7: distance-shaded tube.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_shaded_tube() { placeholder_phases(1); }
