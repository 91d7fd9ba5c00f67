// One capture: checks the inputs and outputs, runs the show on the headless
// platform with a virtual clock, and writes what the options ask for.
#pragma once

#include "options.h"

// Runs the capture the options describe and returns the process's exit code: 0 after
// the whole requested range was written, 1 after a plain message on stderr for any
// failure (partly written files are removed). The show runs once per process, so
// this is called once, by main.
int run_capture(const CaptureOptions& options);
