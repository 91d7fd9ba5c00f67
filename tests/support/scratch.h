// What the tests that run our programs share: a scratch folder that goes with
// everything in it, the path of a program built beside the test, a file read whole.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// A fresh folder /tmp/PREFIX-XXXXXX for one test, removed with its contents (made
// writable first, for tests that take the rights away) when the object goes.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix) {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        if (path_.empty()) return;
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    // Empty when the folder could not be made; tests assert on it in SetUp.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The path of the program of this name in the folder of the running test program.
inline std::string program_beside(const std::string& name) {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    const std::string self(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return self.substr(0, self.find_last_of('/') + 1) + name;
}

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> read_file_bytes(const std::string& path) {
    std::vector<uint8_t> out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
        std::fclose(f);
    }
    return out;
}
