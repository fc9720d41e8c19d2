#include "toolkit/FtWnd.h"

#include "platform/base/DebugOutput.h"
#include "platform/gdi/GdiApi.h"
#include "toolkit/InputFilter.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitMessages.h"
#include "toolkit/Transition.h"

#include <atomic>
#include <map>
#include <mutex>

namespace {

struct WindowRegistry {
    std::mutex lock;
    std::map<HWND, CFtWnd*> windows;
};

// Never destroyed: dialog threads are never joined and may still look a window up at exit.
WindowRegistry& TheRegistry() {
    static WindowRegistry& registry = *new WindowRegistry;
    return registry;
}

// The last mouse position any toolkit window saw.
struct MousePosition {
    std::mutex lock;
    int x = -1, y = -1;
    bool known = false;

    // Remembers the position; false when it is the one already known.
    bool Moved(int newX, int newY) {
        std::lock_guard guard(lock);
        bool moved = !known || newX != x || newY != y;
        x = newX;
        y = newY;
        known = true;
        return moved;
    }
};

MousePosition& TheMousePosition() {
    static MousePosition position;
    return position;
}

std::atomic<bool> g_quitting{false};

UINT HomeKeyMessage() {
    static const UINT id = RegisterWindowMessageW(L"ShellNotifyMsg/ClickMKey");
    return id;
}

bool Zone(DWORD zone) { return (GetDebugZones() & zone) != 0; }

// A value as the debug lines print it: 32 bits.
unsigned Hex(std::uintptr_t value) { return static_cast<unsigned>(value); }
unsigned Hex(const void* value) { return Hex(reinterpret_cast<std::uintptr_t>(value)); }

} // namespace

bool ToolkitQuitting() { return g_quitting; }

void ReleaseWindowRegistry() {
    WindowRegistry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.windows.clear();
}
void SetToolkitQuitting(bool quitting) { g_quitting = quitting; }

MSG& ToolkitMessageRecord() {
    thread_local MSG record{};
    return record;
}

CFtWnd::CFtWnd() : m_foreground(GetThemeColour(SYSCLR_WINDOW_TEXT)), m_background(GetThemeColour(SYSCLR_WINDOW_BG)) {}

CFtWnd::~CFtWnd() {
    Destroy();
    m_backBuffer.Release();
}

CFtWnd* CFtWnd::FindWnd(HWND window) {
    WindowRegistry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto found = registry.windows.find(window);
    return found == registry.windows.end() ? nullptr : found->second;
}

RECT CFtWnd::GetWorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool CFtWnd::RegisterFtClass() {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &FtWndProc;
    windowClass.lpszClassName = GetFtClassName();
    return RegisterClassW(&windowClass) != 0;
}

bool CFtWnd::Create(int x, int y, int width, int height, HWND parent, HMENU menuOrId, DWORD style, DWORD exStyle) {
    if (m_hWnd)
        return false;
    RegisterFtClass(); // a repeated registration fails harmlessly
    m_hWnd = CreateWindowExW(exStyle, GetFtClassName(), nullptr, style, x, y, width, height, parent, menuOrId, nullptr,
                             nullptr);
    if (!m_hWnd)
        return false;
    {
        WindowRegistry& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        registry.windows[m_hWnd] = this;
    }
    if (!(style & WS_CAPTION))
        SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(GetWindowLongW(m_hWnd, GWL_STYLE) & ~WS_CAPTION));
    return SendMessageW(m_hWnd, WM_INITDIALOG, 0, 0) != 0;
}

void CFtWnd::Destroy() {
    if (!m_hWnd)
        return;
    {
        WindowRegistry& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        registry.windows.erase(m_hWnd);
    }
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void CFtWnd::AdjustStyle() {
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | 0x0000000B);
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_CLIENTEDGE));
}

