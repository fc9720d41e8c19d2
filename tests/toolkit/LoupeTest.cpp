// The touch loupe on the overlay layer: what the composed screen shows (the screen round
// the finger inside the round mask, the frame, the screen unchanged elsewhere), the
// loupe cut at the screen's edge, the driver's reports (no overlay, minimum stretch,
// alignments, lost surfaces), and the text box's press-and-hold opening it.

#include "platform/display/Display.h"
#include "platform/display/OverlayLayer.h"
#include "platform/overlay/DirectDraw.h"
#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"
#include "support/TemporaryRoot.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/OverlaySurface.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/TouchLoupe.h"
#include "toolkit/UiEdit.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using platform::From565;
using platform::To565;

// A window with one text box near the top.
class BoxWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"LoupeTestWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        edit = std::make_unique<UiEdit>();
        edit->SetID(2030);
        GetWinManager().AddChild(edit.get());
        edit->SetPos(10, 3, 400, 60);
        return TRUE;
    }
    std::unique_ptr<UiEdit> edit;
};

// A screen colour that names its place: 5 bits of x, 6 of y and 5 of both, exact at 16
// bits, so that the overlay's pixels compare with the screen's.
WORD PatternAt(int x, int y) {
    return static_cast<WORD>((x % 32) << 11 | (y % 64) << 5 | ((x / 32 + 7 * (y / 64)) % 32));
}

class LoupeTest : public ::testing::Test {
protected:
    LoupeTest() {
        platform::SetOverlayDriver({});
        EXPECT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        ShowWindow(window.GetHwnd(), SW_SHOW);
        Pump();
        PaintPattern();
    }
    ~LoupeTest() override {
        loupe.Close();
        platform::SetOverlayDriver({});
    }

    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    static void PaintPattern() {
        std::shared_ptr<platform::Surface> screen = platform::ScreenSurface();
        std::lock_guard guard(screen->Lock());
        for (int y = 0; y < screen->Height(); ++y)
            for (int x = 0; x < screen->Width(); ++x)
                screen->Row(y)[x] = From565(PatternAt(x, y));
    }
    // The composed screen's pixel, at 16 bits.
    WORD Seen(int x, int y) {
        if (!composed)
            composed = platform::ComposedScreen();
        return To565(composed->Row(y)[x]);
    }
    void Look() { composed = platform::ComposedScreen(); }

    TemporaryRoot root;
    BoxWindow window;
    TouchLoupe loupe;
    std::shared_ptr<platform::Surface> composed;
};

TEST_F(LoupeTest, TheLoupeShowsTheScreenRoundTheFingerInsideItsCircleAndLeavesTheRestAlone) {
    // Lower half: the content comes from half the loupe's height above the finger.
    loupe.Open(*window.edit, POINT{240, 500});
    ASSERT_TRUE(loupe.IsShowing());
    Look();
    RECT rect = loupe.LoupeRect();
    EXPECT_EQ(rect.left, 240 - 89);
    EXPECT_EQ(rect.top, 500 - 179);
    int shift = 179 - 179 / 2; // the loupe's top lies that much above its content's
    for (POINT inside : {POINT{0, 0}, POINT{-40, 30}, POINT{50, -50}, POINT{60, 20}})
        EXPECT_EQ(Seen(rect.left + 89 + inside.x, rect.top + 89 + inside.y),
                  PatternAt(rect.left + 89 + inside.x, rect.top + 89 + inside.y + shift))
            << inside.x << "," << inside.y;
    // The corners are outside the circle: the screen shows through.
    for (POINT corner : {POINT{rect.left + 2, rect.top + 2}, POINT{rect.right - 3, rect.bottom - 3}})
        EXPECT_EQ(Seen(corner.x, corner.y), PatternAt(corner.x, corner.y));
    EXPECT_EQ(Seen(5, 5), PatternAt(5, 5));
    EXPECT_EQ(Seen(400, 700), PatternAt(400, 700));
    // The frame's white ring, 81 pixels from the centre.
    EXPECT_EQ(Seen(rect.left + 89 + 81, rect.top + 89), 0xFFFF);

    // Upper half: from two thirds of the height above the finger.
    loupe.MoveTo(240, 300);
    Look();
    rect = loupe.LoupeRect();
    shift = 179 - 179 * 2 / 3;
    EXPECT_EQ(Seen(rect.left + 89, rect.top + 89), PatternAt(rect.left + 89, rect.top + 89 + shift));
    EXPECT_EQ(Seen(rect.left + 119, rect.top + 59), PatternAt(rect.left + 119, rect.top + 59 + shift));

    loupe.Close();
    EXPECT_FALSE(platform::CurrentOverlayLayer());
    Look();
    EXPECT_EQ(Seen(240, 250), PatternAt(240, 250));
}

