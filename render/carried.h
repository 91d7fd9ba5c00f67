// What one scene leaves for the next besides the frames and the palette: the only
// state the scenes share. Every other piece of a scene's state lives in that
// scene's own run record and starts afresh with it.
#pragma once

#include <cstdint>

#include "render/vectors.h"

struct Carried {
    // The viewpoint of project_point. Scene 1 turns it about z in its curves phases;
    // scene 3 sets x and y to 0 and keeps the z scene 1 left; scene 9 sets it anew.
    Vec3 eye_point{200.0, 200.0, -200.0};
    // Which diagonal the next draw_xor_stripes uses (0 = x + y, 1 = x - y): scene 4's
    // melting warp goes on from wherever scene 1's warp burst left it.
    uint8_t stripe_flip = 0;
    // The tube ray caster's camera. Scene 5 drifts it from here, scene 7 sets it
    // anew every frame. Must stay inside the tube (|x|, |y| <= 127).
    Vec3f tube_camera{0.0f, 0.0f, 0.0f};
    // The show's random generator (render/random.h): one sequence from scene 1 to
    // scene 9, seeded from the clock by scenes 1 and 9 only.
    uint32_t random_state = 1;
};

// Program-start values until the first scene; the program never resets them
// (scenes_reset_state assigns a fresh one).
extern Carried carried;
