// Fatal error reporting: every failure the show detects ends the process here.
#pragma once

// Formats the message printf-style, echoes it as one line on stderr, shows it in a
// blocking box captioned "Core Error" and ends the process with exit code 1.
// Called by every subsystem on its own failures (allocation, archive, window).
[[noreturn]] void fatal_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Returns at once when status is 0; otherwise as fatal_error with the caption
// "Error". Called with the status codes of the full-screen set-up.
void check_fatal(int status, const char* format, ...) __attribute__((format(printf, 2, 3)));