TEST_F(LoupeTest, AtTheEdgesTheLoupeIsCutAndItsContentStaysOnTheFinger) {
    loupe.Open(*window.edit, POINT{10, 500});
    Look();
    RECT rect = loupe.LoupeRect();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 10 - 89 + 179);
    int shift = 179 - 179 / 2;
    // The circle's centre is over the finger's column, 79 pixels inside the cut.
    for (int x : {0, 5, 10, 40})
        EXPECT_EQ(Seen(x, 500 - 90), PatternAt(x, 500 - 90 + shift)) << x;
    // Near the top: cut at y = 0, the content still from above the finger.
    loupe.MoveTo(240, 100);
    Look();
    rect = loupe.LoupeRect();
    EXPECT_EQ(rect.top, 0);
    shift = 179 - 179 * 2 / 3;
    EXPECT_EQ(Seen(240, 100 - 90), PatternAt(240, 100 - 90 + shift));
}

TEST_F(LoupeTest, ASurfaceLostOnTheFlipIsRestoredAndTheLoupeDrawnAgain) {
    loupe.Open(*window.edit, POINT{240, 500});
    platform::LoseOverlaySurfaces();
    loupe.MoveTo(200, 600);
    Look();
    RECT rect = loupe.LoupeRect();
    int shift = 179 - 179 / 2;
    EXPECT_EQ(Seen(rect.left + 89, rect.top + 89), PatternAt(rect.left + 89, rect.top + 89 + shift));
    EXPECT_EQ(Seen(5, 5), PatternAt(5, 5)) << "the restored overlay is the key again outside the loupe";
    // Both buffers came back empty: the next picture, in the other one, is whole too.
    loupe.MoveTo(300, 600);
    Look();
    EXPECT_EQ(Seen(5, 5), PatternAt(5, 5));
    EXPECT_EQ(Seen(200 - 89 + 5, 600 - 179 + 5), PatternAt(200 - 89 + 5, 600 - 179 + 5)) << "the last place is clear";
}

// Each buffer is cleared of the picture it held two moves before.
TEST_F(LoupeTest, EveryPlaceTheLoupeLeftShowsTheScreenAgain) {
    loupe.Open(*window.edit, POINT{100, 450});
    loupe.MoveTo(380, 450);
    loupe.MoveTo(240, 650);
    Look();
    for (POINT left : {POINT{100, 450 - 90}, POINT{380, 450 - 90}})
        EXPECT_EQ(Seen(left.x, left.y), PatternAt(left.x, left.y)) << left.x;
    EXPECT_EQ(Seen(240, 650 - 90), PatternAt(240, 650 - 90 + 90)) << "the loupe is where the finger is";
}

// Surfaces lost while the overlay is made, or as it is moved into place: no part of the
// screen stays black, now or after the next moves.
TEST_F(LoupeTest, ALossWhileOpeningLeavesNothingBlack) {
    for (int passing : {0, 1, 3}) {
        SCOPED_TRACE(passing);
        platform::LoseOverlaySurfaces(passing);
        loupe.Open(*window.edit, POINT{240, 500});
        for (POINT finger : {POINT{240, 500}, POINT{120, 560}, POINT{360, 600}}) {
            if (finger.x != 240)
                loupe.MoveTo(finger.x, finger.y);
            Look();
            EXPECT_EQ(Seen(5, 5), PatternAt(5, 5));
            EXPECT_EQ(Seen(470, 700), PatternAt(470, 700));
            EXPECT_EQ(Seen(finger.x, finger.y - 90), PatternAt(finger.x, finger.y)) << finger.x;
        }
        loupe.Close();
        platform::LoseOverlaySurfaces(-1);
    }
}

TEST_F(LoupeTest, HidingTheBoxUnderTheFingerClosesTheLoupe) {
    platform::InjectTouch(platform::TouchPhase::Down, POINT{100, 30});
    Pump();
    SendMessageW(window.GetHwnd(), WM_TIMER, FtHoldTimer, 0);
    ASSERT_TRUE(platform::CurrentOverlayLayer());
    window.edit->SetVisible(false);
    EXPECT_FALSE(platform::CurrentOverlayLayer());
    platform::InjectTouch(platform::TouchPhase::Up, POINT{100, 30});
    Pump();
}

TEST_F(LoupeTest, WithoutOverlaysNoLoupeAppearsAndTheBoxStillTakesAHoldAndText) {
    platform::SetOverlayDriver({.overlays = false});
    platform::InjectTouch(platform::TouchPhase::Down, POINT{100, 30});
    Pump();
    SendMessageW(window.GetHwnd(), WM_TIMER, FtHoldTimer, 0);
    EXPECT_FALSE(platform::CurrentOverlayLayer());
    platform::InjectTouch(platform::TouchPhase::Up, POINT{100, 30});
    Pump();
    window.edit->SetFocus(true);
    platform::InjectCharacter(L'a');
    Pump();
    EXPECT_EQ(std::wstring(window.edit->GetText()), L"a");
}

