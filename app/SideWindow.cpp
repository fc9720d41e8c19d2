#include "app/SideWindow.h"

#include "toolkit/FtWnd.h"

namespace {
constexpr int SlideIn = 1, SlideOut = 2;
} // namespace

int RunSideWindow(CFtWnd& window, HWND parent) {
    RECT work = CFtWnd::GetWorkArea();
    int result = 0;
    if (window.Create(work.left, work.top, work.right - work.left, work.bottom - work.top, parent, nullptr, WS_POPUP,
                      0)) {
        window.SetAnimateIn(SlideIn);
        window.SetAnimateOut(SlideOut);
        result = window.DoModal();
    }
    window.Destroy();
    return result;
}
