// The data folder search: the order of the three places, a folder with both files
// before one with the archive alone, and what does not count as a data file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/data_folder.h"

namespace {

std::string make_dir() {
    char name[] = "/tmp/kelvora-data-XXXXXX";
    if (!mkdtemp(name)) abort();
    return name;
}

void touch(const std::string& path) {
    FILE* f = fopen(path.c_str(), "w");
    if (!f) abort();
    fputs("x", f);
    fclose(f);
}

TEST(DataFolder, CurrentFolderThenTheProgramsThenTheInstalledOne) {
    const std::vector<std::string> c = data_folder_candidates();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0], ".");
    // This test program lies in the build folder.
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    const std::string path(exe, size_t(n));
    EXPECT_EQ(c[1], path.substr(0, path.rfind('/')));
    EXPECT_EQ(c[2], c[1] + "/../share/kelvora");
}

TEST(DataFolder, TheFirstHoldingBothFilesThenTheFirstHoldingTheArchive) {
    const std::string a = make_dir(), b = make_dir(), c = make_dir();
    EXPECT_EQ(find_data_folder({a, b, c}), "");
    touch(c + "/resource.rar");
    EXPECT_EQ(find_data_folder({a, b, c}), c) << "the archive alone serves a run without sound";
    touch(b + "/resource.rar");
    EXPECT_EQ(find_data_folder({a, b, c}), b);
    touch(c + "/kelvora.xm");
    EXPECT_EQ(find_data_folder({a, b, c}), c) << "a folder with both wins over one with the archive alone";
    touch(a + "/resource.rar");
    touch(a + "/kelvora.xm");
    EXPECT_EQ(find_data_folder({a, b, c}), a);
    // Not data: a folder of the name, a file that cannot be read, a dangling link.
    const std::string d = make_dir();
    ASSERT_EQ(mkdir((d + "/resource.rar").c_str(), 0700), 0);
    EXPECT_EQ(find_data_folder({d}), "");
    const std::string e = make_dir();
    touch(e + "/resource.rar");
    ASSERT_EQ(chmod((e + "/resource.rar").c_str(), 0), 0);
    if (access((e + "/resource.rar").c_str(), R_OK) != 0) {  // root reads it all the same
        EXPECT_EQ(find_data_folder({e}), "");
    }
    const std::string f = make_dir();
    ASSERT_EQ(symlink("/nonexistent/resource.rar", (f + "/resource.rar").c_str()), 0);
    EXPECT_EQ(find_data_folder({f}), "");
    for (const std::string& dir : {a, b, c, d, e, f}) {
        const std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(cmd.c_str()), 0);
    }
}

}  // namespace
