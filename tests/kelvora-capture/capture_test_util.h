// Helpers of the capture tests: scratch folders, running the tool, reading files,
// and a PNG reader independent of the tool's writer.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "scratch.h"

inline int remove_entry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

// Scratch folders made by this test program; removed with everything in them when
// it exits.
inline std::vector<std::string>& scratch_dirs() {
    static std::vector<std::string> dirs;
    return dirs;
}

inline void remove_scratch_dirs() {
    for (const std::string& d : scratch_dirs()) nftw(d.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

// A fresh empty folder under the system's temporary folder.
inline std::string scratch_dir() {
    char pattern[] = "/tmp/kelvora-capture-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) return "";
    if (scratch_dirs().empty()) atexit(remove_scratch_dirs);
    scratch_dirs().push_back(dir);
    return dir;
}

inline std::string build_dir() {
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

inline bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline std::string read_text(const std::string& path) {
    const std::vector<uint8_t> b = read_file_bytes(path);
    return std::string(b.begin(), b.end());
}

inline void write_text(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

// Sorted names in a folder, without . and ..
inline std::vector<std::string> list_dir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A folder the tool can run the show from: the build's kelvora.xm and resource.rar.
inline std::string data_dir() {
    static std::string dir;
    if (!dir.empty()) return dir;
    dir = scratch_dir() + "/data";
    mkdir(dir.c_str(), 0777);
    const std::string build = build_dir();
    if (symlink((build + "/kelvora.xm").c_str(), (dir + "/kelvora.xm").c_str()) != 0) abort();
    if (symlink((build + "/resource.rar").c_str(), (dir + "/resource.rar").c_str()) != 0) abort();
    return dir;
}

struct ToolResult {
    int code = -1;
    std::string out, err;
};

// Runs program with args in folder cwd, stdout and stderr to files; PATH replaced
// when path is given.
inline ToolResult run_program(const std::string& program, const std::vector<std::string>& args,
                              const std::string& cwd, const char* path = nullptr) {
    const std::string logs = scratch_dir();
    const std::string out = logs + "/out", err = logs + "/err";
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0) _exit(126);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(o, 1);
        dup2(e, 2);
        if (path) setenv("PATH", path, 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ToolResult r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_text(out);
    r.err = read_text(err);
    return r;
}

inline ToolResult run_capture_tool(const std::vector<std::string>& args, const std::string& cwd,
                                   const char* path = nullptr) {
    return run_program(KELVORA_CAPTURE, args, cwd, path);
}

// A decoded 8-bit RGB PNG and its tEXt chunks; ok is false for anything else or any
// damage (bad CRC, bad deflate stream, wrong size).
struct Png {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    std::map<std::string, std::string> text;
};

inline uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

inline Png decode_png(const std::vector<uint8_t>& file) {
    Png png;
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || memcmp(file.data(), sig, 8) != 0) return png;
    std::vector<uint8_t> idat;
    size_t at = 8;
    bool ended = false;
    while (at + 12 <= file.size() && !ended) {
        const uint32_t len = be32(&file[at]);
        if (len > file.size() - at - 12) return png;
        const std::string type(file.begin() + long(at) + 4, file.begin() + long(at) + 8);
        const uint8_t* data = &file[at + 8];
        if (crc32(0, &file[at + 4], len + 4) != be32(data + len)) return png;
        if (type == "IHDR") {
            if (len != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) return png;
            png.width = int(be32(data));
            png.height = int(be32(data + 4));
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + len);
        } else if (type == "tEXt") {
            const uint8_t* nul = static_cast<const uint8_t*>(memchr(data, 0, len));
            if (!nul) return png;
            png.text[std::string(data, nul)] = std::string(nul + 1, data + len);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + len;
    }
    if (!ended || png.width <= 0 || png.height <= 0) return png;
    const size_t stride = size_t(png.width) * 3;
    std::vector<uint8_t> raw((stride + 1) * size_t(png.height));
    uLongf raw_size = uLongf(raw.size());
    if (uncompress(raw.data(), &raw_size, idat.data(), uLong(idat.size())) != Z_OK || raw_size != raw.size())
        return png;
    png.rgb.resize(stride * size_t(png.height));
    for (int y = 0; y < png.height; ++y) {
        const uint8_t filter = raw[size_t(y) * (stride + 1)];
        const uint8_t* in = &raw[size_t(y) * (stride + 1) + 1];
        uint8_t* row = &png.rgb[size_t(y) * stride];
        const uint8_t* up = y > 0 ? row - stride : nullptr;
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = up ? up[i] : 0, c = (up && i >= 3) ? up[i - 3] : 0;
            int pred = 0;
            switch (filter) {
                case 0: pred = 0; break;
                case 1: pred = a; break;
                case 2: pred = b; break;
                case 3: pred = (a + b) / 2; break;
                case 4: {
                    const int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
                    pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default: return png;
            }
            row[i] = uint8_t(in[i] + pred);
        }
    }
    png.ok = true;
    return png;
}
