// Where the 320x200 picture goes on a screen. The show's display modes all show the
// frame at 4:3 (the picture of 320x200 pixels is stretched to the screen's shape);
// a window shows it in square pixels (16:10) unless the viewer asks for 4:3. On an
// output of another shape the picture keeps its own with black borders.
#pragma once

#include "platform/settings.h"

struct PictureRect {
    int x, y, w, h;
};

// The largest rectangle of the shape shape_w:shape_h centred in out_w x out_h;
// sizes round down, so the borders on the two sides differ by at most one pixel.
// Called by the SDL screen at every present for a window the viewer may resize.
PictureRect fit_rect(int out_w, int out_h, int shape_w, int shape_h);

// The whole out_w x out_h output when it is the mode asked for (mode_w x mode_h),
// otherwise the largest 4:3 rectangle centred in it. Called by the full-screen
// presenter at every present with the renderer's output size.
PictureRect picture_rect(int out_w, int out_h, int mode_w, int mode_h);

// The picture's shape for this aspect on a full screen or in a window: 4:3 or 16:10
// (square pixels), written to *w:*h in lowest terms.
void picture_shape(Aspect aspect, bool fullscreen, int* w, int* h);

// The window's client size at the start: zoom*320 wide, zoom*200 high in square
// pixels, zoom*240 at 4:3.
void window_size(Aspect aspect, int zoom, int* w, int* h);
