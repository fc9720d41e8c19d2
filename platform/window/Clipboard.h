#pragma once
// The clipboard the text box pastes from: wide text only. A desktop display may feed
// it from the desktop's clipboard; otherwise it lives in memory.

#include "platform/window/WindowTypes.h"

#include <string>

constexpr UINT CF_UNICODETEXT = 13;

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The text is copied; the handle given is not kept.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The clipboard's text as a zero-terminated wide string, valid until the clipboard is
// closed; null when the clipboard is not open or holds no text.
HANDLE GetClipboardData(UINT format);

namespace platform {
// Text that a desktop display saw on the desktop's clipboard.
void SetClipboardText(const std::wstring& text);
} // namespace platform
