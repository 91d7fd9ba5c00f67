// Shared helpers of the archive tests: extraction into a vector, a private log
// folder per test, reading the log back.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archive/rar_reader.h"

namespace testarc {

struct Result {
    int ok;
    std::vector<uint8_t> data;
    bool null_block;
};

inline Result extract(const std::vector<uint8_t>& archive, const char* name, const char* password = nullptr) {
    uint8_t* block = reinterpret_cast<uint8_t*>(1);
    uint32_t length = 12345;
    int ok = extract_from_memory(&block, &length, name, archive.data(), archive.size(), password);
    Result r{ok, {}, block == nullptr};
    if (block) r.data.assign(block, block + length);
    if (!ok) {
        EXPECT_EQ(length, 0u);
    }
    std::free(block);
    return r;
}

// Points the extraction log at a fresh folder of this test and rearms it.
class LogFolder {
public:
    std::filesystem::path root;
    LogFolder() {
        char tmpl[] = "/tmp/kelvora-archive-test-XXXXXX";
        root = mkdtemp(tmpl);
        setenv("XDG_STATE_HOME", root.c_str(), 1);
        rearm_extract_log();
    }
    ~LogFolder() {
        std::error_code ec;
        std::filesystem::permissions(root / "kelvora", std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(root, ec);
        rearm_extract_log();
    }
    std::filesystem::path log_path() const { return root / "kelvora" / "debug_unrar.txt"; }
    std::string text() const {
        std::ifstream f(log_path(), std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    bool has(const std::string& message) const { return text().find("- " + message + "\n") != std::string::npos; }
};

inline std::vector<uint8_t> bytes_of(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

inline std::vector<uint8_t> pattern(size_t n, uint32_t seed) {
    std::vector<uint8_t> v(n);
    uint32_t x = seed;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    return v;
}

}  // namespace testarc
