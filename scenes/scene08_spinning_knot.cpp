// Scene 8: spinning knot over a picture.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_spinning_knot() { placeholder_phases(1); }
