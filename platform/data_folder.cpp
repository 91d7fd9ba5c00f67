// The data folder search; see data_folder.h.
#include "platform/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

// KELVORA_DATA_FROM_BIN, set by the build from its install layout, is the installed
// data folder relative to the installed executable's folder ("../share/kelvora").

static bool holds(const std::string& folder, const char* name) {
    const std::string path = folder + "/" + name;
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}

std::vector<std::string> data_folder_candidates() {
    std::vector<std::string> folders{"."};
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return folders;
    exe[n] = '\0';
    char* slash = strrchr(exe, '/');  // the link is an absolute path
    if (!slash) return folders;
    slash[slash == exe ? 1 : 0] = '\0';  // the program's folder; "/" for "/kelvora"
    folders.emplace_back(exe);
    char installed[PATH_MAX + sizeof KELVORA_DATA_FROM_BIN + 1];
    snprintf(installed, sizeof installed, "%s/%s", exe, KELVORA_DATA_FROM_BIN);
    folders.emplace_back(installed);
    return folders;
}

std::string find_data_folder(const std::vector<std::string>& candidates) {
    for (const std::string& f : candidates)
        if (holds(f, DATA_ARCHIVE) && holds(f, DATA_MODULE)) return f;
    for (const std::string& f : candidates)
        if (holds(f, DATA_ARCHIVE)) return f;
    return "";
}

std::string enter_data_folder() {
    const std::string folder = find_data_folder(data_folder_candidates());
    if (folder.empty() || folder == ".") return folder;
    return chdir(folder.c_str()) == 0 ? folder : "";
}
