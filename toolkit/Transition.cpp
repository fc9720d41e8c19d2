#include "toolkit/Transition.h"

#include "platform/gdi/GdiApi.h"
#include "toolkit/FtWnd.h"
#include "toolkit/InputFilter.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int VerticalStep = 32;
constexpr int HorizontalStep = 24;

struct Observer {
    std::mutex lock;
    std::function<void(int, int)> observer;
};

Observer& TheObserver() {
    static Observer observer;
    return observer;
}

} // namespace

std::chrono::milliseconds TransitionFrameTime() {
    static const std::chrono::milliseconds time = [] {
        const char* configured = std::getenv("QUILLORA_TRANSITION_FRAME_MS");
        return std::chrono::milliseconds(configured ? std::max(0, std::atoi(configured)) : 12);
    }();
    return time;
}

namespace {

std::chrono::milliseconds FrameTime() { return TransitionFrameTime(); }

// One transition over the window's rectangle of the screen, from `from` to `to`.
class Transition {
public:
    Transition(HDC screen, RECT area, HDC from, HDC to)
        : m_screen(screen), m_area(area), m_from(from), m_to(to), m_width(area.right - area.left),
          m_height(area.bottom - area.top) {}

    void Play(int kind);

private:
    // Copies rows [top, bottom) (or columns, for a horizontal copy) of an image to the
    // screen at `at`, 1:1.
    void Rows(HDC image, int top, int bottom, int at) {
        if (bottom > top)
            StretchBlt(m_screen, m_area.left, m_area.top + at, m_width, bottom - top, image, 0, top, m_width,
                       bottom - top, SRCCOPY);
    }
    void Columns(HDC image, int left, int right, int at) {
        if (right > left)
            StretchBlt(m_screen, m_area.left + at, m_area.top, right - left, m_height, image, left, 0, right - left,
                       m_height, SRCCOPY);
    }
    void Centred(HDC image, int halfHeight) {
        int halfWidth = static_cast<int>(static_cast<long long>(halfHeight) * m_width / std::max(m_height, 1));
        StretchBlt(m_screen, m_area.left + m_width / 2 - halfWidth, m_area.top + m_height / 2 - halfHeight,
                   2 * halfWidth, 2 * halfHeight, image, 0, 0, m_width, m_height, SRCCOPY);
    }
    void Whole(HDC image) { Rows(image, 0, m_height, 0); }
    void FrameDone(int kind, int frame);
    void Slide(int kind);
    void Fade(int kind);

