// Scene 9: warped picture with glowing curves.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_warped_picture() { placeholder_phases(2); }
