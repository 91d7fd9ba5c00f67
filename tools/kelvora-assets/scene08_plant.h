// The plant picture's index bands, shared with the warp texture that darkens it.
#pragma once

namespace art {

// Everything pale in the picture (sky, steam, haze, water) is this index or above.
constexpr int PLANT_LIGHT_FLOOR = 68;
// The most the warp texture takes. The sphere's subtraction wraps below 0 into
// 128..255, which the palette shows black; taking at most 128 keeps every wrap
// there, never back into the lit colours. Taking well over the sky's floor leaves
// most of the picture black under the texture's plates, with only the glow round
// the sun showing through them.
constexpr int TEXTURE_MOST = 88;
// The silhouettes' warm browns, above the knot's near black.
constexpr int DARK_FLOOR = 20, DARK_CEILING = 56;

}  // namespace art
