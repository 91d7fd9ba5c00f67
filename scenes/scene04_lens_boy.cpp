// Scene 4: portrait with circling lens, then melting warp.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_lens_portrait_b() { placeholder_phases(2); }
