// The silent music driver; see silent_music.h.
#include "platform/silent_music.h"

static float s_version() { return 3.40f; }
static bool s_init(int, int*) { return true; }
static bool s_load(const char*, int*) { return true; }
static void s_nothing() {}
static void s_set_volume(int) {}

const MusicDriver silent_music_driver = {s_version, s_init,    s_load,    s_nothing,
                                         s_set_volume, s_nothing, s_nothing, s_nothing};