void CFtWnd::EndModal(int result) {
    m_flags &= ~ModalRunning;
    m_modalResult = result;
    PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CFtWnd::Show(bool visible, bool activate) {
    ShowWindow(m_hWnd, visible ? SW_SHOW : SW_HIDE);
    SendMessageW(m_hWnd, WM_SHOWWINDOW, visible, 0);
    if (activate)
        SetActiveWindow(m_hWnd);
}

void CFtWnd::Invalidate(const RECT* rect, bool erase) { InvalidateRect(m_hWnd, rect, erase); }
void CFtWnd::Update() { UpdateWindow(m_hWnd); }
void CFtWnd::SetText(const wchar_t* text) { SetWindowTextW(m_hWnd, text); }
void CFtWnd::Post(UINT message, WPARAM wParam, LPARAM lParam) { PostMessageW(m_hWnd, message, wParam, lParam); }

RECT CFtWnd::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

RECT CFtWnd::GetWindowRect() const {
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

POINT CFtWnd::GetPosInParent() const {
    HWND parent = GetParent(m_hWnd);
    if (!parent)
        return {0, 0};
    RECT rect = GetWindowRect();
    POINT corner{rect.left, rect.top};
    ScreenToClient(parent, &corner);
    return corner;
}

int CFtWnd::GetWidth() const { return GetClientRect().right; }
int CFtWnd::GetHeight() const { return GetClientRect().bottom; }

void CFtWnd::OnPaint(HDC dc, const PAINTSTRUCT& paint) {
    RECT client = GetClientRect();
    if (!m_backBuffer.GetDC() || m_backBuffer.GetWidth() != client.right || m_backBuffer.GetHeight() != client.bottom)
        m_backBuffer.Create(client.right, client.bottom, dc);
    const RECT& area = paint.rcPaint;
    if (!m_backBuffer.GetDC() || area.right <= area.left || area.bottom <= area.top)
        return;
    if (m_fillBackground) {
        HBRUSH brush = CreateSolidBrush(m_background);
        FillRect(m_backBuffer.GetDC(), &area, brush);
        DeleteObject(brush);
    }
    PaintWin(m_backBuffer.GetDC(), area);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, m_backBuffer.GetDC(), area.left,
           area.top, SRCCOPY);
}

void CFtWnd::BroadcastActivation(HWND window, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, WM_FT_ACTIVATE, wParam, lParam);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        BroadcastActivation(child, wParam, lParam);
}

void CFtWnd::AnswerHomeKey(WPARAM wParam, LPARAM shell) {
    int action = OnShellHomeKey(HomeKeyMessage(), wParam, shell);
    auto asker = reinterpret_cast<HWND>(shell);
    if (action == 0 || action == 1) {
        PostMessageW(asker, WM_FT_SHELL_ANSWER, 0, 2);
        PostQuitMessage(0);
    } else if (action == 2) {
        PostMessageW(asker, WM_FT_SHELL_ANSWER, 0, 1);
    } else if (action == 3) {
        PostMessageW(asker, WM_FT_SHELL_ANSWER, 0, 2);
        m_backBuffer.Release();
    }
}

LRESULT CFtWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE: BroadcastActivation(m_hWnd, wParam, lParam); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(m_hWnd, &paint);
        OnPaint(dc, paint);
        EndPaint(m_hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return 1; // everything is painted through the back buffer
    case WM_SETTINGCHANGE: OnSettingChange(wParam, lParam); return 0;
    case WM_INITDIALOG: {
        StaleInput::Arm();
        BOOL result = OnInitDialog();
        StaleInput::Stamp();
        return result;
    }
    case WM_COMMAND: OnCommand(HIWORD(wParam), LOWORD(wParam), lParam); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_MOUSEMOVE:
        if (TheMousePosition().Moved(x, y))
            OnMouseMove(static_cast<UINT>(wParam), x, y);
        return 0;
    case WM_LBUTTONDOWN:
        TheMousePosition().Moved(x, y);
        if (Zone(ZoneMouse))
            NKDbgPrintfW(L"ftk ZONE_MOUSE: CFtWnd::OnLButtonDown(%d, %d);\n", x, y);
        OnLButtonDown(static_cast<UINT>(wParam), x, y);
        return 0;
    case WM_LBUTTONUP:
        if (Zone(ZoneMouse))
            NKDbgPrintfW(L"ftk ZONE_MOUSE: CFtWnd::OnLButtonUp(%d, %d);\n", x, y);
        OnLButtonUp(static_cast<UINT>(wParam), x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
        TheMousePosition().Moved(x, y);
        if (Zone(ZoneMouse))
            NKDbgPrintfW(L"ftk ZONE_MOUSE: CFtWnd::OnLButtonDblClk(%d, %d);\n", x, y);
        OnLButtonDblClk(static_cast<UINT>(wParam), x, y);
        return 0;
    case WM_FT_COMMAND: OnFtCommand(wParam, lParam); return 0;
    case WM_DESTROY:
    case WM_CHAR:
    case 269: // the input method's composition: start, end, update
    case 270:
    case 271:
    case 644: return 0;
    default: break;
    }
    if (message == HomeKeyMessage()) {
        AnswerHomeKey(wParam, lParam);
        return 0;
    }
    return m_previousProcedure ? CallWindowProcW(m_previousProcedure, m_hWnd, message, wParam, lParam)
                               : DefWindowProcW(m_hWnd, message, wParam, lParam);
}

