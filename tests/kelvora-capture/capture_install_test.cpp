// kelvora-capture away from its source: started in a folder without data it uses
// the data beside itself, data in the current folder come first, and an install
// under a fresh prefix runs from anywhere on the data it installed.
#include <gtest/gtest.h>

#include "capture_test_util.h"

namespace {

TEST(CaptureData, FromAnyFolderTheDataBesideTheProgramServe) {
    const std::string dir = scratch_dir();
    const ToolResult r = run_capture_tool({"--fps", "10", "--zoom", "1", "--at", "500"}, dir);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(list_dir(dir), std::vector<std::string>{"frame-500.png"});
}

TEST(CaptureData, DataInTheCurrentFolderComeFirst) {
    const std::string dir = scratch_dir();
    write_text(dir + "/resource.rar", "this is not an archive");
    if (symlink((build_dir() + "/kelvora.xm").c_str(), (dir + "/kelvora.xm").c_str()) != 0) abort();
    const ToolResult r = run_capture_tool({"--fps", "10", "--at", "500"}, dir);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("error loading resource"), std::string::npos) << r.err;
}

TEST(CaptureData, AnInstallUnderAFreshPrefixRunsFromOutsideTheBuild) {
    const std::string prefix = scratch_dir() + "/usr";
    const ToolResult install =
        run_program(CMAKE_PROGRAM, {"--install", build_dir(), "--prefix", prefix}, scratch_dir());
    ASSERT_EQ(install.code, 0) << install.out << install.err;
    for (const char* f : {"/bin/kelvora", "/bin/kelvora-capture", "/share/kelvora/resource.rar",
                          "/share/kelvora/kelvora.xm", "/share/applications/kelvora.desktop",
                          "/share/icons/hicolor/scalable/apps/kelvora.svg", "/share/icons/hicolor/16x16/apps/kelvora.png"})
        EXPECT_TRUE(exists(prefix + f)) << f;
    EXPECT_EQ(read_file_bytes(prefix + "/share/kelvora/resource.rar"), read_file_bytes(build_dir() + "/resource.rar"));
    const std::string desktop = read_text(prefix + "/share/applications/kelvora.desktop");
    EXPECT_NE(desktop.find("\nExec=kelvora\n"), std::string::npos) << desktop;
    EXPECT_NE(desktop.find("\nIcon=kelvora\n"), std::string::npos) << desktop;

    const ToolResult r = run_program(prefix + "/bin/kelvora-capture", {"--fps", "20", "--to", "1000", "--bench"},
                                     scratch_dir());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("scene 1: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("show: "), std::string::npos) << r.out;
}

}  // namespace
