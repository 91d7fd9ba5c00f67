// The fixture of the tests that drive the whole program on a private X server.
#pragma once

#include <gtest/gtest.h>

#include "xsession_x11.h"

// A test on its own Xvfb screen of w x h, driven with xdotool; skipped where either
// program is missing. A fixture that adds to SetUp calls this one first and returns
// when IsSkipped() or HasFatalFailure().
class XTest : public ::testing::Test {
protected:
    XTest(int w, int h) : w_(w), h_(h) {}
    void SetUp() override {
        if (!have_program("Xvfb") || !have_program("xdotool"))
            GTEST_SKIP() << "Xvfb and xdotool are needed; install xvfb and xdotool";
        ASSERT_TRUE(x.start(w_, h_)) << x.why();
    }
    XSession x;

private:
    int w_, h_;
};
