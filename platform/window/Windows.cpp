#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/base/Utf8.h"
#include "platform/window/RemoteWindows.h"
#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

using namespace platform::window;

namespace {

std::vector<HWND>& Siblings(System& system, Window& window) {
    if (window.parent) {
        if (Window* parent = FindWindowData(system, window.parent))
            return parent->children;
    }
    return system.topLevel;
}

void Unlink(System& system, Window& window) {
    std::vector<HWND>& siblings = Siblings(system, window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window.handle), siblings.end());
}

// Marks what a window covered on the screen as needing paint in the windows beneath.
void InvalidateBeneath(System& system, const RECT& screen) {
    for (auto& [handle, window] : system.windows) {
        if (!(window->style & WS_VISIBLE))
            continue;
        RECT own = ScreenRect(system, *window);
        RECT overlap{std::max(own.left, screen.left), std::max(own.top, screen.top), std::min(own.right, screen.right),
                     std::min(own.bottom, screen.bottom)};
        if (overlap.left >= overlap.right || overlap.top >= overlap.bottom)
            continue;
        RECT local{overlap.left - own.left, overlap.top - own.top, overlap.right - own.left, overlap.bottom - own.top};
        window->needsErase = true;
        if (!window->needsPaint) {
            window->update = local;
            window->needsPaint = true;
        } else {
            window->update = {std::min(window->update.left, local.left), std::min(window->update.top, local.top),
                              std::max(window->update.right, local.right),
                              std::max(window->update.bottom, local.bottom)};
        }
        window->queue->wake.notify_all();
    }
}

void Forget(System& system, HWND handle) {
    if (system.capture == handle)
        system.capture = nullptr;
    if (system.focus == handle)
        system.focus = nullptr;
    if (system.active == handle)
        system.active = nullptr;
}

// Every window of the subtree, the window first.
void Subtree(System& system, HWND handle, std::vector<HWND>& out) {
    out.push_back(handle);
    if (Window* window = FindWindowData(system, handle)) {
        for (HWND child : window->children)
            Subtree(system, child, out);
    }
}

} // namespace

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !*windowClass->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    std::wstring key = FoldCase(windowClass->lpszClassName);
    if (system.classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    if (system.nextAtom == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    system.classes[key] = std::make_shared<WindowClass>(WindowClass{
        windowClass->lpszClassName, windowClass->style, windowClass->lpfnWndProc, windowClass->hbrBackground});
    return system.nextAtom++;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    if (!className || !system.classes.erase(FoldCase(className))) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    System& system = TheSystem();
    HWND handle;
    {
        std::lock_guard guard(system.lock);
        auto found = className ? system.classes.find(FoldCase(className)) : system.classes.end();
        if (found == system.classes.end()) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        if (parent && !FindWindowData(system, parent))
            return nullptr;
        auto window = std::make_unique<Window>();
        handle = reinterpret_cast<HWND>(platform::NewHandleValue());
        window->handle = handle;
        window->windowClass = found->second;
        window->procedure = found->second->procedure;
        window->text = windowName ? windowName : L"";
        window->style = style;
        window->exStyle = exStyle;
        window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
        // A window given a parent without WS_CHILD is a pop-up that the parent owns: a
        // top-level window in screen co-ordinates, not one of the parent's children.
        bool owned = parent && !(style & WS_CHILD);
        window->parent = owned ? nullptr : parent;
        window->owner = owned ? parent : nullptr;
        window->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
        window->queue = CurrentQueue();
        window->thread = std::this_thread::get_id();
        Window& data = *window;
        system.windows.emplace(handle, std::move(window));
        Siblings(system, data).insert(Siblings(system, data).begin(), handle);
        if (style & WS_VISIBLE) {
            data.needsPaint = true;
            data.needsErase = true;
            data.update = {0, 0, data.rect.right - data.rect.left, data.rect.bottom - data.rect.top};
        }
    }
    CREATESTRUCTW create{parameter,  instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                         windowName, className, exStyle};
    if (CallProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if ((style & WS_VISIBLE) && !(style & WS_CHILD))
        platform::window::OfferWindows();
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    System& system = TheSystem();
    std::vector<HWND> subtree;
    {
        std::lock_guard guard(system.lock);
        Window* window = FindWindowData(system, handle);
        if (!window)
            return FALSE;
        if (window->thread != std::this_thread::get_id()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        Subtree(system, handle, subtree);
        if (window->style & WS_VISIBLE) {
            RECT screen = ScreenRect(system, *window);
            window->style &= ~WS_VISIBLE;
            InvalidateBeneath(system, screen);
        }
    }
    // WM_DESTROY goes to the window first, then down to its children; the windows
    // themselves are removed children first.
    for (HWND window : subtree)
        CallProcedure(window, WM_DESTROY, 0, 0);
    std::lock_guard guard(system.lock);
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        Window* window = FindWindowData(system, *it);
        if (!window)
            continue;
        Unlink(system, *window);
        Forget(system, *it);
        // Pop-ups it owned (perhaps on other threads) outlive it without an owner.
        for (auto& [other, data] : system.windows) {
            if (data->owner == *it)
                data->owner = nullptr;
        }
        auto& timers = window->queue->timers;
        timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == *it; }),
                     timers.end());
        system.windows.erase(*it);
    }
    return TRUE;
}

