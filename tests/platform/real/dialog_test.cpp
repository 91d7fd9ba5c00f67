// The setup dialog driven as a user would, under a private X server: keys through
// xdotool, the close box as a window manager sends it. Also the program itself:
// Escape in its dialog ends it before any show window exists, and without a display
// it says so in one line.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "x_test.h"

namespace {

const char* const title = "Kelvora";

struct Outcome {
    ChildResult run;
    bool dialog_seen = false;
};

class SetupDialog : public XTest {
protected:
    SetupDialog() : XTest(1024, 768) {}

    // Starts the program, waits for its dialog, gives it the keyboard focus and
    // types the keys (or presses the close box when keys is empty and close is set).
    Outcome drive(const std::string& program, const std::vector<std::string>& keys, bool close_box,
                  std::vector<std::string> env = {}) {
        Outcome o;
        for (const std::string& e : x.child_env()) env.push_back(e);
        Child c;
        EXPECT_TRUE(c.start({program}, env));
        const unsigned long w = x.wait_window(title, 20000);
        o.dialog_seen = w != 0;
        if (w) {
            // Centred on the 1024x768 screen (GTK places it; there is no window manager).
            const auto [wx, wy, ww, wh] = x.window_rect(w);
            EXPECT_LE(std::abs(wx - (1024 - ww) / 2), 1);
            EXPECT_LE(std::abs(wy - (768 - wh) / 2), 1);
            x.focus(w);
            if (close_box) x.close_window(w);
            std::vector<std::string> args{"key", "--delay", "40"};
            args.insert(args.end(), keys.begin(), keys.end());
            if (!keys.empty()) {
                EXPECT_TRUE(x.xdotool(args));
            }
        }
        o.run = c.wait(20000);
        return o;
    }
};

const std::string probe = DIALOG_PROBE;

TEST_F(SetupDialog, ReturnWithoutChangesGivesTheDefaults) {
    Outcome o = drive(probe, {"Return"}, false);
    ASSERT_TRUE(o.dialog_seen);
    EXPECT_EQ(o.run.exit_code, 0) << o.run.err;
    EXPECT_NE(o.run.out.find("result=1 fullscreen=1 sound=1 mix_rate=44100 zoom=2\n"),
              std::string::npos)
        << o.run.out;
}

TEST_F(SetupDialog, ChosenValuesAreStoredAsItemValues) {
    // Tab order: OK, Cancel, Fullscreen, Sound, mixing rate, zoom. Up moves the rate
    // from 44100 to 22050, Down the zoom from 2 to 4; Return on a closed list is OK.
    Outcome o = drive(probe, {"Tab", "Tab", "Tab", "space", "Tab", "space", "Tab", "Up", "Tab",
                              "Down", "Return"},
                      false);
    ASSERT_TRUE(o.dialog_seen);
    EXPECT_EQ(o.run.exit_code, 0) << o.run.err;
    EXPECT_NE(o.run.out.find("result=1 fullscreen=0 sound=0 mix_rate=22050 zoom=4\n"),
              std::string::npos)
        << o.run.out;
}

TEST_F(SetupDialog, CancelEscapeAndCloseBoxGiveMinusOneAndStoreNothing) {
    struct Way {
        const char* name;
        std::vector<std::string> keys;
        bool close_box;
    };
    const Way ways[] = {
        {"Cancel button", {"Tab", "Tab", "space"}, false},
        {"Cancel after changes",
         {"Tab", "Tab", "Tab", "space", "Tab", "Tab", "Up", "Tab", "Tab", "Tab", "space"},
         false},
        {"Escape", {"Escape"}, false},
        {"close box", {}, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Outcome o = drive(probe, way.keys, way.close_box);
        ASSERT_TRUE(o.dialog_seen);
        EXPECT_FALSE(o.run.timed_out);
        EXPECT_EQ(o.run.exit_code, 1) << o.run.err;
        // The probe preloads -7: nothing was stored.
        EXPECT_NE(o.run.out.find("result=-1 fullscreen=0 sound=0 mix_rate=-7 zoom=-7\n"),
                  std::string::npos)
            << o.run.out;
    }
}

TEST_F(SetupDialog, LeavesTheProcessLocaleAlone) {
    // Were GTK to adopt the user's locale, the probe would report it (and a comma
    // locale would print "1,50").
    std::vector<std::string> locales{"C.UTF-8"};
    if (locale_t l = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr)) {
        freelocale(l);
        locales.push_back("de_DE.UTF-8");
    }
    for (const std::string& name : locales) {
        SCOPED_TRACE(name);
        Outcome o = drive(probe, {"Return"}, false, {"LC_ALL=" + name});
        ASSERT_TRUE(o.dialog_seen);
        EXPECT_NE(o.run.out.find("number=1.50 locale=C\n"), std::string::npos) << o.run.out;
    }
}

TEST_F(SetupDialog, EscapeInTheProgramsDialogEndsItBeforeAnyShowWindow) {
    std::vector<std::string> env = x.child_env();
    Child c;
    ASSERT_TRUE(c.start({KELVORA_PROGRAM}, env));
    const unsigned long w = x.wait_window(title, 20000);
    ASSERT_NE(w, 0ul);
    x.focus(w);
    ASSERT_TRUE(x.xdotool({"key", "Escape"}));
    // Watch for the show's window until the program has ended.
    bool show_window = false;
    for (int i = 0; i < 1000 && c.running(); ++i) show_window |= x.find_window("kelvora") != 0;
    const ChildResult r = c.wait(20000);
    EXPECT_FALSE(show_window);
    EXPECT_EQ(x.find_window("kelvora"), 0ul);
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_EQ(r.err, "");
}

}  // namespace

// Needs no X server: without a display there is no dialog, one line on stderr and
// exit code 1, for the probe and for the program.
TEST(SetupDialogWithoutDisplay, SaysSoInOneLineAndEndsWithOne) {
    const std::vector<std::string> no_display{"DISPLAY", "WAYLAND_DISPLAY", "NO_AT_BRIDGE=1",
                                              "ASAN_OPTIONS=detect_leaks=0:exitcode=86"};
    for (const std::string& program : {std::string(DIALOG_PROBE), std::string(KELVORA_PROGRAM)}) {
        SCOPED_TRACE(program);
        const ChildResult r = run_program({program}, no_display, 20000);
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_EQ(r.err, "kelvora: cannot open a display for the setup dialog\n");
    }
}
