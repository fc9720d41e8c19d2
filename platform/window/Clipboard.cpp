#include "platform/window/Clipboard.h"

#include "platform/base/LastError.h"

#include <condition_variable>
#include <cwchar>
#include <mutex>
#include <optional>
#include <thread>

namespace {

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

struct ClipboardState {
    std::mutex lock;
    std::condition_variable released;
    std::optional<std::thread::id> owner;
    std::wstring text;
    bool hasText = false;
    std::wstring handedOut; // what GetClipboardData gave, alive until the clipboard is closed
};

ClipboardState& State() {
    static ClipboardState state;
    return state;
}

bool OwnedByCaller(ClipboardState& state) {
    if (state.owner == std::this_thread::get_id())
        return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

} // namespace

BOOL OpenClipboard(HWND) {
    ClipboardState& state = State();
    std::lock_guard guard(state.lock);
    // One thread at a time, as on the device: another opener fails instead of waiting.
    if (state.owner && state.owner != std::this_thread::get_id()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    state.owner = std::this_thread::get_id();
    return TRUE;
}

BOOL CloseClipboard() {
    ClipboardState& state = State();
    std::lock_guard guard(state.lock);
    if (!OwnedByCaller(state))
        return FALSE;
    state.owner.reset();
    state.handedOut.clear();
    return TRUE;
}

BOOL EmptyClipboard() {
    ClipboardState& state = State();
    std::lock_guard guard(state.lock);
    if (!OwnedByCaller(state))
        return FALSE;
    state.text.clear();
    state.hasText = false;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    ClipboardState& state = State();
    std::lock_guard guard(state.lock);
    if (!OwnedByCaller(state))
        return nullptr;
    if (format != CF_UNICODETEXT || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    state.text = static_cast<const wchar_t*>(data);
    state.hasText = true;
    return data;
}

HANDLE GetClipboardData(UINT format) {
    ClipboardState& state = State();
    std::lock_guard guard(state.lock);
    if (!OwnedByCaller(state) || format != CF_UNICODETEXT || !state.hasText)
        return nullptr;
    state.handedOut = state.text;
    return state.handedOut.data();
}

namespace platform {

void SetClipboardText(const std::wstring& text) {
    ClipboardState& state = State();
    std::lock_guard guard(state.lock);
    state.text = text;
    state.hasText = true;
}

} // namespace platform
