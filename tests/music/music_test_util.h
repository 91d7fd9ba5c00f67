// Helpers shared by the music tests: a scratch folder and whole-file writes.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A fresh empty folder under the system's temporary folder.
inline std::string make_scratch_dir() {
    char pattern[] = "/tmp/kelvora-music-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

inline bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

#include "arrange.h"

// The soundtrack composed from the repository's score, once per test program.
inline const std::vector<uint8_t>& composed_module(std::vector<tune::SectionTiming>* timing = nullptr) {
    static std::vector<uint8_t> bytes;
    static std::vector<tune::SectionTiming> sections;
    static bool done = false;
    if (!done) {
        std::string error;
        if (!tune::compose_file(KELVORA_SCORE, &bytes, &sections, &error)) {
            fprintf(stderr, "compose failed: %s\n", error.c_str());
            abort();
        }
        done = true;
    }
    if (timing) *timing = sections;
    return bytes;
}

// A folder holding the composed module as kelvora.xm; its path.
inline const std::string& module_dir() {
    static std::string dir;
    if (dir.empty()) {
        dir = make_scratch_dir();
        if (dir.empty() || !write_file(dir + "/kelvora.xm", composed_module())) abort();
    }
    return dir;
}
