#include "platform/browser/BrowserView.h"

#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <utility>

namespace platform::browser {

namespace {

constexpr const wchar_t* ClassName = L"BrowserView";
// Private to the view's window class.
constexpr UINT HandOffMessage = WM_USER + 0x60;
constexpr UINT DeleteOwnerMessage = WM_USER + 0x61;

constexpr int MinimumThumbHeight = 24;
constexpr COLORREF TrackColour = RGB(236, 236, 236);
constexpr COLORREF ThumbColour = RGB(150, 150, 150);

// Which view each window shows: the window procedure runs on the window's thread, the
// map is shared by all of them.
struct ViewRegistry {
    std::mutex lock;
    std::map<HWND, BrowserView*> views;
};

ViewRegistry& Registry() {
    static ViewRegistry registry;
    return registry;
}

BrowserView* FindView(HWND window) {
    ViewRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    auto found = registry.views.find(window);
    return found == registry.views.end() ? nullptr : found->second;
}

void SetView(HWND window, BrowserView* view) {
    ViewRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    if (view)
        registry.views[window] = view;
    else
        registry.views.erase(window);
}

class PaintGuard {
public:
    explicit PaintGuard(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~PaintGuard() {
        if (m_dc)
            EndPaint(m_window, &m_paint);
    }
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    HDC Dc() const { return m_dc; }
    const RECT& Area() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

class WindowContext {
public:
    explicit WindowContext(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowContext() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;
    HDC Dc() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : m_brush(CreateSolidBrush(colour)) {}
    ~SolidBrush() { DeleteObject(m_brush); }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;
    HBRUSH Get() const { return m_brush; }

private:
    HBRUSH m_brush;
};

// Links that lead nowhere else: the page's own anchors and script calls, which the
// element's onclick (run on the same tap) stands for.
// FIXME: a link to an anchor should scroll the page to it; PageView tells no anchor's place.
bool LeadsElsewhere(const std::wstring& href) {
    if (href.empty() || href[0] == L'#')
        return false;
    const std::wstring script = L"javascript:";
    if (href.size() < script.size())
        return true;
    return !std::equal(script.begin(), script.end(), href.begin(),
                       [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

} // namespace

BrowserView::BrowserView(Owner& owner) : m_owner(owner) {}

BrowserView::~BrowserView() { Destroy(); }

bool BrowserView::Create(HWND parent, const RECT& area) {
    if (Window())
        return true;
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &BrowserView::Procedure;
        windowClass.lpszClassName = ClassName;
        RegisterClassW(&windowClass);
    });
    HWND window = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE, area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, parent, nullptr, nullptr, this);
    if (!window)
        return false;
    Resized(window);
    return true;
}

void BrowserView::Destroy() {
    HWND window;
    {
        std::lock_guard guard(m_windowLock);
        window = std::exchange(m_window, nullptr);
        m_deletionHandedOff = false;
    }
    if (!window)
        return;
    // Forgotten first: the window's last messages must not reach a view that is going.
    SetView(window, nullptr);
    DestroyWindow(window);
    m_buffer.Release();
    Discard();
}

void BrowserView::Move(const RECT& area) {
    if (HWND window = Window())
        MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

HWND BrowserView::Window() const {
    std::lock_guard guard(m_windowLock);
    return m_window;
}

void BrowserView::SetAppearance(bool scrollBar, bool pictures) {
    m_pictures = pictures;
    if (scrollBar == m_scrollBar)
        return;
    m_scrollBar = scrollBar;
    Relayout();
    Discard();
    if (HWND window = Window())
        InvalidateRect(window, nullptr, FALSE);
}

std::unique_ptr<PageView> BrowserView::LoadPage(const std::wstring& address) const {
    auto page = std::make_unique<PageView>(PageWidth());
    page->SetPicturesShown(m_pictures);
    if (!page->Load(address))
        return nullptr;
    return page;
}

std::unique_ptr<PageView> BrowserView::MakePage(const std::string& bytes, const std::wstring& address,
                                                bool scripts) const {
    auto page = std::make_unique<PageView>(PageWidth());
    page->SetPicturesShown(m_pictures);
    page->LoadBytes(bytes, address, scripts);
    return page;
}

void BrowserView::ReplacePage(std::unique_ptr<PageView> page) {
    m_page = std::move(page);
    m_scrollY = std::clamp(m_scrollY, 0, MaximumScroll());
    Discard();
    if (HWND window = Window())
        InvalidateRect(window, nullptr, FALSE);
}

void BrowserView::ShowPage(std::unique_ptr<PageView> page) {
    m_page = std::move(page);
    m_scrollY = 0;
    Discard();
    m_touch = Touch{};
    if (HWND window = Window())
        InvalidateRect(window, nullptr, FALSE);
}

void BrowserView::ScrollBy(int dy) {
    long long wanted = static_cast<long long>(m_scrollY) + dy;
    int target = static_cast<int>(std::clamp<long long>(wanted, 0, MaximumScroll()));
    int delta = target - m_scrollY;
    if (delta == 0)
        return;
    HWND window = Window();
    // The buffer must show what the screen shows before its pixels move.
    if (window)
        UpdateWindow(window);
    m_scrollY = target;
    if (!window || !m_bufferValid || !BufferReady()) {
        if (window)
            InvalidateRect(window, nullptr, FALSE);
        return;
    }
    HDC buffer = m_buffer.Dc();
    int width = PageWidth(), height = m_height;
    RECT uncovered{0, 0, width, height};
    if (delta > 0 && delta < height) {
        BitBlt(buffer, 0, 0, width, height - delta, buffer, 0, delta, SRCCOPY);
        uncovered.top = height - delta;
    } else if (delta < 0 && -delta < height) {
        BitBlt(buffer, 0, -delta, width, height + delta, buffer, 0, 0, SRCCOPY);
        uncovered.bottom = -delta;
    }
    Render(uncovered);
    if (m_scrollBar)
        Render(RECT{width, 0, m_width, height});
    Present(window);
}

void BrowserView::Repaint() {
    Discard();
    if (HWND window = Window()) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
}

void BrowserView::Discard() {
    m_bufferValid = false;
    m_tiles.Clear();
}

bool BrowserView::PostHandOff() {
    std::lock_guard guard(m_windowLock);
    return m_window && PostMessageW(m_window, HandOffMessage, 0, 0);
}

bool BrowserView::HandOffDeletion() {
    std::lock_guard guard(m_windowLock);
    if (!m_window)
        return false;
    m_deletionHandedOff = PostMessageW(m_window, DeleteOwnerMessage, 0, 0) != FALSE;
    return m_deletionHandedOff;
}

LRESULT BrowserView::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* view = static_cast<BrowserView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        {
            std::lock_guard guard(view->m_windowLock);
            view->m_window = window;
        }
        SetView(window, view);
        return 0;
    }
    if (BrowserView* view = FindView(window))
        return view->Handle(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// The owner's calls come last in each case: the owner may delete itself and the view.
LRESULT BrowserView::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: Paint(window); return 0;
    case WM_ERASEBKGND: return 1; // every pixel is painted from the buffer
    case WM_SIZE: Resized(window); return 0;
    case WM_LBUTTONDOWN: TouchDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE: TouchMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: TouchUp(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case HandOffMessage: m_owner.OnHandOff(); return 0;
    case DeleteOwnerMessage: {
        {
            std::lock_guard guard(m_windowLock);
            if (!std::exchange(m_deletionHandedOff, false))
                return 0;
        }
        m_owner.OnDeletionHandedOff();
        return 0;
    }
    case WM_DESTROY: {
        // The parent took the window along; a deletion handed to it can wait no longer.
        bool deleteOwner;
        {
            std::lock_guard guard(m_windowLock);
            m_window = nullptr;
            deleteOwner = std::exchange(m_deletionHandedOff, false);
        }
        SetView(window, nullptr);
        m_buffer.Release();
        Discard();
        if (deleteOwner)
            m_owner.OnDeletionHandedOff();
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void BrowserView::Resized(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    m_width = client.right - client.left;
    m_height = client.bottom - client.top;
    m_buffer.Release();
    Discard();
    Relayout();
    InvalidateRect(window, nullptr, FALSE);
}

void BrowserView::Relayout() {
    if (m_page && m_page->Width() != PageWidth()) {
        if (std::unique_ptr<PageView> page = LoadPage(m_page->Address()))
            m_page = std::move(page);
        Discard();
    }
    m_scrollY = std::clamp(m_scrollY, 0, MaximumScroll());
}

int BrowserView::PageWidth() const { return std::max(1, m_width - (m_scrollBar ? ScrollBarWidth : 0)); }

int BrowserView::MaximumScroll() const { return m_page ? std::max(0, m_page->ContentHeight() - m_height) : 0; }

bool BrowserView::BufferReady() {
    if (m_buffer.Dc() && m_buffer.Width() == m_width && m_buffer.Height() == m_height)
        return true;
    Discard();
    return m_width > 0 && m_height > 0 && m_buffer.Create(m_width, m_height);
}

void BrowserView::Paint(HWND window) {
    PaintGuard paint(window);
    if (!paint.Dc() || !BufferReady())
        return;
    if (!m_bufferValid) {
        Render(RECT{0, 0, m_width, m_height});
        m_bufferValid = true;
    } else {
        Render(paint.Area());
    }
    const RECT& area = paint.Area();
    BitBlt(paint.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, m_buffer.Dc(), area.left,
           area.top, SRCCOPY);
}

void BrowserView::Render(const RECT& area) {
    RECT part{};
    RECT page{0, 0, PageWidth(), m_height};
    if (IntersectRect(&part, &area, &page)) {
        if (m_page)
            m_tiles.Draw(*m_page, m_buffer.Dc(), part, m_scrollY);
        else
            FillRect(m_buffer.Dc(), &part, GetStockObject(WHITE_BRUSH));
    }
    RECT bar{page.right, 0, m_width, m_height};
    if (m_scrollBar && IntersectRect(&part, &area, &bar))
        RenderScrollBar(bar);
}

void BrowserView::RenderScrollBar(const RECT& bar) {
    HDC dc = m_buffer.Dc();
    SolidBrush track(TrackColour), thumb(ThumbColour);
    FillRect(dc, &bar, track.Get());
    int content = m_page ? m_page->ContentHeight() : 0;
    int height = bar.bottom - bar.top;
    if (content <= height || MaximumScroll() == 0)
        return;
    int thumbHeight = std::min(height, std::max(MinimumThumbHeight, height * height / content));
    int top = static_cast<int>(static_cast<long long>(m_scrollY) * (height - thumbHeight) / MaximumScroll());
    RECT knob{bar.left + 1, bar.top + top, bar.right - 1, bar.top + top + thumbHeight};
    FillRect(dc, &knob, thumb.Get());
}

void BrowserView::Present(HWND window) {
    WindowContext screen(window);
    if (screen.Dc())
        BitBlt(screen.Dc(), 0, 0, m_width, m_height, m_buffer.Dc(), 0, 0, SRCCOPY);
}

void BrowserView::TouchDown(HWND window, int x, int y) {
    m_touch = Touch{true, false, x, y, m_scrollY};
    SetCapture(window);
}

void BrowserView::TouchMove(int x, int y) {
    if (m_touch.down &&
        (std::abs(x - m_touch.x) > TapSlop || std::abs(y - m_touch.y) > TapSlop || m_scrollY != m_touch.scrollY))
        m_touch.moved = true;
}

void BrowserView::TouchUp(HWND window, int x, int y) {
    TouchMove(x, y);
    Touch touch = std::exchange(m_touch, Touch{});
    if (GetCapture() == window)
        ReleaseCapture();
    if (!touch.down || touch.moved || !m_page || touch.x >= PageWidth())
        return;
    int pageY = touch.y + m_scrollY;
    std::wstring href = m_page->LinkAt(touch.x, pageY);
    if (m_page->ClickAt(touch.x, pageY)) {
        // The element's script may have changed the page, and its height.
        m_scrollY = std::clamp(m_scrollY, 0, MaximumScroll());
        Discard();
        InvalidateRect(window, nullptr, FALSE);
    }
    if (LeadsElsewhere(href))
        m_owner.OnLinkTapped(href);
}

} // namespace platform::browser
