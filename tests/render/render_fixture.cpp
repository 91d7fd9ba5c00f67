// The shared set-up of the render kit tests.
#include "tests/render/render_fixture.h"

#include "platform/headless.h"
#include "render/tables.h"

void RenderTest::SetUpTestSuite() {
    static bool built = false;
    if (!built) {
        headless_install(HeadlessConfig{});
        build_lookup_tables();
        built = true;
    }
}

void RenderTest::SetUp() {
    screen_.assign(FRAME_BYTES, 0);
    back_.assign(FRAME_BYTES, 0);
    work_.assign(FRAME_BYTES, 0);
    screen_frame = screen_.data();
    back_frame = back_.data();
    work_frame = work_.data();
}

void RenderTest::TearDown() { screen_frame = back_frame = work_frame = nullptr; }
