// One loaded tracker module, rendered on demand. The library behind it is named only
// in module_openmpt.cpp; the audio device and the offline renderer use this.
#pragma once

#include <cstddef>
#include <cstdint>

struct Module;

// Reads the file at path whole and loads it. The file is opened without blocking and
// must be a regular file of at most 32 MiB, which fstat says before anything is read.
// On failure returns nullptr and sets *error to a sound_error_text code: 9 the file
// cannot be opened or read or is no regular file (a folder, a FIFO, a device), 10 it
// is not an extended module or the library does not recognise it, 11 it is cut short
// of the sizes it declares, larger than the cap, cannot be loaded or has nothing to
// play, 12 out of memory. Called by the music driver's load and by the offline renderer.
Module* module_load(const char* path, int* error);

// Renders up to frames interleaved stereo 16-bit frames at rate from the current
// position. Returns the frames written: fewer than asked (down to 0) once the song
// has ended; the rest of the buffer is left as it was. Plays the song once.
size_t module_render(Module* module, int32_t rate, int16_t* stereo, size_t frames);

// Releases the module; nullptr is ignored.
void module_free(Module* module);

// True when the library running now is at least the version the program was built
// against. Read by the driver's version check.
bool module_library_current();

// The library release the program was built against, as "major.minor.patch".
// Named by the driver's version check when the running library is older.
const char* module_library_needed();

// Seconds from the start of the song to the current render position. Read by the
// browser's music driver, which reports it to its page.
double module_position(Module* module);

// Moves the render position to this many seconds from the start of the song (the
// start of the row playing then, as the library seeks). Called by the music driver
// for a show started later than its beginning.
void module_seek(Module* module, double seconds);
