// The extraction debug log: a text file that records every extraction and every
// problem the archive reader meets. Writing it never changes an extraction's
// outcome; when it cannot be written it stays silent.
#pragma once

#include <cstddef>

// Where this user's log lives: $XDG_STATE_HOME/kelvora/debug_unrar.txt, or
// ~/.local/state/kelvora/debug_unrar.txt when that variable is unset or not an
// absolute path. Creates missing folders with mode 0700 and refuses a "kelvora"
// folder that is a symlink, not ours, or open to others. Writes the path into out
// and returns true, or returns false when no safe place exists. Called by
// start_extract_log.
bool extract_log_path(char* out, size_t capacity);

// Takes the start tick, remembers the path and creates (or empties) the file with
// mode 0600, never through a symlink, then writes the header. When that fails,
// logging stays off. Called by start_extract_log.
void open_extract_log(const char* path);

// Starts the log of a run: in memory when it is kept there (no folder is looked up
// or made), else in the file at extract_log_path, else not at all. Called by the
// reader before its first extraction (again after a rearm).
void start_extract_log();

// Appends one record: milliseconds since the start tick (unsigned 32-bit, so a
// wrap of the tick counter is harmless), the source file and line of the logging
// call, and the message. Opens and closes the file each time; a record that cannot
// be written is dropped. Does nothing while logging is off.
void log_line(const char* message, const char* source_file, unsigned line);

// printf-style front end of log_line; source_file may be a full path (only its
// last component is written).
void log_linef(const char* source_file, unsigned line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Turns logging off until the next open_extract_log.
void close_extract_log();

// With on, sends the log to memory instead of a file: open_extract_log touches no
// disk, and records are formatted as always, then appended to an internal 64 KiB
// buffer that starts over when a record would not fit. Off goes back to the file at
// the next open_extract_log. Called once by the fuzzer, so that a run costs no
// system calls.
void keep_extract_log_in_memory(bool on);

// The in-memory log since it last started over (empty unless kept in memory).
const char* extract_log_memory();

// Logs from the reader's sources: the record carries this file and line.
#define READER_LOG(...) log_linef(__FILE__, __LINE__, __VA_ARGS__)
