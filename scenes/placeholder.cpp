// PLACEHOLDER phases; see placeholder.h.
#include "scenes/placeholder.h"

#include "app/timeline.h"
#include "display/display.h"

void placeholder_phases(int cues, bool first_of_show) {
    for (int i = 0; i < cues; ++i) {
        if (i > 0 || !first_of_show) ++cue_index;
        clear_frame(screen_frame);
        while (cue_running()) {
            present_frame(screen_frame);
            pump_messages();
        }
    }
}