BOOL IsWindow(HWND window) {
    {
        System& system = TheSystem();
        std::lock_guard guard(system.lock);
        if (system.windows.count(window))
            return TRUE;
    }
    return platform::window::IsRemoteWindow(window) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    for (Window* window = FindWindowData(system, handle); window;
         window = window->parent ? FindWindowData(system, window->parent) : nullptr) {
        if (!(window->style & WS_VISIBLE))
            return FALSE;
    }
    return system.windows.count(handle) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND handle) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

LONG GetWindowLongW(HWND handle, int index) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->exStyle);
    case GWL_USERDATA: return static_cast<LONG>(window->userData);
    case GWL_ID: return static_cast<LONG>(window->id);
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
}

LONG SetWindowLongW(HWND handle, int index, LONG value) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return 0;
    LONG previous = 0;
    switch (index) {
    case GWL_STYLE:
        previous = static_cast<LONG>(window->style);
        window->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(window->exStyle);
        window->exStyle = static_cast<DWORD>(value);
        break;
    case GWL_USERDATA:
        previous = static_cast<LONG>(window->userData);
        window->userData = value;
        break;
    case GWL_ID:
        previous = static_cast<LONG>(window->id);
        window->id = value;
        break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
    SetLastError(ERROR_SUCCESS);
    return previous;
}

HWND SetParent(HWND child, HWND parent) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, child);
    if (!window || (parent && !FindWindowData(system, parent)))
        return nullptr;
    HWND previous = window->parent;
    Unlink(system, *window);
    window->parent = parent;
    Siblings(system, *window).insert(Siblings(system, *window).begin(), child);
    return previous;
}

DWORD GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return 0;
    if (processId)
        *processId = 1; // one program, one process
    return window->queue ? window->queue->id : 0;
}

HWND GetParent(HWND handle) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return nullptr;
    return window->parent ? window->parent : window->owner;
}

HWND GetWindow(HWND handle, UINT relation) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return nullptr;
    if (relation == GW_CHILD)
        return window->children.empty() ? nullptr : window->children.front();
    if (relation == GW_HWNDNEXT) {
        std::vector<HWND>& siblings = Siblings(system, *window);
        auto at = std::find(siblings.begin(), siblings.end(), handle);
        return at != siblings.end() && at + 1 != siblings.end() ? *(at + 1) : nullptr;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    System& system = TheSystem();
    {
        std::lock_guard guard(system.lock);
        Window* window = FindWindowData(system, handle);
        if (!window)
            return FALSE;
        bool visible = window->style & WS_VISIBLE;
        RECT before = ScreenRect(system, *window);
        window->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
        if (visible && repaint) {
            InvalidateBeneath(system, before);
            InvalidateBeneath(system, ScreenRect(system, *window));
        }
    }
    CallProcedure(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    CallProcedure(handle, WM_SIZE, 0, MAKELPARAM(width, height));
    return TRUE;
}

BOOL ShowWindow(HWND handle, int command) {
    System& system = TheSystem();
    bool show = command != SW_HIDE;
    bool wasVisible, topLevel;
    {
        std::lock_guard guard(system.lock);
        Window* window = FindWindowData(system, handle);
        if (!window)
            return FALSE;
        wasVisible = window->style & WS_VISIBLE;
        topLevel = !window->parent;
        if (wasVisible == show)
            return wasVisible ? TRUE : FALSE;
        RECT screen = ScreenRect(system, *window);
        if (show)
            window->style |= WS_VISIBLE;
        else
            window->style &= ~WS_VISIBLE;
        // Showing paints the window; hiding uncovers what lay beneath it.
        InvalidateBeneath(system, screen);
    }
    CallProcedure(handle, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (show && topLevel)
        platform::window::OfferWindows();
    return wasVisible ? TRUE : FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    System& system = TheSystem();
    bool wasDisabled, elsewhere;
    {
        std::lock_guard guard(system.lock);
        Window* window = FindWindowData(system, handle);
        if (!window)
            return FALSE;
        wasDisabled = window->style & WS_DISABLED;
        if (wasDisabled == !enable)
            return wasDisabled ? TRUE : FALSE;
        window->style = enable ? window->style & ~WS_DISABLED : window->style | WS_DISABLED;
        elsewhere = window->thread != std::this_thread::get_id();
    }
    // A modal pop-up on a thread of its own disables its owner: the owner hears of it on
    // its own thread.
    if (elsewhere)
        PostMessageW(handle, WM_ENABLE, enable, 0);
    else
        CallProcedure(handle, WM_ENABLE, enable, 0);
    return wasDisabled ? TRUE : FALSE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    if (HWND local = FindLocalWindow(className, windowName))
        return local;
    return platform::window::FindRemoteWindow(className, windowName);
}

HWND platform::window::FindLocalWindow(LPCWSTR className, LPCWSTR windowName) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    std::wstring folded = className ? FoldCase(className) : L"";
    for (HWND handle : system.topLevel) {
        Window* window = FindWindowData(system, handle);
        if (className && FoldCase(window->windowClass->name) != folded)
            continue;
        if (windowName && window->text != windowName)
            continue;
        return handle;
    }
    return nullptr;
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    return SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND handle, LPWSTR text, int maximum) {
    return static_cast<int>(
        SendMessageW(handle, WM_GETTEXT, static_cast<WPARAM>(maximum), reinterpret_cast<LPARAM>(text)));
}

int GetClassNameW(HWND handle, LPWSTR name, int maximum) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window || !name || maximum <= 0)
        return 0;
    std::wstring_view text = window->windowClass->name;
    std::size_t count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(maximum - 1));
    std::wmemcpy(name, text.data(), count);
    name[count] = L'\0';
    return static_cast<int>(count);
}

