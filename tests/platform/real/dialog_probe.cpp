// Runs the setup dialog in a process of its own and prints what it gave, for the
// tests that drive it like a user. Also prints how numbers format afterwards and
// the locale in force, so that a test can see GTK left the process locale alone.
#include <clocale>
#include <cstdio>

#include "platform/settings.h"
#include "app/setup_dialog.h"

int main() {
    // Values that OK must overwrite, so that a test sees which fields were stored.
    RunSettings s{false, false, -7, -7};
    const int result = show_setup_dialog(&s);
    printf("result=%d fullscreen=%d sound=%d mix_rate=%d zoom=%d\n", result, int(s.fullscreen),
           int(s.sound), int(s.mix_rate), int(s.zoom));
    const char* numeric = setlocale(LC_NUMERIC, nullptr);
    printf("number=%.2f locale=%s\n", 1.5, numeric ? numeric : "?");
    return result == 1 ? 0 : 1;
}
