// The catalogue table and the loader: names and order, loading every entry from the
// built archive, the fatal paths for a missing archive, a missing entry and a
// corrupt entry, and the size check the scenes make before their first phase
// (death tests on the headless platform).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/resources.h"
#include "platform/headless.h"

namespace fs = std::filesystem;

namespace {

// The names as the one list gives them, with the index each enum entry stands for.
struct Listed {
    ResourceId id;
    const char* name;
};
const Listed listed[] = {
#define RESOURCE(id, name) {RES_##id, #name ".dat"},
#include "archive/resource_list.h"
#undef RESOURCE
};

TEST(Catalogue, NamesInLoadOrder) {
    ASSERT_EQ(RESOURCE_COUNT, 45);
    ASSERT_EQ(std::size(listed), size_t(RESOURCE_COUNT));
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        EXPECT_EQ(listed[i].id, i) << listed[i].name;
        EXPECT_STREQ(resource_catalogue[i], listed[i].name) << i;
    }
    EXPECT_STREQ(resource_catalogue[0], "bizk.dat");
    EXPECT_STREQ(resource_catalogue[RES_PSX], "psx.dat");
    EXPECT_STREQ(resource_catalogue[RES_TUBE_Y], "tube_y.dat");
}

TEST(Catalogue, FieldsAreZeroPaddedShortLowerCaseNames) {
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        const char* f = resource_catalogue[i];
        size_t n = strnlen(f, RESOURCE_NAME_BYTES);
        EXPECT_LE(n, 11u) << f;
        EXPECT_EQ(std::string(f + n - 4), ".dat");
        for (size_t k = 0; k < n; ++k) {
            EXPECT_FALSE(isupper(static_cast<unsigned char>(f[k]))) << f;
            EXPECT_NE(f[k], '/') << f;
        }
        for (size_t k = n; k < RESOURCE_NAME_BYTES; ++k) EXPECT_EQ(f[k], '\0') << f;
    }
}

// A scratch folder that the death test's child process makes its current directory.
struct ScratchDir {
    fs::path path;
    explicit ScratchDir(const char* tag) {
        path = fs::temp_directory_path() / (std::string("kelvora_res_") + tag + "_" + std::to_string(getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchDir() { fs::remove_all(path); }
};

void load_in(const fs::path& dir) {
    fs::current_path(dir);
    headless_install(HeadlessConfig{});
    load_catalogue();
    fprintf(stderr, "loaded\n");
    exit(0);
}

TEST(LoaderDeathTest, MissingArchiveNamesTheFirstEntry) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir("none");
    EXPECT_EXIT(load_in(dir.path), testing::ExitedWithCode(1), "error loading resource 'bizk.dat'");
}


// The archive the build made (build folder = the tests' working directory).
std::vector<char> built_archive() {
    std::ifstream in("resource.rar", std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void write_file(const fs::path& p, const std::vector<char>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(LoaderDeathTest, BuiltArchiveLoadsEveryEntry) {
    std::vector<char> rar = built_archive();
    if (rar.empty()) GTEST_SKIP() << "resource.rar has not been built";
    ScratchDir dir("all");
    write_file(dir.path / "resource.rar", rar);
    EXPECT_EXIT(load_in(dir.path), testing::ExitedWithCode(0), "loaded");
}

TEST(LoaderDeathTest, MissingEntryIsFatal) {
    std::vector<char> rar = built_archive();
    if (rar.empty()) GTEST_SKIP() << "resource.rar has not been built";
    // Rename the last entry in its header; whether the reader then sees a foreign
    // entry or a damaged header, "tube_y.dat" is not to be had.
    const std::string name = "tube_y.dat";
    auto at = std::find_end(rar.begin(), rar.end(), name.begin(), name.end());
    ASSERT_NE(at, rar.end());
    at[5] = 'z';
    ScratchDir dir("missing");
    write_file(dir.path / "resource.rar", rar);
    EXPECT_EXIT(load_in(dir.path), testing::ExitedWithCode(1), "error loading resource 'tube_y.dat'");
}

TEST(LoaderDeathTest, CorruptOrTruncatedEntryIsFatal) {
    std::vector<char> rar = built_archive();
    if (rar.empty()) GTEST_SKIP() << "resource.rar has not been built";
    ScratchDir dir("corrupt");
    std::vector<char> flipped = rar;
    flipped[flipped.size() - 40] ^= 0x5A;  // inside the last entry's packed data
    write_file(dir.path / "resource.rar", flipped);
    EXPECT_EXIT(load_in(dir.path), testing::ExitedWithCode(1), "error loading resource 'tube_y.dat'");

    std::vector<char> cut(rar.begin(), rar.end() - 100);
    write_file(dir.path / "resource.rar", cut);
    EXPECT_EXIT(load_in(dir.path), testing::ExitedWithCode(1), "error loading resource 'tube_y.dat'");
}

// A scene's needs against the loaded lengths: the slots are pointed at blocks made
// here, and the first need that a slot cannot meet, in the table's order, is named.
TEST(RequireResourcesDeathTest, TheFirstUnmetNeedInTableOrderIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    headless_install(HeadlessConfig{});
    uint8_t* const saved_slot[3] = {resource_slot[RES_K1], resource_slot[RES_K2], resource_slot[RES_GAIA]};
    const uint32_t saved_length[3] = {resource_length[RES_K1], resource_length[RES_K2], resource_length[RES_GAIA]};
    std::vector<uint8_t> k1(100), k2(50), gaia(10);
    auto point = [](ResourceId id, std::vector<uint8_t>& block) {
        resource_slot[id] = block.data();
        resource_length[id] = uint32_t(block.size());
    };
    point(RES_K1, k1);
    point(RES_K2, k2);
    point(RES_GAIA, gaia);

    // Exactly the bytes a scene reads pass, and so does a need of none.
    const ResourceNeed exact[] = {{RES_K1, 100}, {RES_K2, 50}, {RES_GAIA, 0}};
    require_resources(exact);
    // One byte short.
    const ResourceNeed one_more[] = {{RES_K1, 100}, {RES_K2, 51}};
    EXPECT_EXIT(require_resources(one_more), testing::ExitedWithCode(1), "error loading resource 'k2.dat'");
    // Both short: the earlier row is named, whatever the catalogue order.
    const ResourceNeed both_short[] = {{RES_K2, 51}, {RES_K1, 101}};
    EXPECT_EXIT(require_resources(both_short), testing::ExitedWithCode(1), "error loading resource 'k2.dat'");
    // A slot never loaded fails even for a need of no bytes.
    resource_slot[RES_GAIA] = nullptr;
    resource_length[RES_GAIA] = 0;
    const ResourceNeed empty_slot[] = {{RES_K1, 1}, {RES_GAIA, 0}};
    EXPECT_EXIT(require_resources(empty_slot), testing::ExitedWithCode(1), "error loading resource 'gaia.dat'");

    const ResourceId ids[3] = {RES_K1, RES_K2, RES_GAIA};
    for (int i = 0; i < 3; ++i) {
        resource_slot[ids[i]] = saved_slot[i];
        resource_length[ids[i]] = saved_length[i];
    }
}

}  // namespace
