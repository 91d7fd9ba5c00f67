// kelvora-icon: writes the program's icon into a folder laid out like the hicolor
// theme: scalable/apps/NAME.svg and SIZExSIZE/apps/NAME.png for each size asked.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "icon.h"

namespace {

const char* const usage =
    "usage: kelvora-icon --out DIR [--name NAME] [SIZE...]\n"
    "\n"
    "Draws the Kelvora icon into DIR in the hicolor theme's layout:\n"
    "DIR/scalable/apps/NAME.svg and DIR/SIZExSIZE/apps/NAME.png for each SIZE\n"
    "(8..1024 pixels; default 16 22 24 32 48 64 128 256). NAME defaults to kelvora.\n";

// Creates every missing folder along path; false with the reason in *error.
bool make_dirs(const std::string& path, std::string* error) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            *error = "cannot create " + part + ": " + strerror(errno);
            return false;
        }
    }
    return true;
}

bool parse_size(const char* text, int* size) {
    if (!*text || strlen(text) > 4) return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    *size = atoi(text);
    return *size >= 8 && *size <= 1024;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out, name = "kelvora";
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            fputs(usage, stdout);
            return 0;
        }
        if (arg == "--out" || arg == "--name") {
            if (i + 1 >= argc || !*argv[i + 1]) {
                fprintf(stderr, "kelvora-icon: %s needs a value\n", arg.c_str());
                return 1;
            }
            (arg == "--out" ? out : name) = argv[++i];
            continue;
        }
        int size = 0;
        if (!parse_size(argv[i], &size)) {
            fprintf(stderr, "kelvora-icon: '%s' is not an option or a size from 8 to 1024 (see --help)\n", argv[i]);
            return 1;
        }
        sizes.push_back(size);
    }
    if (out.empty()) {
        fputs("kelvora-icon: --out DIR is required (see --help)\n", stderr);
        return 1;
    }
    if (name.find('/') != std::string::npos) {
        fprintf(stderr, "kelvora-icon: the icon name '%s' may not hold a '/'\n", name.c_str());
        return 1;
    }
    if (sizes.empty()) sizes = {16, 22, 24, 32, 48, 64, 128, 256};

    std::string error;
    const std::string svg_dir = out + "/scalable/apps";
    // The scalable icon is drawn at the largest size's level of detail.
    if (!make_dirs(svg_dir, &error) || !write_icon_svg(svg_dir + "/" + name + ".svg", 256, &error)) {
        fprintf(stderr, "kelvora-icon: %s\n", error.c_str());
        return 1;
    }
    for (int size : sizes) {
        const std::string dir = out + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!make_dirs(dir, &error) || !write_icon_png(dir + "/" + name + ".png", size, &error)) {
            fprintf(stderr, "kelvora-icon: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
