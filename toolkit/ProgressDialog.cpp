#include "toolkit/ProgressDialog.h"

#include "toolkit/GdiGuards.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

#include "platform/base/Time.h"
#include "platform/device/Process.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/DeviceState.h"
#include "platform/window/WindowApi.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <memory>

namespace {

constexpr int WaitPolls = 50; // of 1 ms, for the window to appear or to go
constexpr int DescriptorReleasePolls = 5000;
constexpr int TextMargin = 20;
constexpr int FillCap = 10;  // the fill's left end, always drawn
constexpr int FillTail = 35; // the least of the fill's right end that is drawn
constexpr int WideAbove = 480;
constexpr LANGID English = 0x0409;

// Dialog threads started that have not yet deleted their dialog.
std::atomic<int> g_dialogThreads{0};

// The stop button's caption when the descriptor gives none (the button is disabled then).
const wchar_t* DefaultStopCaption() { return GetUserDefaultUILanguage() == English ? L"Stop" : L"停止"; }

// How far the fill reaches beyond its tail, G: the share of (position − lower) in
// (upper − lower) of (width − cap − tail). −1 when the position lies outside its bounds.
int FillReach(std::int64_t position, std::int64_t lower, std::int64_t upper, int width) {
    if (upper <= lower || position < lower || position > upper)
        return -1;
    int most = std::max(width - FillCap - FillTail, 0);
    // In floating point: the difference of two 64-bit values may not fit in one.
    double share = (static_cast<double>(position) - static_cast<double>(lower)) /
                   (static_cast<double>(upper) - static_cast<double>(lower));
    return std::clamp(static_cast<int>(share * most), 0, most);
}

} // namespace

ProgressDialog::ProgressDialog(ProgressDescriptor& descriptor)
    : m_descriptor(descriptor), m_showTitleLine(descriptor.showTitleLine), m_showSecondLine(descriptor.showSecondLine),
      m_titleLine(descriptor.titleLine), m_secondLine(descriptor.secondLine), m_stopCaption(descriptor.stopCaption),
      m_windowTitle(descriptor.windowTitle), m_stopBarHeight(std::max(descriptor.stopBarHeight, 0)),
      m_minimumHeight(descriptor.minimumHeight), m_busyTimerOff(descriptor.busyTimerOff),
      m_busyTimerPeriod(descriptor.busyTimerPeriod), m_stopTarget(descriptor.stopTarget),
      m_stopMessage(descriptor.stopMessage), m_owner(descriptor.owner) {}

ProgressDialog::~ProgressDialog() {
    // The window goes before the stop bar its control tree points at.
    Destroy();
}

int ProgressDialog::ChooseHeight() {
    int height = m_stopBarHeight + LineHeight;
    if (m_showTitleLine)
        height += LineHeight;
    if (m_showSecondLine)
        height += LineHeight;
    height = std::max(height, m_minimumHeight);
    SIPINFO panel{};
    panel.cbSize = sizeof(panel);
    if (SipGetInfo(&panel) && (panel.fdwFlags & SIPF_ON)) {
        height = std::max(height, static_cast<int>(GetWorkArea().bottom - panel.rcSipRect.top));
        m_descriptor.inputPanelWasOn = 1;
    }
    return height;
}

DWORD ProgressDialog::RunThread(LPVOID parameter) {
    std::unique_ptr<ProgressDialog> dialog(static_cast<ProgressDialog*>(parameter));
    ProgressDescriptor& descriptor = dialog->m_descriptor;
    int height = dialog->ChooseHeight();
    RECT work = GetWorkArea();
    POINT corner{work.left, work.bottom - height};
    // A close that came before the window existed found nothing to close: it is kept here.
    if (dialog->Create(corner.x, corner.y, work.right - work.left, height, dialog->m_owner, nullptr, WS_POPUP, 0) &&
        !descriptor.closeRequested.load())
        dialog->DoModal();
    // Whoever closed the dialog may drop the descriptor as soon as the window is gone:
    // the descriptor is let go of first.
    descriptor.dialog.store(nullptr);
    dialog->Destroy();
    dialog.reset();
    --g_dialogThreads;
    return 0;
}

BOOL ProgressDialog::OnInitDialog() {
    CFtHostWnd::OnInitDialog();
    int width = GetWidth(), height = GetHeight();
    // FIXME: the tool bar has one look; wider than 480 pixels it is only stretched.
    m_stopBar.SetID(StopBarId);
    m_stopBar.SetPos(0, height - m_stopBarHeight, width, m_stopBarHeight);
    bool hasCaption = !m_stopCaption.empty();
    m_stopBar.SetButtonText(0, hasCaption ? m_stopCaption.c_str() : DefaultStopCaption());
    m_stopBar.SetButtonEnabled(0, hasCaption);
    GetWinManager().AddChild(&m_stopBar);
    HMODULE module = GetResourceModule();
    m_track = LoadImage(module, ProgressTrackImage, ImageWithBitmap);
    m_fill = LoadImage(module, ProgressFillImage, ImageWithBitmap);
    m_font = GetFont(25, 400, false, false, FontUpright);
    SetText(m_windowTitle.c_str());
    if (!m_busyTimerOff)
        StartBusyTimer(m_busyTimerPeriod);
    return TRUE;
}

void ProgressDialog::StartBusyTimer(UINT period) { SetTimer(m_hWnd, BusyTimer, period, nullptr); }
void ProgressDialog::StopBusyTimer() { KillTimer(m_hWnd, BusyTimer); }

LRESULT ProgressDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CloseMessage:
        StopBusyTimer();
        EndModal(0);
        return 0;
    case BusyTimerMessage:
        if (wParam)
            StopBusyTimer();
        else
            StartBusyTimer(static_cast<UINT>(lParam));
        return 0;
    default: return CFtHostWnd::WindowProc(message, wParam, lParam);
    }
}