    HDC m_screen;
    RECT m_area;
    HDC m_from;
    HDC m_to;
    int m_width;
    int m_height;
};

void Transition::FrameDone(int kind, int frame) {
    std::function<void(int, int)> observe;
    {
        Observer& observer = TheObserver();
        std::lock_guard guard(observer.lock);
        observe = observer.observer;
    }
    // Called without the lock: an observer may set another observer, or wait for a thread.
    if (observe)
        observe(kind, frame);
    if (FrameTime().count() > 0)
        std::this_thread::sleep_for(FrameTime());
}

void Transition::Slide(int kind) {
    bool vertical = kind <= 4 || kind == 9 || kind == 10;
    int size = vertical ? m_height : m_width, step = vertical ? VerticalStep : HorizontalStep;
    for (int frame = 1, offset = step;; ++frame, offset += step) {
        int d = std::min(offset, size), rest = size - d;
        auto part = [&](HDC image, int first, int last, int at) {
            vertical ? Rows(image, first, last, at) : Columns(image, first, last, at);
        };
        switch (kind) {
        case 1:
        case 7: part(m_to, 0, d, rest); break; // in from the far edge
        case 3:
        case 5: part(m_to, rest, size, 0); break; // in from the near edge
        case 2:
        case 8:
            part(m_to, 0, d, 0);
            part(m_from, 0, rest, d);
            break; // old out to the far edge
        case 4:
        case 6:
            part(m_from, d, size, 0);
            part(m_to, rest, size, rest);
            break; // old out to the near edge
        case 9:
        case 12:
            part(m_from, d, size, 0);
            part(m_to, 0, d, rest);
            break; // pushed to the near edge
        case 10:
        case 11:
            part(m_to, rest, size, 0);
            part(m_from, 0, rest, d);
            break; // pushed to the far edge
        default: break;
        }
        FrameDone(kind, frame);
        if (d >= size)
            return;
    }
}

void Transition::Fade(int kind) {
    OffscreenBuffer work;
    if (!work.Create(m_width, m_height, m_screen))
        return;
    for (int alpha = 0, frame = 1; alpha <= 240; alpha += 40, ++frame) {
        BitBlt(work.GetDC(), 0, 0, m_width, m_height, m_from, 0, 0, SRCCOPY);
        AlphaBlend(work.GetDC(), 0, 0, m_width, m_height, m_to, 0, 0, m_width, m_height,
                   BLENDFUNCTION{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0});
        StretchBlt(m_screen, m_area.left, m_area.top, m_width, m_height, work.GetDC(), 0, 0, m_width, m_height,
                   SRCCOPY);
        FrameDone(kind, frame);
    }
}

void Transition::Play(int kind) {
    if (m_width <= 0 || m_height <= 0)
        return;
    if (kind >= 1 && kind <= 12) {
        Slide(kind);
    } else if (kind == 13) {
        int frame = 1;
        for (int half = VerticalStep; half < m_height / 2; half += VerticalStep, ++frame) {
            Centred(m_to, half);
            FrameDone(kind, frame);
        }
    } else if (kind == 14) {
        int frame = 1;
        for (int half = m_height / 2; half >= 0; half = (half - VerticalStep) * 10 / 11, ++frame) {
            Whole(m_to);
            Centred(m_from, half);
            FrameDone(kind, frame);
            if (half - VerticalStep < 0)
                break;
        }
    } else if (kind == 15) {
        Fade(kind);
        return;
    } else {
        return;
    }
    bool finishesWhole = kind <= 4 || kind == 9 || kind == 10 || kind == 13 || kind == 14;
    if (finishesWhole)
        Whole(m_to);
}

// Copies each visible child window's image into `into` at its place, recursively, the
// lowest first so that the topmost lands last.
void RenderChildren(HWND window, HDC into) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        CFtWnd* object = CFtWnd::FindWnd(*child);
        // Pop-ups with a parent are owned windows on their own, not part of its image.
        bool partOf = (GetWindowLongW(*child, GWL_STYLE) & WS_CHILD) != 0;
        if (!object || !partOf || !IsWindowVisible(*child))
            continue;
        OffscreenBuffer image;
        if (!RenderWindow(*object, image))
            continue;
        POINT at = object->GetPosInParent();
        BitBlt(into, at.x, at.y, image.GetWidth(), image.GetHeight(), image.GetDC(), 0, 0, SRCCOPY);
    }
}

} // namespace

bool RenderWindow(CFtWnd& window, OffscreenBuffer& buffer) {
    RECT client = window.GetClientRect();
    if (!buffer.Create(client.right, client.bottom, nullptr))
        return false;
    if (window.FillsBackground()) {
        HBRUSH brush = CreateSolidBrush(window.BackgroundColour());
        FillRect(buffer.GetDC(), &client, brush);
        DeleteObject(brush);
    }
    window.PaintWin(buffer.GetDC(), client);
    RenderChildren(window.GetHwnd(), buffer.GetDC());
    return true;
}

void AnimateWindow(CFtWnd& window, int kind, bool show) {
    StaleInput::Arm();
    RECT area = window.GetWindowRect();
    HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!screen)
        return;
    int width = area.right - area.left, height = area.bottom - area.top;
    OffscreenBuffer old, target;
    bool ready = old.Create(width, height, screen);
    if (ready)
        BitBlt(old.GetDC(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    HWND parent = GetParent(window.GetHwnd());
    // A parent on another thread is not drawn from this one: no target, nothing plays.
    bool ownParent = !show && GetWindowThreadProcessId(parent, nullptr) == GetCurrentThreadId();
    CFtWnd* source = show ? &window : ownParent ? CFtWnd::FindWnd(parent) : nullptr;
    // Hiding into a parent that is not a toolkit window has no target: nothing plays.
    if (ready && source && RenderWindow(*source, target)) {
        if (!show) {
            // The target is the part of the parent the window covers.
            OffscreenBuffer covered;
            POINT at = window.GetPosInParent();
            if (covered.Create(width, height, screen)) {
                BitBlt(covered.GetDC(), 0, 0, width, height, target.GetDC(), at.x, at.y, SRCCOPY);
                Transition(screen, area, old.GetDC(), covered.GetDC()).Play(kind);
            }
        } else {
            Transition(screen, area, old.GetDC(), target.GetDC()).Play(kind);
        }
    }
    DeleteDC(screen);
    StaleInput::Stamp();
}

void SetTransitionFrameObserver(std::function<void(int, int)> observer) {
    Observer& holder = TheObserver();
    std::lock_guard guard(holder.lock);
    holder.observer = std::move(observer);
}
