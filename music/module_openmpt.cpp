// The tracker module on libopenmpt; see module.h.
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt_version.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "music/module.h"
#include "music/xm_layout.h"

struct Module {
    openmpt_module* mod;
};

// The largest file taken as a module. The show's own is under a megabyte; anything
// near this is not a module of ours, and is refused before a byte of it is read.
static constexpr off_t MODULE_MAX_BYTES = off_t(32) << 20;

// Reads exactly n bytes at the file's current offset; false on an error or an early end.
static bool read_exactly(int fd, unsigned char* into, size_t n) {
    while (n > 0) {
        const ssize_t got = read(fd, into, n);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        into += got;
        n -= size_t(got);
    }
    return true;
}

// The whole file in one heap block; nullptr with *error set on failure.
static unsigned char* read_whole_file(const char* path, size_t* size, int* error) {
    // Without blocking: a FIFO put in the module's place would otherwise wait in
    // open() for a writer that never comes. Only a regular file counts (a folder
    // opens too, but has no bytes to read).
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = errno == ENOMEM ? 12 : 9;
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *error = 9;
        return nullptr;
    }
    if (info.st_size > MODULE_MAX_BYTES) {
        // Too large to be a module: read no further than the signature, so that a
        // foreign file still says so.
        unsigned char head[XM_SIGNATURE_BYTES];
        const bool ours = read_exactly(fd, head, sizeof head) &&
                          check_xm_layout(head, sizeof head) != XmLayout::foreign;
        close(fd);
        *error = ours ? 11 : 10;
        return nullptr;
    }
    const size_t length = size_t(info.st_size);
    // One byte more so that an empty file still gets a block of its own.
    auto* data = static_cast<unsigned char*>(malloc(length + 1));
    if (!data) {
        close(fd);
        *error = 12;
        return nullptr;
    }
    // The size fstat gave is all that is read, whatever the file does meanwhile.
    const bool ok = read_exactly(fd, data, length);
    close(fd);
    if (!ok) {
        free(data);
        *error = 9;
        return nullptr;
    }
    *size = length;
    return data;
}

Module* module_load(const char* path, int* error) {
    size_t size = 0;
    unsigned char* data = read_whole_file(path, &size, error);
    if (!data) return nullptr;

    // The probe looks at the header only: a "no" here is a format the library does
    // not know (an empty file included); a "yes" that then fails to load, or loads
    // with nothing to play, is a damaged file of a known format.
    // The player takes a cut-off module without complaint and plays it with holes;
    // the file's own sizes say whether it is whole.
    const XmLayout layout = check_xm_layout(data, size);
    if (layout != XmLayout::complete) {
        free(data);
        *error = layout == XmLayout::foreign ? 10 : 11;
        return nullptr;
    }
    int probe_error = OPENMPT_ERROR_OK;
    const int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, data, size,
                                                size, openmpt_log_func_silent, nullptr,
                                                openmpt_error_func_store, nullptr, &probe_error,
                                                nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) {
        free(data);
        *error = probe == OPENMPT_PROBE_FILE_HEADER_RESULT_ERROR &&
                         probe_error == OPENMPT_ERROR_OUT_OF_MEMORY
                     ? 12
                     : 10;
        return nullptr;
    }

    int load_error = OPENMPT_ERROR_OK;
    openmpt_module* mod = openmpt_module_create_from_memory2(
        data, size, openmpt_log_func_silent, nullptr, openmpt_error_func_store, nullptr,
        &load_error, nullptr, nullptr);
    free(data);  // the library keeps its own copy of what it needs
    if (!mod) {
        *error = load_error == OPENMPT_ERROR_OUT_OF_MEMORY ? 12 : 11;
        return nullptr;
    }
    auto* module = static_cast<Module*>(malloc(sizeof(Module)));
    if (!module) {
        openmpt_module_destroy(mod);
        *error = 12;
        return nullptr;
    }
    module->mod = mod;
    openmpt_module_set_repeat_count(mod, 0);  // play once, then silence
    // No dither on the 16-bit output: the same module renders the same samples every
    // time, and the master volume scales exactly what was rendered.
    openmpt_module_ctl_set_integer(mod, "dither", 0);
    // The library accepts damaged files generously; one that leaves nothing to play
    // (no patterns, no orders) is a file that did not load.
    if (!(openmpt_module_get_duration_seconds(mod) > 0.0)) {
        module_free(module);
        *error = 11;
        return nullptr;
    }
    return module;
}

size_t module_render(Module* module, int32_t rate, int16_t* stereo, size_t frames) {
    return openmpt_module_read_interleaved_stereo(module->mod, rate, frames, stereo);
}

void module_free(Module* module) {
    if (!module) return;
    openmpt_module_destroy(module->mod);
    free(module);
}

bool module_library_current() {
    // Both are (major << 24) | (minor << 16) | patch, so they compare as numbers.
    return openmpt_get_library_version() >= uint32_t(OPENMPT_API_VERSION);
}

const char* module_library_needed() { return OPENMPT_API_VERSION_STRING; }

double module_position(Module* module) { return openmpt_module_get_position_seconds(module->mod); }

void module_seek(Module* module, double seconds) { openmpt_module_set_position_seconds(module->mod, seconds); }
