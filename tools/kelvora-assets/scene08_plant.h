// The plant picture's index bands, shared with the warp texture that darkens it.
#pragma once

namespace art {

// Everything pale in the picture (sky, steam, haze, water) is this index or above.
constexpr int PLANT_LIGHT_FLOOR = 68;
// The most the warp texture takes. The sphere's subtraction wraps below 0 into
// 128..255, which the palette shows black; taking at most 128 keeps every wrap
// there, never back into the lit colours. The deepest grooves take well over the
// sky's floor and go black; the panels between them take a little less than the
// sky holds, so most of the tube shows the sunset as deep browns.
constexpr int TEXTURE_MOST = 96;
// The silhouettes' warm browns, above the knot's near black.
constexpr int DARK_FLOOR = 20, DARK_CEILING = 56;

}  // namespace art
