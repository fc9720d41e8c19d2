#include "platform/display/SdlDisplay.h"
#include "platform/display/Display.h"
#include "platform/display/OverlayLayer.h"
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

    // An overlay's layer shows above the screen: red where it is drawn, the screen where
    // it holds the key.
    auto layer = std::make_shared<platform::Surface>(100, 50);
    platform::FillPixels(*layer, {0, 0, 100, 50}, platform::From565(0x1002), platform::RectRegion(layer->Bounds()));
    platform::FillPixels(*layer, {0, 0, 50, 50}, 0xFFFF0000, platform::RectRegion(layer->Bounds()));
    platform::SetOverlayLayer(platform::OverlayLayer{layer, {0, 0, 100, 50}, {50, 60, 150, 110}, WORD{0x1002}});
    ASSERT_TRUE(display->ReadBack(shown));
    platform::SetOverlayLayer(std::nullopt);
    EXPECT_EQ(shown.Row(70)[60] & 0x00FFFFFF, 0x00FF0000u);
    EXPECT_EQ(shown.Row(70)[120] & 0x00FFFFFF, expected->Row(70)[120] & 0x00FFFFFF) << "the key shows the screen";
    EXPECT_EQ(shown.Row(200)[200] & 0x00FFFFFF, expected->Row(200)[200] & 0x00FFFFFF);
}

} // namespace
