// run_show: setup dialog, music, resources, tables, display, then the scenes.
#include "app/driver.h"

#include "platform/settings.h"
#include "app/timeline.h"
#include "archive/resources.h"
#include "display/display.h"
#include "music/music.h"
#include "platform/platform.h"
#include "render/tables.h"
#include "scenes/scenes.h"

RunSettings run_settings;

int32_t scene_playing = 0;

void play_scenes() {
    for (int s = 0; s < SCENE_COUNT; ++s) {
        scene_playing = s + 1;
        scene_entry[s]();
    }
    scene_playing = 0;
}

void prepare_show() {
    load_catalogue();
    for (int y = 0; y < FRAME_H; ++y) row_offset[y] = y * FRAME_W;
    build_lookup_tables();
}

int run_show() {
    if (platform.setup_dialog(&run_settings) != 1) return 1;
    music_open();
    prepare_show();
    display_start(run_settings);

    // The music and the clock start together; nothing resynchronises them later.
    music_play();
    cue_index = 0;
    start_ticks = platform.sys->ticks();

    play_scenes();

    music_close();
    return 0;
}
