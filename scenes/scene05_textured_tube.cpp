// Scene 5: textured tube flight.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_textured_tube() { placeholder_phases(1); }
