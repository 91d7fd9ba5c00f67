// The plant picture's index bands, shared with the warp texture that darkens it.
#pragma once

namespace art {

// Everything pale in the picture (sky, steam, haze, water) is this index or above;
// the warp texture never takes more than this, so its wrapping subtraction never
// wraps the pale picture.
constexpr int PLANT_LIGHT_FLOOR = 68;
// The silhouettes' warm browns, above the knot's near black.
constexpr int DARK_FLOOR = 20, DARK_CEILING = 56;

}  // namespace art
