// The kelvora program's command line; see options.h.
#include "app/options.h"

#include <cstring>

// KELVORA_VERSION is set by the build from the project's version.

static RunSettings answered_settings{true, true, 44100, 2};

const char* show_usage() {
    return "usage: kelvora [--window | --fullscreen] [--zoom 1|2|4] [--rate HZ] [--no-sound]\n"
           "               [--aspect 4:3|square] [--start SECONDS]\n"
           "\n"
           "Plays the Kelvora show. Without options a setup dialog asks how; any of the\n"
           "first five options below answers it instead, and what they leave out keeps the\n"
           "dialog's defaults: full screen, zoom 2, sound mixed at 44100 Hz.\n"
           "\n"
           "  --window          play in a window of 320x200 pixels times the zoom; drag its\n"
           "                    edge to resize it\n"
           "  --fullscreen      play full screen, in the display mode of the zoom\n"
           "  --zoom 1|2|4      enlargement: the window's starting size, or the mode\n"
           "                    320x200, 640x480 or 1280x960 (default 2)\n"
           "  --rate HZ         sound mixing rate: 11025, 22050, 44100 or 48000 (default\n"
           "                    44100)\n"
           "  --no-sound        play in silence\n"
           "  --aspect 4:3      show the picture at 4:3, as on the displays it was made for,\n"
           "                    in a window too (its starting size is then 320x240 times\n"
           "                    the zoom)\n"
           "  --aspect square   show whole square pixels (16:10), full screen too\n"
           "                    (default: square in a window, 4:3 full screen)\n"
           "  --start SECONDS   play from that moment of the show (0 to 149.999, decimals\n"
           "                    allowed): the show runs every earlier frame unseen, then\n"
           "                    starts the music there\n"
           "  --help            this text\n"
           "  --version         the program's version\n"
           "\n"
           "Keys while the show plays:\n"
           "  Alt+Enter, F11    switch between the window and full screen\n"
           "  Space             pause and resume the show and its music\n"
           "  F12               screenshot: the picture on screen as a PNG file named by\n"
           "                    the show time, in the pictures folder (XDG_PICTURES_DIR)\n"
           "                    or, where there is none, the current folder\n"
           "  Escape            end the show (on release)\n"
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

void add_unasked_options(RunSettings* settings) {
    settings->aspect = answered_settings.aspect;
    settings->start_ms = answered_settings.start_ms;
}

bool parse_start_seconds(const std::string& text, uint32_t* ms) {
    // Whole seconds of one to three digits, then at most three decimals.
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 3 || fraction.size() > 3) return false;
    if (dot != std::string::npos && fraction.empty()) return false;
    for (char c : whole + fraction)
        if (c < '0' || c > '9') return false;
    uint32_t value = uint32_t(std::stoul(whole)) * 1000u;
    uint32_t scale = 100;
    for (char c : fraction) {
        value += uint32_t(c - '0') * scale;
        scale /= 10;
    }
    if (value >= 150000u) return false;
    *ms = value;
    return true;
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
        } else if (arg == "--aspect") {
            if (!value(&v)) return false;
            if (v != "4:3" && v != "square") {
                *error = "--aspect wants 4:3 or square, not '" + v + "'";
                return false;
            }
            o->settings.aspect = v == "4:3" ? Aspect::four_three : Aspect::square;
        } else if (arg == "--start") {
            if (!value(&v)) return false;
            if (!parse_start_seconds(v, &o->settings.start_ms)) {
                *error = "--start wants seconds from 0 to 149.999, not '" + v + "'";
                return false;
            }
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
