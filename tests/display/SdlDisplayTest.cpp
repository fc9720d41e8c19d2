#include "platform/display/SdlDisplay.h"
#include "platform/display/Display.h"
#include "platform/display/PaintApi.h"
#include "platform/display/TestCard.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(SdlDisplay, ShowsThePixelsOfTheScreen) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no desktop (the test command runs this one under xvfb-run)";
    HDC screen = GetDC(nullptr);
    DrawTestCard(screen);
    ReleaseDC(nullptr, screen);
    auto display = platform::SdlDisplay::Open(1);
    ASSERT_NE(display, nullptr);
    platform::Surface shown(480, 720);
    ASSERT_TRUE(display->ReadBack(shown));
    std::shared_ptr<platform::Surface> expected = platform::ScreenSurface();
    int different = 0;
    for (int y = 0; y < 720; ++y) {
        for (int x = 0; x < 480; ++x)
            different += (shown.Row(y)[x] & 0x00FFFFFF) != (expected->Row(y)[x] & 0x00FFFFFF);
    }
    EXPECT_EQ(different, 0);
    platform::SavePng(shown, shown.Bounds(), std::filesystem::path(::testing::TempDir()) / "sdl-test-card.png");
}

} // namespace
