// Scene 6: rotating glow cloud with word stack.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_glow_cloud() { placeholder_phases(5); }