TEST_F(LoupeTest, AHoldOnTheBoxOpensTheSharedLoupeUntilTheFingerLifts) {
    platform::InjectTouch(platform::TouchPhase::Down, POINT{100, 30});
    Pump();
    EXPECT_FALSE(platform::CurrentOverlayLayer());
    SendMessageW(window.GetHwnd(), WM_TIMER, FtHoldTimer, 0);
    ASSERT_TRUE(platform::CurrentOverlayLayer());
    EXPECT_TRUE(TouchLoupe::Shared().IsShowing());
    platform::InjectTouch(platform::TouchPhase::Move, POINT{140, 40});
    Pump();
    EXPECT_EQ(TouchLoupe::Shared().LoupeRect().left, 140 - 89);
    platform::InjectTouch(platform::TouchPhase::Up, POINT{140, 40});
    Pump();
    EXPECT_FALSE(platform::CurrentOverlayLayer());
    EXPECT_FALSE(TouchLoupe::Shared().IsShowing());
}

// The driver's sizes: the source widened to its alignment, the destination scaled by the
// minimum stretch (never below 1000) and widened to its own alignment.
TEST_F(LoupeTest, TheOverlayFollowsTheDriversAlignmentAndStretch) {
    struct Case {
        platform::OverlayDriver driver;
        int width;
        RECT destination;
    };
    const Case cases[] = {
        {{.minStretch = 500}, 480, {0, 0, 480, 720}},
        {{.minStretch = 1500}, 480, {0, 0, 720, 1080}},
        {{.alignSizeSource = 64}, 512, {0, 0, 512, 720}},
        {{.alignSizeDestination = 100, .minStretch = 1001}, 480, {0, 0, 500, 720}},
        {{.minStretch = 1001}, 480, {0, 0, 481, 720}}, // the width rounds up, the height down
    };
    for (const Case& c : cases) {
        platform::SetOverlayDriver(c.driver);
        OverlaySurface overlay;
        ASSERT_TRUE(overlay.Create(nullptr, 0, 0, 480, 720, TouchLoupe::KeyColour, 15, 0, true, 4));
        EXPECT_EQ(overlay.Width(), c.width);
        RECT destination = overlay.Destination();
        EXPECT_EQ(destination.right, c.destination.right) << c.driver.minStretch;
        EXPECT_EQ(destination.bottom, c.destination.bottom) << c.driver.minStretch;
    }
    platform::SetOverlayDriver({});
    OverlaySurface yuv;
    EXPECT_FALSE(yuv.Create(nullptr, 0, 0, 480, 720, TouchLoupe::KeyColour, 15, 0, true, 0)) << "no YV12 here";
    EXPECT_FALSE(yuv.IsCreated());
}

// The stand-in refuses what a driver refuses: a destination shrunk below the minimum
// stretch, sizes off the alignment, and any use of a lost surface until it is restored.
TEST(DirectDrawStandIn, RectanglesAreCheckedAndALostSurfaceStaysLostUntilRestored) {
    platform::SetOverlayDriver({.alignSizeSource = 8, .minStretch = 1000});
    IDirectDraw* directDraw = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    DDSURFACEDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_BACKBUFFERCOUNT;
    description.ddsCaps.dwCaps = DDSCAPS_OVERLAY | DDSCAPS_FLIP;
    description.dwWidth = 64;
    description.dwHeight = 32;
    description.dwBackBufferCount = 1;
    description.ddpfPixelFormat = OverlaySurface::PixelFormats[4];
    IDirectDrawSurface* overlay = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&description, &overlay, nullptr), DD_OK);
    RECT source{0, 0, 64, 32}, smaller{0, 0, 60, 30}, odd{0, 0, 63, 32}, fitting{0, 0, 64, 32};
    EXPECT_EQ(overlay->UpdateOverlay(&source, nullptr, &smaller, DDOVER_SHOW, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(overlay->UpdateOverlay(&odd, nullptr, &fitting, DDOVER_SHOW, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(overlay->UpdateOverlay(&source, nullptr, &fitting, DDOVER_SHOW, nullptr), DD_OK);
    ASSERT_TRUE(platform::CurrentOverlayLayer());

    platform::LoseOverlaySurfaces();
    EXPECT_EQ(overlay->Flip(nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(overlay->IsLost(), DDERR_SURFACELOST);
    HDC dc = nullptr;
    EXPECT_EQ(overlay->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(overlay->SetOverlayPosition(5, 5), DDERR_SURFACELOST);
    EXPECT_EQ(overlay->Restore(), DD_OK);
    EXPECT_EQ(overlay->Flip(nullptr, 0), DD_OK);
    EXPECT_EQ(overlay->GetDC(&dc), DD_OK);
    EXPECT_EQ(overlay->Flip(nullptr, 0), DDERR_DCALREADYCREATED) << "not while it is drawn on";
    EXPECT_EQ(overlay->ReleaseDC(dc), DD_OK);

    overlay->Release();
    EXPECT_FALSE(platform::CurrentOverlayLayer()) << "gone with its overlay";
    directDraw->Release();
    platform::SetOverlayDriver({});
}

} // namespace
