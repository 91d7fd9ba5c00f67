// Where the 320x200 picture goes on a full screen. The show's display modes all
// show the frame at 4:3 (the picture of 320x200 pixels is stretched to the screen's
// shape); on a screen of another shape the picture keeps 4:3 with black borders.
#pragma once

struct PictureRect {
    int x, y, w, h;
};

// The whole out_w x out_h output when it is the mode asked for (mode_w x mode_h),
// otherwise the largest 4:3 rectangle centred in it; sizes round down, so the
// borders on the two sides differ by at most one pixel. Called by the full-screen
// presenter at every present with the renderer's output size.
PictureRect picture_rect(int out_w, int out_h, int mode_w, int mode_h);
