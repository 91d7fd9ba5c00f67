// The program's icon, drawn from code: a bold warm "K" on a rounded teal tile. The
// build writes it as an SVG and as PNGs at the hicolor theme's sizes.
#pragma once

#include <cairo.h>

#include <string>

// Draws the icon into the square (0, 0)..(size, size) of cr. Below 48 pixels the
// straight edges land on whole pixels and the finer details go, so the mark stays
// sharp at 16. Called by the writers below and by the tests.
void draw_icon(cairo_t* cr, int size);

// Writes the icon as a size x size PNG with alpha; false with a one-line reason in
// *error when the file cannot be written.
bool write_icon_png(const std::string& path, int size, std::string* error);

// Writes the icon as an SVG document of size x size pixels; false with a one-line
// reason in *error when the file cannot be written.
bool write_icon_svg(const std::string& path, int size, std::string* error);
