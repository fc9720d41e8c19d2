// toolkit-demo OUTDIR: a sample host window and a modal child on the headless screen,
// and every transition kind between them, written as screenshots at each transition's
// middle frame and at its end, for a person to look at.

#include "Commands.h"

#include "platform/com/Imaging.h"
#include "platform/display/Display.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/Transition.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Text(HDC dc, const wchar_t* text, RECT rect, int size, COLORREF colour, UINT format) {
    HGDIOBJ previous = SelectObject(dc, GetFont(size, FW_NORMAL, false, false, FontUpright));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &rect, format);
    SelectObject(dc, previous);
}

// A caption band in the theme's caption colours over the theme's window background.
void Caption(HDC dc, int width, const wchar_t* title) {
    TRIVERTEX band[2] = {{0, 0, 0, 0, 0, 0}, {width, 64, 0, 0, 0, 0}};
    COLORREF top = GetThemeColour(SYSCLR_CAPTION_BG2), bottom = GetThemeColour(SYSCLR_CAPTION_BG1);
    band[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    band[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    band[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    band[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    band[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    band[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc, band, 2, &rect, 1, GRADIENT_FILL_RECT_V);
    Fill(dc, RECT{0, 63, width, 64}, GetThemeColour(SYSCLR_CAPTION_OUTER_LINE));
    Text(dc, title, RECT{0, 0, width, 64}, 26, GetThemeColour(SYSCLR_CAPTION_TEXT),
         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

class DemoHost : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"DemoHostWnd"; }
    void PaintWin(HDC dc, const RECT&) override {
        Caption(dc, GetWidth(), L"Quillora 工具包");
        for (int row = 0; row < 8; ++row) {
            RECT line{0, 64 + row * 80, GetWidth(), 64 + (row + 1) * 80};
            Fill(dc, line, GetThemeColour(row % 2 ? SYSCLR_LIST_GRIDLINE1_COLOR1 : SYSCLR_LIST_GRIDLINE1_COLOR2));
            Fill(dc, RECT{0, line.bottom - 1, GetWidth(), line.bottom}, GetThemeColour(SYSCLR_LIST_GRIDLINE2_COLOR2));
            std::wstring label = L"列表项 " + std::to_wstring(row + 1) + L"  ·  list row";
            Text(dc, label.c_str(), RECT{24, line.top, GetWidth() - 24, line.bottom}, 24,
                 GetThemeColour(SYSCLR_LIST_TEXT), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        }
    }
};

class DemoModal : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"DemoModalWnd"; }
    void PaintWin(HDC dc, const RECT&) override {
        Caption(dc, GetWidth(), L"设置 · Settings");
        Fill(dc, RECT{0, 64, GetWidth(), GetHeight()}, RGB(0x2B, 0x5C, 0x8A));
        Text(dc, caption.c_str(), RECT{0, 200, GetWidth(), 320}, 40, RGB(255, 255, 255),
             DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        Text(dc, L"每种过渡：中间一帧和最后一帧", RECT{0, 340, GetWidth(), 400}, 22, RGB(0xDD, 0xE8, 0xF2),
             DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    std::wstring caption;
};

// Every toolkit image at 1:1 with its number, on the theme's background (the white
// wait frames on a dark cell, as they are drawn over a dimmed screen).
bool SaveImageSheet(const std::filesystem::path& file) {
    HDC screen = GetDC(nullptr);
    Fill(screen, RECT{0, 0, 480, 720}, GetThemeColour(SYSCLR_WINDOW_BG));
    Caption(screen, 480, L"工具包图片 · toolkit images");
    HMODULE module = GetResourceModule();
    int index = 0;
    for (UINT id : ToolkitImageIds) {
        RECT cell{(index % 4) * 120, 80 + (index / 4) * 120, (index % 4) * 120 + 120, 80 + (index / 4) * 120 + 120};
        bool light = id >= FirstWaitFrame && id < FirstWaitFrame + WaitFrameCount;
        Fill(screen, RECT{cell.left + 8, cell.top + 8, cell.right - 8, cell.bottom - 8},
             light ? RGB(0x33, 0x3A, 0x44) : RGB(0xFF, 0xFF, 0xFF));
        ToolkitImage* image = LoadImage(module, id, ImageWithBitmap | ImageWithoutDecoder);
        SIZE size = ImageSize(image);
        int x = (cell.left + cell.right - size.cx) / 2, y = cell.top + 16 + (72 - size.cy) / 2;
        DrawImage(image, screen, RECT{x, y, x + size.cx, y + size.cy}, false, false);
        Text(screen, std::to_wstring(id).c_str(), RECT{cell.left, cell.bottom - 34, cell.right, cell.bottom - 8}, 18,
             light ? RGB(0xDD, 0xDD, 0xDD) : GetThemeColour(SYSCLR_LIST_TEXT3), DT_CENTER | DT_SINGLELINE);
        ++index;
    }
    // The provider logos of \Quillora\Data, decoded as the browser and the main window do.
    IImagingFactory* factory = nullptr;
    CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                     reinterpret_cast<void**>(&factory));
    int column = 0;
    for (const wchar_t* logo : {L"youku.gif", L"tudou.gif", L"56.gif", L"6cn.gif"}) {
        auto host = platform::HostPathFromDevice(std::wstring(L"\\Quillora\\Data\\") + logo);
        std::ifstream in(host ? *host : std::filesystem::path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        IImage* image = nullptr;
        if (factory && SUCCEEDED(factory->CreateImageFromBuffer(bytes.data(), static_cast<UINT>(bytes.size()),
                                                                BufferDisposalFlagNone, &image))) {
            int x = 20 + (column % 3) * 150, y = 580 + (column / 3) * 70;
            RECT place{x, y, x + 140, y + 60};
            image->Draw(screen, &place, nullptr);
            image->Release();
        }
        ++column;
    }
    if (factory)
        factory->Release();
    ReleaseDC(nullptr, screen);
    return platform::SaveScreenshot(file);
}

} // namespace

int RunToolkitDemoCommand(const Words& words) {
    if (words.size() != 1)
        return 2;
    std::filesystem::path folder = words[0];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ::setenv("QUILLORA_TRANSITION_FRAME_MS", "0", 1);
    RECT area = CFtWnd::GetWorkArea();
    DemoHost host;
    DemoModal modal;
    if (!host.Create(area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr, WS_POPUP,
                     0) ||
        !modal.Create(area.left, area.top, area.right - area.left, area.bottom - area.top, host.GetHwnd(), nullptr,
                      WS_POPUP, 0))
        return 1;
    host.Show(true, true);
    host.Update();
    int failures = 0;
    for (int kind = 1; kind <= 15; ++kind) {
        bool show = kind % 2 == 1;
        modal.caption = L"过渡 " + std::to_wstring(kind) + (show ? L" · 出现" : L" · 离开");
        // Hiding transitions start from the modal window on the screen.
        if (!show) {
            modal.Show(true, true);
            modal.Invalidate(nullptr, false);
            modal.Update();
        }
        int frames = 0;
        SetTransitionFrameObserver([&](int, int) { ++frames; });
        AnimateWindow(modal, kind, show); // counted once
        SetTransitionFrameObserver(nullptr);
        // Put the screen back and play it again, saving the middle frame.
        if (show) {
            host.Invalidate(nullptr, false);
            host.Update();
        } else {
            modal.Invalidate(nullptr, false);
            modal.Update();
        }
        std::string stem = "transition-" + std::string(kind < 10 ? "0" : "") + std::to_string(kind);
        SetTransitionFrameObserver([&](int, int frame) {
            if (frame == (frames + 1) / 2)
                failures += !platform::SaveScreenshot(folder / (stem + "-middle.png"));
        });
        AnimateWindow(modal, kind, show);
        SetTransitionFrameObserver(nullptr);
        // The end as DoModal leaves it: the window shown and painted, or gone and the host
        // painted (the cross-fade's last frame still lets the old image through).
        if (show) {
            modal.Show(true, true);
            modal.Update();
        } else {
            modal.Show(false, false);
            host.Update();
        }
        failures += !platform::SaveScreenshot(folder / (stem + "-end.png"));
        modal.Show(false, false);
        host.Invalidate(nullptr, false);
        host.Update();
        std::printf("transition %d: %d frames, %s\n", kind, frames, show ? "showing" : "hiding");
    }
    failures += !SaveImageSheet(folder / "images.png");
    std::printf("written: %s\n", folder.string().c_str());
    return failures ? 1 : 0;
}