int CFtWnd::DoModal() {
    bool traced = Zone(ZoneModal);
    if (traced)
        NKDbgPrintfW(L"**ZONE_FTWND** CFtWnd::DoModal: m_hWnd=0x%X, enter...\n", Hex(m_hWnd));
    m_flags |= ModalRunning;
    ReleaseCapture();
    StaleInput::Arm();
    if (m_animateIn) {
        if (traced)
            NKDbgPrintfW(L"**ZONE_FTWND** CFtWnd::DoModal: m_hWnd=0x%X, AnimateWindow(nAnim=%d, true)...\n",
                         Hex(m_hWnd), m_animateIn);
        AnimateWindow(*this, m_animateIn, true);
    }
    Show(true, true);
    SetForegroundWindow(m_hWnd);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
    HWND parent = GetParent(m_hWnd);
    if (parent)
        EnableWindow(parent, FALSE);
    m_flags |= InsideDoModal;
    StaleInput::Stamp();

    MSG& record = ToolkitMessageRecord();
    bool quit = false;
    while (!ToolkitQuitting() && (m_flags & ModalRunning)) {
        BOOL got = GetMessageW(&record, nullptr, 0, 0);
        if (got == 0) {
            // The shared flag ends the loops outside this one as well.
            SetToolkitQuitting(true);
            quit = true;
            break;
        }
        if (got < 0)
            break; // a broken queue ends this loop alone
        if (StaleInput::Drops(record))
            continue;
        TranslateMessage(&record);
        DispatchMessageW(&record);
    }
    quit = quit || ToolkitQuitting();

    StaleInput::Arm();
    m_flags &= ~InsideDoModal;
    if (parent)
        EnableWindow(parent, TRUE);
    if (m_animateOut && !quit && GetActiveWindow() == m_hWnd) {
        if (traced)
            NKDbgPrintfW(L"**ZONE_FTWND** CFtWnd::DoModal: m_hWnd=0x%X, AnimateWindow(nAnim=%d, false)...\n",
                         Hex(m_hWnd), m_animateOut);
        AnimateWindow(*this, m_animateOut, false);
    }
    Show(false, false);
    StaleInput::Stamp();
    if (traced)
        NKDbgPrintfW(L"**ZONE_FTWND** CFtWnd::DoModal: m_hWnd=0x%X, exit...\n", Hex(m_hWnd));
    return m_modalResult;
}

LRESULT FtWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_GETTEXT && Zone(ZoneMessages))
        NKDbgPrintfW(
            L"**ZONE_FTWND_MESSAGE** FtWndProc: hWnd(0x%08X), Messge(0x%08X), wParam(0x%08X), lParam(0x%08X)\n",
            Hex(window), message, Hex(wParam), Hex(static_cast<std::uintptr_t>(lParam)));
    if (message == WM_GETTEXT || message == WM_GETTEXTLENGTH)
        return DefWindowProcW(window, message, wParam, lParam);
    if (CFtWnd* object = CFtWnd::FindWnd(window))
        return object->WindowProc(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}
