// The portraits of scenes 2 and 4, shared between the files that draw them.
#pragma once

#include "art.h"

namespace art {

// The full-screen lens portrait (self_g for the girl, self_b for the boy), drawn on
// the scene's palette. Registered by register_portraits.
Indexed draw_self(Person who);

}  // namespace art
