// Scene 1: opening picture, warp burst, glowing logo, curves and tunnel.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_opening() { placeholder_phases(7, true); }
