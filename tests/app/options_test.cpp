// The program's command line: each option reaches the setting it names with the
// dialog's defaults for the rest, the dialog is skipped, and a bad command line is
// refused with one reason.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/driver.h"
#include "app/options.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/settings.h"

namespace {

struct Parsed {
    bool ok;
    ShowOptions o;
    std::string error;
};

Parsed parse(std::vector<const char*> args) {
    args.insert(args.begin(), "kelvora");
    Parsed p{false, {}, {}};
    p.ok = parse_show_options(int(args.size()), args.data(), &p.o, &p.error);
    return p;
}

void expect_settings(const Parsed& p, bool fullscreen, bool sound, int rate, int zoom) {
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.o.settings.fullscreen, fullscreen);
    EXPECT_EQ(p.o.settings.sound, sound);
    EXPECT_EQ(p.o.settings.mix_rate, rate);
    EXPECT_EQ(p.o.settings.zoom, zoom);
}

TEST(Options, EachOptionSetsItsChoiceAndTheRestKeepTheDialogsDefaults) {
    Parsed none = parse({});
    expect_settings(none, true, true, 44100, 2);
    EXPECT_FALSE(none.o.answered) << "no options: the dialog asks";

    expect_settings(parse({"--window"}), false, true, 44100, 2);
    expect_settings(parse({"--fullscreen"}), true, true, 44100, 2);
    expect_settings(parse({"--no-sound"}), true, false, 44100, 2);
    for (const char* z : {"1", "2", "4"}) expect_settings(parse({"--zoom", z}), true, true, 44100, z[0] - '0');
    for (int r : {11025, 22050, 44100, 48000})
        expect_settings(parse({"--rate", std::to_string(r).c_str()}), true, true, r, 2);
    expect_settings(parse({"--zoom=4", "--rate=22050", "--window", "--no-sound"}), false, false, 22050, 4);
    // The later of two contrary choices wins.
    expect_settings(parse({"--window", "--fullscreen", "--zoom", "1", "--zoom", "4"}), true, true, 44100, 4);
    for (auto args : std::vector<std::vector<const char*>>{{"--window"}, {"--zoom", "1"}, {"--rate", "48000"}, {"--no-sound"}})
        EXPECT_TRUE(parse(args).o.answered) << args[0];

    Parsed help = parse({"--help"});
    EXPECT_TRUE(help.ok && help.o.help && !help.o.answered);
    EXPECT_TRUE(parse({"--version"}).o.version);
    EXPECT_EQ(std::string(show_version()).rfind("kelvora ", 0), 0u);
}

TEST(Options, AspectAndStartAddToTheDialogWithoutAnsweringIt) {
    Parsed p = parse({"--aspect", "4:3", "--start", "97.5"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.o.answered) << "the dialog asks neither";
    EXPECT_EQ(p.o.settings.aspect, Aspect::four_three);
    EXPECT_EQ(p.o.settings.start_ms, 97500u);
    // What the dialog answers keeps both.
    RunSettings from_dialog{false, true, 22050, 4};
    add_unasked_options(&from_dialog);
    EXPECT_EQ(from_dialog.aspect, Aspect::four_three);
    EXPECT_EQ(from_dialog.start_ms, 97500u);
    EXPECT_EQ(from_dialog.zoom, 4);
    EXPECT_EQ(parse({"--aspect=square"}).o.settings.aspect, Aspect::square);
    EXPECT_EQ(parse({}).o.settings.aspect, Aspect::standard);

    const std::vector<std::pair<const char*, uint32_t>> times = {
        {"0", 0}, {"140", 140000}, {"1.5", 1500}, {"1.25", 1250}, {"0.001", 1}, {"149.999", 149999}, {"007", 7000}};
    for (const auto& [text, ms] : times) {
        uint32_t got = 12345;
        EXPECT_TRUE(parse_start_seconds(text, &got)) << text;
        EXPECT_EQ(got, ms) << text;
    }
    for (const char* bad : {"", "150", "150.0", "1.", ".5", "-1", "1.2345", "1e3", "1,5", "4000", " 1", "0x10"}) {
        uint32_t got = 12345;
        EXPECT_FALSE(parse_start_seconds(bad, &got)) << bad;
        EXPECT_EQ(got, 12345u) << bad;
    }
}

TEST(Options, ABadCommandLineGivesOneReason) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--frobnicate"}, "unknown option '--frobnicate' (see --help)"},
        {{"-w"}, "unknown option '-w' (see --help)"},
        {{"--frobnicate=3"}, "unknown option '--frobnicate=3' (see --help)"},
        {{"show.xm"}, "unexpected argument 'show.xm' (see --help)"},
        {{"--zoom"}, "--zoom needs a value"},
        {{"--zoom", "3"}, "--zoom wants 1, 2 or 4, not '3'"},
        {{"--zoom", "02"}, "--zoom wants 1, 2 or 4, not '02'"},
        {{"--zoom="}, "--zoom wants 1, 2 or 4, not ''"},
        {{"--window", "--rate", "44100x"}, "--rate wants 11025, 22050, 44100 or 48000, not '44100x'"},
        {{"--rate", "8000"}, "--rate wants 11025, 22050, 44100 or 48000, not '8000'"},
        {{"--rate"}, "--rate needs a value"},
        {{"--no-sound=yes"}, "--no-sound takes no value"},
        {{"--aspect", "16:9"}, "--aspect wants 4:3 or square, not '16:9'"},
        {{"--aspect"}, "--aspect needs a value"},
        {{"--start", "150"}, "--start wants seconds from 0 to 149.999, not '150'"},
        {{"--start=1.5s"}, "--start wants seconds from 0 to 149.999, not '1.5s'"},
    };
    for (const auto& [args, reason] : cases) {
        const Parsed p = parse(args);
        EXPECT_FALSE(p.ok) << args[0];
        EXPECT_EQ(p.error, reason);
        EXPECT_EQ(p.error.find('\n'), std::string::npos);
    }
}

// Says at the show's first pump what the display and the music were set up with.
void report_setup(void*) {
    const HeadlessScreen& s = headless_screen();
    if (s.pumps != 1) return;
    fprintf(stderr, "window=%d fullscreen=%d zoom=%d sound=%d rate=%d\n", int(s.window_open), int(s.fullscreen),
            s.zoom, int(s.settings.sound), int(s.settings.mix_rate));
}

TEST(Options, AnsweredOptionsStandInForTheDialogAndReachTheShow) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ShowOptions o;
    std::string error;
    const char* argv[] = {"kelvora", "--window", "--zoom", "4", "--no-sound", "--rate", "11025"};
    ASSERT_TRUE(parse_show_options(7, argv, &o, &error)) << error;
    HeadlessConfig c;
    c.dialog_result = -1;  // the dialog would cancel: the show starts only if it is not asked
    c.on_pump = report_setup;
    c.quit_at_pump = 1;
    headless_install(c);
    Platform p = platform;
    p.setup_dialog = answered_setup_dialog;
    platform_install(p);
    EXPECT_EXIT(run_show(), ::testing::ExitedWithCode(1), "window=1 fullscreen=0 zoom=4 sound=0 rate=11025\n");
}

}  // namespace
