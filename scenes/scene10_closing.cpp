// Scene 10: closing picture with sliding sprites, dot trails and fade-out.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_closing() { placeholder_phases(2); }
