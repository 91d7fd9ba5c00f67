// Scene 3: picture revealed through a spinning dot cloud.
// PLACEHOLDER until the scene's pictures are built: runs its cues on a cleared frame.
#include "scenes/placeholder.h"
#include "scenes/scenes.h"

void scene_cloud_reveal() { placeholder_phases(1); }
