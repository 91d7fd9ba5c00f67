// Screenshots: the frame on screen under the palette in force, enlarged by the zoom
// in whole pixels, as a PNG file named by the show time, in the viewer's pictures
// folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels 0x00RRGGBB (row 0 on top), each a zoom x zoom block,
// as an 8-bit truecolour PNG of (width * zoom) x (height * zoom). Rows repeated by
// the zoom are stored as the PNG "Up" filter of the row above, the others with
// "Sub"; the deflate stream is one block of fixed codes holding literals and runs of
// the byte before (distance 1), which flat pictures shrink to little. The same input
// always gives the same bytes.
std::vector<uint8_t> screenshot_png(const uint32_t* pixels, int width, int height, int zoom);

// The folder screenshots go to: $XDG_PICTURES_DIR, else the XDG_PICTURES_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when unset; "$HOME" in it stands for
// the home folder), when that folder exists; else the current folder ".".
std::string screenshot_folder();

// The file name for show time ms: "kelvora-MMM.mmms.png" (seconds with three
// decimals, at least three whole digits), with "-N" before ".png" for the N-th
// further shot at the same time (N >= 2).
std::string screenshot_name(uint32_t show_ms, int repeat);

// Writes what a viewer sees now (display_snapshot, display_zoom) into the screenshot
// folder under the name for show_ms, never over an existing file, and says on stderr
// where it went or why it could not be written; the show goes on either way. Returns
// the path written, empty on failure. Called by pump_messages on the viewer's request.
std::string screenshot_write(uint32_t show_ms);