BOOL GetClientRect(HWND handle, RECT* rect) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window || !rect)
        return FALSE;
    *rect = {0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND handle, RECT* rect) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window || !rect)
        return FALSE;
    *rect = ScreenRect(system, *window);
    return TRUE;
}

BOOL ClientToScreen(HWND handle, POINT* point) {
    RECT screen;
    if (!point || !GetWindowRect(handle, &screen))
        return FALSE;
    point->x += screen.left;
    point->y += screen.top;
    return TRUE;
}

BOOL ScreenToClient(HWND handle, POINT* point) {
    RECT screen;
    if (!point || !GetWindowRect(handle, &screen))
        return FALSE;
    point->x -= screen.left;
    point->y -= screen.top;
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return ScreenWidth;
    case SM_CYSCREEN: return ScreenHeight;
    default: return 0;
    }
}

// The device maker's name for the device, as action 260 reports it: QUILLORA_OEM_INFO,
// else one of our own.
BOOL OemInfo(UINT size, LPVOID value) {
    const char* configured = std::getenv("QUILLORA_OEM_INFO");
    std::wstring text = configured ? platform::WideFromUtf8(configured) : L"Quillora Linux Desktop";
    if (!value || size < (text.size() + 1) * sizeof(wchar_t)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::wcscpy(static_cast<wchar_t*>(value), text.c_str());
    return TRUE;
}

BOOL SystemParametersInfoW(UINT action, UINT size, LPVOID value, UINT) {
    if (action == SPI_GETOEMINFO)
        return OemInfo(size, value);
    if (action != SPI_GETWORKAREA || !value) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The whole screen, unless QUILLORA_WORKAREA="left,top,right,bottom" names a part of it
    // (as a device with a task bar would have).
    RECT area{0, 0, ScreenWidth, ScreenHeight};
    if (const char* configured = std::getenv("QUILLORA_WORKAREA")) {
        RECT wanted{};
        if (std::sscanf(configured, "%d,%d,%d,%d", &wanted.left, &wanted.top, &wanted.right, &wanted.bottom) == 4 &&
            wanted.left >= 0 && wanted.top >= 0 && wanted.right <= ScreenWidth && wanted.bottom <= ScreenHeight &&
            wanted.left < wanted.right && wanted.top < wanted.bottom)
            area = wanted;
    }
    *static_cast<RECT*>(value) = area;
    return TRUE;
}

namespace platform {

bool PlacementOf(HWND handle, WindowPlacement& placement) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return false;
    placement = {ScreenRect(system, *window), {}, {}, true};
    for (HWND child : window->children) {
        Window* data = FindWindowData(system, child);
        if (data && (data->style & WS_VISIBLE))
            placement.above.push_back(ScreenRect(system, *data));
    }
    for (Window* at = window; at;) {
        if (!(at->style & WS_VISIBLE))
            placement.visible = false;
        for (HWND sibling : Siblings(system, *at)) {
            if (sibling == at->handle)
                break;
            Window* above = FindWindowData(system, sibling);
            if (above && (above->style & WS_VISIBLE))
                placement.above.push_back(ScreenRect(system, *above));
        }
        Window* parent = at->parent ? FindWindowData(system, at->parent) : nullptr;
        if (parent)
            placement.ancestors.push_back(ScreenRect(system, *parent));
        at = parent;
    }
    return true;
}

} // namespace platform

namespace platform {

bool TakeEraseRequest(HWND handle, HBRUSH& background) {
    System& system = TheSystem();
    std::lock_guard guard(system.lock);
    Window* window = FindWindowData(system, handle);
    if (!window)
        return false;
    background = window->windowClass->background;
    bool erase = window->needsErase;
    window->needsErase = false;
    return erase;
}

} // namespace platform
