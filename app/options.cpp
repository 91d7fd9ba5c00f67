// The kelvora program's command line; see options.h.
#include "app/options.h"

#include <cstring>

// KELVORA_VERSION is set by the build from the project's version.

static RunSettings answered_settings{true, true, 44100, 2};

const char* show_usage() {
    return "usage: kelvora [--window | --fullscreen] [--zoom 1|2|4] [--rate HZ] [--no-sound]\n"
           "\n"
           "Plays the Kelvora show. Without options a setup dialog asks how; any of the\n"
           "options below answers it instead, and what they leave out keeps the dialog's\n"
           "defaults: full screen, zoom 2, sound mixed at 44100 Hz.\n"
           "\n"
           "  --window       play in a window of 320x200 pixels times the zoom\n"
           "  --fullscreen   play full screen, in the display mode of the zoom\n"
           "  --zoom 1|2|4   enlargement: the window's size, or the mode 320x200, 640x480\n"
           "                 or 1280x960 (default 2)\n"
           "  --rate HZ      sound mixing rate: 11025, 22050, 44100 or 48000 (default 44100)\n"
           "  --no-sound     play in silence\n"
           "  --help         this text\n"
           "  --version      the program's version\n"
           "\n"
           "The show reads resource.rar and kelvora.xm from the current folder, the\n"
           "program's own folder, or the installed data folder (share/kelvora beside the\n"
           "program's bin folder). Release Escape or close the window to end it early.\n"
           "Exit code 0 after the whole show, 1 when it was ended early or could not run.\n";
}

const char* show_version() { return "kelvora " KELVORA_VERSION "\n"; }

int answered_setup_dialog(RunSettings* settings) {
    *settings = answered_settings;
    return 1;
}

bool parse_show_options(int argc, const char* const* argv, ShowOptions* o, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        // "--zoom=4" and "--zoom 4" alike.
        const size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const bool inline_value = eq != std::string::npos;
        const std::string value_text = inline_value ? arg.substr(eq + 1) : std::string();
        if (inline_value) arg.erase(eq);

        auto flag = [&]() {
            if (inline_value) *error = arg + " takes no value";
            return !inline_value;
        };
        auto value = [&](std::string* v) {
            if (inline_value) {
                *v = value_text;
                return true;
            }
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };

        std::string v;
        if (arg == "--window" || arg == "--fullscreen") {
            if (!flag()) return false;
            o->settings.fullscreen = arg == "--fullscreen";
            o->answered = true;
        } else if (arg == "--no-sound") {
            if (!flag()) return false;
            o->settings.sound = false;
            o->answered = true;
        } else if (arg == "--zoom") {
            if (!value(&v)) return false;
            if (v != "1" && v != "2" && v != "4") {
                *error = "--zoom wants 1, 2 or 4, not '" + v + "'";
                return false;
            }
            o->settings.zoom = v[0] - '0';
            o->answered = true;
        } else if (arg == "--rate") {
            if (!value(&v)) return false;
            static const char* const rates[] = {"11025", "22050", "44100", "48000"};
            bool known = false;
            for (const char* r : rates) known = known || v == r;
            if (!known) {
                *error = "--rate wants 11025, 22050, 44100 or 48000, not '" + v + "'";
                return false;
            }
            o->settings.mix_rate = std::stoi(v);
            o->answered = true;
        } else if (arg == "--help") {
            if (!flag()) return false;
            o->help = true;
        } else if (arg == "--version") {
            if (!flag()) return false;
            o->version = true;
        } else if (arg.rfind("-", 0) == 0) {
            *error = "unknown option '" + std::string(argv[i]) + "' (see --help)";
            return false;
        } else {
            *error = "unexpected argument '" + arg + "' (see --help)";
            return false;
        }
    }
    answered_settings = o->settings;
    return true;
}
