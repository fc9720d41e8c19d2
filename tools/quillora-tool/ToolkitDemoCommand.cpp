// toolkit-demo OUTDIR: a sample host window and a modal child on the headless screen,
// and every transition kind between them, written as screenshots at each transition's
// middle frame and at its end, for a person to look at.

#include "Commands.h"
#include "ControlsDemo.h"
#include "DialogsDemo.h"

#include "art/ProgramArt.h"
#include "platform/com/Imaging.h"
#include "platform/device/Module.h"
#include "platform/display/Display.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/ResourceBitmap.h"
#include "platform/gdi/TextApi.h"
#include "toolkit/ControlLook.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"
#include "toolkit/Transition.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

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

// One picture of a sheet: an image of a module, or the loupe's 1-bit mask.
struct SheetItem {
    HMODULE module;
    UINT id;
    COLORREF cell = RGB(0xFF, 0xFF, 0xFF); // what the image is drawn over where it is used
    bool mask = false;
};

SIZE ItemSize(const SheetItem& item) {
    if (!item.mask)
        return ImageSize(LoadImage(item.module, item.id, ImageWithBitmap | ImageWithoutDecoder));
    BITMAP bitmap{};
    HBITMAP mask = LoadBitmapW(item.module, MAKEINTRESOURCEW(item.id));
    GetObjectW(mask, sizeof bitmap, &bitmap);
    DeleteObject(mask);
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

// The mask as the loupe uses it: a blue disc where its bits are clear, the cell kept where
// they are set.
void DrawMask(HDC screen, const SheetItem& item, int x, int y, SIZE size) {
    HBITMAP mask = LoadBitmapW(item.module, MAKEINTRESOURCEW(item.id));
    HDC source = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ previous = SelectObject(source, colour);
    Fill(source, RECT{0, 0, size.cx, size.cy}, RGB(0x00, 0x73, 0xD7));
    MaskBlt(screen, x, y, size.cx, size.cy, source, 0, 0, mask, 0, 0, 0xCCAA0029);
    SelectObject(source, previous);
    DeleteObject(colour);
    DeleteDC(source);
    DeleteObject(mask);
}

void DrawItem(HDC screen, const SheetItem& item, int x, int y, SIZE size) {
    if (item.mask)
        DrawMask(screen, item, x, y, size);
    else
        DrawImage(LoadImage(item.module, item.id, ImageWithBitmap | ImageWithoutDecoder), screen,
                  RECT{x, y, x + size.cx, y + size.cy}, false, false);
}

// The items at 1:1 with their numbers, laid out in rows on the theme's background; a page
// that is full is written as <stem>-<n>.png and the next begins. False when a page could not
// be written or an item is missing (drawn as an empty cell).
// `tail`, when given, draws `tailHeight` rows of its own below the items on the last page.
bool SaveSheets(const std::filesystem::path& folder, const std::string& stem, const wchar_t* title,
                const std::vector<SheetItem>& items, int tailHeight = 0,
                const std::function<void(HDC, int)>& tail = nullptr) {
    HDC screen = GetDC(nullptr);
    bool saved = true;
    int page = 0, x = 0, y = 72, rowHeight = 0;
    auto begin = [&] {
        Fill(screen, RECT{0, 0, 480, 720}, GetThemeColour(SYSCLR_WINDOW_BG));
        Caption(screen, 480, title);
        x = 0, y = 72, rowHeight = 0;
    };
    auto finish = [&] {
        saved = platform::SaveScreenshot(folder / (stem + "-" + std::to_string(++page) + ".png")) && saved;
    };
    begin();
    for (const SheetItem& item : items) {
        SIZE size = ItemSize(item);
        saved = saved && size.cx > 0;
        int width = std::clamp<int>(size.cx + 16, 76, 480), height = size.cy + 40;
        if (x + width > 480)
            x = 0, y += rowHeight, rowHeight = 0;
        if (y + height > 720) {
            finish();
            begin();
        }
        Fill(screen, RECT{x + 4, y + 4, x + width - 4, y + height - 4}, item.cell);
        DrawItem(screen, item, x + (width - size.cx) / 2, y + 8, size);
        Text(screen, std::to_wstring(item.id).c_str(), RECT{x, y + height - 30, x + width, y + height - 6}, 16,
             GetRValue(item.cell) < 0x80 ? RGB(0xDD, 0xDD, 0xDD) : GetThemeColour(SYSCLR_LIST_TEXT3),
             DT_CENTER | DT_SINGLELINE);
        x += width;
        rowHeight = std::max(rowHeight, height);
    }
    if (tail) {
        if (y + rowHeight + tailHeight > 720) {
            finish();
            begin();
        }
        tail(screen, y + rowHeight + 8);
    }
    finish();
    ReleaseDC(nullptr, screen);
    return saved;
}

// The provider logos of \Quillora\Data, decoded as the browser and the main window do.
void DrawLogos(HDC screen, int top) {
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
            int x = 20 + (column % 3) * 150, y = top + (column / 3) * 70;
            RECT place{x, y, x + 140, y + 60};
            image->Draw(screen, &place, nullptr);
            image->Release();
        }
        ++column;
    }
    if (factory)
        factory->Release();
}

bool SaveImageSheets(const std::filesystem::path& folder) {
    std::vector<SheetItem> toolkit;
    HMODULE module = GetResourceModule();
    // The wait frames and the progress bar are drawn over the dimmed screen, the selection
    // overlay over the selected row's band.
    for (UINT id : ToolkitImageIds) {
        bool dimmed = (id >= FirstWaitFrame && id < FirstWaitFrame + WaitFrameCount) || id == ProgressTrackImage ||
                      id == ProgressFillImage;
        COLORREF cell = dimmed ? RGB(0x33, 0x3A, 0x44) : RGB(0xFF, 0xFF, 0xFF);
        toolkit.push_back({module, id, id == SelectionOverlayImage ? RGB(0x7A, 0xCE, 0xFA) : cell});
    }
    toolkit.push_back({module, LoupeMaskBitmap, RGB(0xFF, 0xFF, 0xFF), true});
    bool saved = SaveSheets(folder, "toolkit-images", L"工具包图片 · toolkit images", toolkit);
    RegisterProgramArt();
    std::vector<SheetItem> program;
    // The tool-bar icons are light, for the dark tool bar.
    for (UINT id = FirstProgramImage; id <= LastProgramImage; ++id) {
        bool toolBar = id != 1005 && id != 1006 && id != 1007 && id != 1010;
        program.push_back({GetModuleHandleW(nullptr), id, toolBar ? ToolBarColour : RGB(0xFF, 0xFF, 0xFF)});
    }
    return SaveSheets(folder, "program-images", L"程序图片 · program images", program, 140, DrawLogos) && saved;
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
    failures += !SaveImageSheets(folder);
    failures += !SaveControlsScreens(folder);
    failures += !SaveDialogScreens(folder);
    std::printf("written: %s\n", folder.string().c_str());
    return failures ? 1 : 0;
}