void ProgressDialog::OnTimer(UINT_PTR timerId) {
    if (timerId == BusyTimer)
        SystemIdleTimerReset();
}

void ProgressDialog::OnFtCommand(WPARAM wParam, LPARAM lParam) {
    // lParam is the tool bar's column: the stop button is the first.
    if (LOWORD(wParam) != StopBarId || lParam != 0)
        return;
    if (m_stopTarget)
        PostMessageW(m_stopTarget, m_stopMessage, 0, 0);
    m_descriptor.stopPending = false;
}

void ProgressDialog::PrepareBackground(int width, int panelHeight) {
    m_background.Take(m_hWnd, width, panelHeight);
    if (HDC buffer = m_background.GetDC())
        DrawPanel(buffer, RECT{0, 0, width, panelHeight}, width > WideAbove ? PanelStyle::Wide : PanelStyle::Sheet);
}

void ProgressDialog::PaintWin(HDC dc, const RECT& rect) {
    int width = GetWidth();
    int panelHeight = std::max(GetHeight() - m_stopBarHeight, 0);
    if (!m_background.IsTaken())
        PrepareBackground(width, panelHeight);
    RECT panel{0, 0, width, panelHeight}, dirty{};
    if (IntersectRect(&dirty, &panel, &rect)) {
        m_background.Draw(dc, dirty);
        NarrowedClip clip(dc, dirty);
        SelectedObject font(dc, m_font);
        SetTextColor(dc, GetThemeColour(SYSCLR_TOOLBAR_TEXT));
        SetBkMode(dc, TRANSPARENT);
        int hidden = (m_showTitleLine ? 0 : 1) + (m_showSecondLine ? 0 : 1);
        // The block (title, bar, second line) is centred above the stop bar.
        int top = (panelHeight - 3 * LineHeight + LineHeight * hidden) / 2;
        if (m_showTitleLine) {
            RECT band{TextMargin, top, width - TextMargin, top + LineHeight};
            DrawTextW(dc, m_titleLine.c_str(), -1, &band, DT_CENTER | DT_BOTTOM | DT_END_ELLIPSIS);
            top += LineHeight;
        }
        DrawProgress(dc, top, width);
        if (m_showSecondLine) {
            top += LineHeight;
            RECT band{TextMargin, top, width - TextMargin, top + LineHeight};
            DrawTextW(dc, m_secondLine.c_str(), -1, &band, DT_CENTER | DT_END_ELLIPSIS);
        }
    }
    CFtHostWnd::PaintWin(dc, rect);
}

void ProgressDialog::DrawProgress(HDC dc, int bandTop, int width) const {
    SIZE track = ImageSize(m_track);
    if (track.cx <= 0 || track.cy <= 0)
        return;
    int left = (width - track.cx) / 2, top = bandTop + (LineHeight - track.cy) / 2;
    DrawImage(m_track, dc, RECT{left, top, left + track.cx, top + track.cy}, false, false);
    int reach = FillReach(m_descriptor.position.load(), m_descriptor.lowerBound.load(), m_descriptor.upperBound.load(),
                          track.cx);
    SIZE fill = ImageSize(m_fill);
    if (reach < 0 || fill.cx <= 0)
        return;
    // The left cap, then as much of the image's right end as the position reaches: the
    // image drawn so that its right edge ends the fill, clipped to the part after the cap.
    DrawImage(m_fill, dc, RECT{left, top, left + FillCap, top + fill.cy}, false, false);
    int partLeft = left + FillCap, partRight = partLeft + reach + FillTail;
    NarrowedClip part(dc, RECT{partLeft, top, partRight, top + fill.cy});
    DrawImage(m_fill, dc, RECT{partRight - fill.cx, top, partRight, top + fill.cy}, false, false);
}

HWND FindProgressDialogWindow() { return FindWindowW(L"ProgressDialog", nullptr); }

void ShowProgressDialogWindow(ProgressDescriptor& descriptor, HWND owner) {
    descriptor.owner = owner;
    descriptor.closeRequested = false;
    // One dialog per descriptor: a second show for the same job would stack a second bar.
    if (descriptor.dialog.load())
        return;
    auto dialog = std::make_unique<ProgressDialog>(descriptor);
    descriptor.dialog.store(dialog.get());
    ++g_dialogThreads;
    HANDLE thread = CreateThread(nullptr, 0, &ProgressDialog::RunThread, dialog.get(), 0, nullptr);
    if (!thread) {
        --g_dialogThreads;
        descriptor.dialog.store(nullptr);
        return;
    }
    dialog.release(); // the thread owns it now
    CloseHandle(thread);
    for (int poll = 0; poll < WaitPolls && !FindProgressDialogWindow(); ++poll)
        Sleep(1);
}

void CloseProgressDialogWindow(ProgressDescriptor& descriptor) {
    descriptor.closeRequested = true;
    for (int poll = 0; poll < WaitPolls; ++poll) {
        HWND window = FindProgressDialogWindow();
        if (!window)
            break;
        SendMessageW(window, ProgressDialog::CloseMessage, 0, 0);
        Sleep(1);
    }
    // The caller may drop the descriptor once this returns: its dialog's thread, which
    // reads it, is waited for (it ends at once now that the close is requested).
    for (int poll = 0; poll < DescriptorReleasePolls && descriptor.dialog.load(); ++poll)
        Sleep(1);
    descriptor.inputPanelWasOn = 0;
}

int RunningProgressDialogs() { return g_dialogThreads.load(); }

void RefreshProgressDialogWindow() {
    if (HWND window = FindProgressDialogWindow())
        InvalidateRect(window, nullptr, FALSE);
}
