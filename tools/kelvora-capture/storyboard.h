// The storyboard: one frame of each of the timeline's 23 phases on one picture,
// each labelled with its show time, cue and scene.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Tiles per row; 23 phases fill six rows.
constexpr int STORYBOARD_COLUMNS = 4;
constexpr int STORYBOARD_ROWS = 6;

// One tile: a frame already enlarged by the zoom (RGB bytes) and its label.
struct StoryboardTile {
    std::vector<uint8_t> rgb;
    std::string label;
};

// Size of the whole picture for this zoom: tiles of (320 zoom) x (200 zoom) with a
// margin of 8 zoom pixels around them and a label strip of 20 zoom pixels under each.
int storyboard_width(int zoom);
int storyboard_height(int zoom);
// Top-left corner of tile i's picture (row-major, four to a row).
int storyboard_tile_x(int i, int zoom);
int storyboard_tile_y(int i, int zoom);

// Draws the tiles in order on a dark background with their labels (DejaVu Sans,
// light grey, centred under each tile) and returns the picture as RGB bytes of
// storyboard_width x storyboard_height. Called once, after the run.
std::vector<uint8_t> compose_storyboard(const std::vector<StoryboardTile>& tiles, int zoom);
