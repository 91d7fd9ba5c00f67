// The kelvora program's command line: options that answer the setup dialog, so that
// the show can be started from a shell or a menu entry without it.
#pragma once

#include <string>

#include "platform/settings.h"

struct ShowOptions {
    // True when any of --window, --fullscreen, --zoom, --rate, --no-sound was given:
    // the setup dialog is skipped and settings holds the answer.
    bool answered = false;
    // The dialog's defaults (full screen, sound, 44100 Hz, zoom 2), changed by the
    // options given; a later option wins over an earlier one. --aspect and --start
    // set the rest, which the dialog does not ask for.
    RunSettings settings{true, true, 44100, 2};
    bool help = false;
    bool version = false;
};

// Reads argv[1..argc-1] into *options. Options that take a value accept it as the
// next argument or after '='. On an unknown option, a stray argument or a bad value
// returns false with a one-line reason (no line break) in *error. Called by main.
bool parse_show_options(int argc, const char* const* argv, ShowOptions* options, std::string* error);

// The text --help prints.
const char* show_usage();

// The line --version prints: "kelvora " and the version, with a line break.
const char* show_version();

// Stands in for the setup dialog when the options answered it: stores the settings
// of the last successful parse_show_options in *settings and returns 1 (OK).
// Installed as Platform.setup_dialog by main.
int answered_setup_dialog(RunSettings* settings);

// Adds what the dialog does not ask for (--aspect, --start) from the last
// successful parse_show_options to *settings. Called by main after the dialog's OK.
void add_unasked_options(RunSettings* settings);

// Reads a show time in seconds, "140" or "83.25" (at most three decimals, below
// 150), into milliseconds. False for anything else. Called for --start.
bool parse_start_seconds(const std::string& text, uint32_t* ms);
