#include "toolkit/MessageBoxWnd.h"

#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/window/DeviceState.h"
#include "platform/window/WindowApi.h"
#include "toolkit/FeedbackCalls.h"
#include "toolkit/ShellNotify.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitMessages.h"

#include <mutex>
#include <set>
#include <utility>

namespace {

constexpr BYTE SnapshotDim = 80;

// The buttons of each type, left to right: their command ids and words; id 0 ends a row.
constexpr ButtonSpec ButtonsOfType[6][3] = {
    {{101, ButtonWord::Ok}},
    {{103, ButtonWord::Ok}, {104, ButtonWord::Cancel}},
    {{106, ButtonWord::Abort}, {105, ButtonWord::Retry}, {107, ButtonWord::Ignore}},
    {{104, ButtonWord::No}, {103, ButtonWord::Yes}, {102, ButtonWord::Cancel}},
    {{103, ButtonWord::Yes}, {104, ButtonWord::No}},
    {{102, ButtonWord::Cancel}, {105, ButtonWord::Retry}},
};

struct Observer {
    std::mutex lock;
    std::function<void(MessageBoxWnd&)> call;
};

Observer& TheObserver() {
    static Observer& observer = *new Observer;
    return observer;
}

// The message boxes up on any thread, for the program's end.
struct OpenBoxes {
    std::mutex lock;
    bool ended = false;
    std::set<HWND> windows;
};

OpenBoxes& TheOpenBoxes() {
    static OpenBoxes boxes;
    return boxes;
}

// False when boxes have ended: the box must not run.
bool Enlist(HWND window) {
    OpenBoxes& boxes = TheOpenBoxes();
    std::lock_guard guard(boxes.lock);
    if (boxes.ended)
        return false;
    boxes.windows.insert(window);
    return true;
}

void Discharge(HWND window) {
    OpenBoxes& boxes = TheOpenBoxes();
    std::lock_guard guard(boxes.lock);
    boxes.windows.erase(window);
}

} // namespace

void EndMessageBoxes() {
    OpenBoxes& boxes = TheOpenBoxes();
    std::lock_guard guard(boxes.lock);
    boxes.ended = true;
    for (HWND window : boxes.windows)
        PostMessageW(window, MessageBoxWnd::CloseMessage, 0, 1);
}

void AllowMessageBoxes() {
    OpenBoxes& boxes = TheOpenBoxes();
    std::lock_guard guard(boxes.lock);
    boxes.ended = false;
}

const ButtonSpec* ButtonsOf(UINT type) { return type < 6 ? ButtonsOfType[type] : ButtonsOfType[0]; }

std::wstring ButtonCaption(ButtonWord word) {
    static const wchar_t* const english[] = {L"OK", L"Cancel", L"Yes", L"No", L"Retry", L"Abort", L"Ignore"};
    static const wchar_t* const chinese[] = {L"确认", L"取消", L"是", L"否", L"重试", L"中止", L"忽略"};
    LANGID language = GetUserDefaultUILanguage();
    auto index = static_cast<std::size_t>(word);
    if (language == 0x0409)
        return english[index];
    return language == 0x0804 ? chinese[index] : std::wstring();
}

int ResultOfCommand(UINT id) {
    switch (id) {
    case 101:
    case 103:
    case 105: return ResultYes;
    case 102:
    case 104:
    case 106: return ResultNo;
    case 107: return ResultIgnore;
    default: return ResultClosed;
    }
}

MessageBoxWnd::MessageBoxWnd(std::wstring text, std::wstring caption, UINT type)
    : m_text(std::move(text)), m_caption(std::move(caption)), m_type(type < 6 ? type : 0) {
    SetFillBackground(false); // the snapshot covers the window
}

MessageBoxWnd::~MessageBoxWnd() { Destroy(); }

void MessageBoxWnd::Destroy() {
    if (m_announced && GetHwnd())
        ShellNotifyUnregister(GetHwnd(), 1);
    m_announced = false;
    CFtWnd::Destroy();
}

BOOL MessageBoxWnd::OnInitDialog() {
    CFtHostWnd::OnInitDialog();
    const ButtonSpec* specs = ButtonsOf(m_type);
    for (m_buttonCount = 0; m_buttonCount < 3 && specs[m_buttonCount].id; ++m_buttonCount) {
        UiButton& button = m_buttons[m_buttonCount];
        const ButtonSpec& spec = specs[m_buttonCount];
        button.SetID(spec.id);
        button.SetText(ButtonCaption(spec.word).c_str());
        button.SetTextSize(26);
        button.SetTextColour(0x00FFFFFF);
        button.SetPressedTextColour(0x00FFFFFF);
        // The answer that goes on is the blue one; the others are quiet.
        button.SetKind(ResultOfCommand(spec.id) == ResultYes ? 5 : 1);
        GetWinManager().AddChild(&button);
    }
    PlaceButtons();
    ShellNotifyRegister(GetHwnd(), 20);
    SetForegroundWindow(GetHwnd());
    ShellNotifyRegister(GetHwnd(), 1);
    m_announced = true;
    return TRUE;
}

void MessageBoxWnd::PlaceButtons() {
    int width = GetWidth(), height = GetHeight(), margin = (width - PanelWidth) / 2, y = height / 2 + 26;
    if (m_buttonCount == 1) {
        m_buttons[0].SetPos(margin + 20, y, 384, 75);
    } else if (m_buttonCount == 2) {
        m_buttons[0].SetPos(margin + 20, y, 200, 75);
        m_buttons[1].SetPos(width - margin - 220, y, 200, 75);
    } else {
        m_buttons[0].SetPos(margin + 20, y, 140, 75);
        m_buttons[1].SetPos(width / 2 - 70, y, 140, 75);
        m_buttons[2].SetPos(width - margin - 160, y, 140, 75);
    }
}

const UiButton* MessageBoxWnd::Button(int index) const {
    return index >= 0 && index < m_buttonCount ? &m_buttons[index] : nullptr;
}

LRESULT MessageBoxWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CloseMessage) {
        if (lParam == 1)
            EndModal(ResultClosed);
        return 0; // with any other lParam it is swallowed
    }
    if (message == LockphoneMessageId() || message == ShutDownMessageId()) {
        EndModal(ResultClosed);
        return 0;
    }
    if (message == WM_SHOWWINDOW && wParam && !std::exchange(m_observed, true)) {
        LRESULT result = CFtHostWnd::WindowProc(message, wParam, lParam);
        std::function<void(MessageBoxWnd&)> observer;
        {
            Observer& shared = TheObserver();
            std::lock_guard guard(shared.lock);
            observer = shared.call;
        }
        if (observer)
            observer(*this);
        return result;
    }
    return CFtHostWnd::WindowProc(message, wParam, lParam);
}

void MessageBoxWnd::OnFtCommand(WPARAM wParam, LPARAM) { EndModal(ResultOfCommand(LOWORD(wParam))); }

void MessageBoxWnd::PaintWin(HDC dc, const RECT& rect) {
    int width = GetWidth(), height = GetHeight();
    SIZE size = SnapshotSize(width);
    m_snapshot.Take(GetHwnd(), size.cx, size.cy, SnapshotDim);
    m_snapshot.Draw(dc, rect);
    RECT panel{(width - PanelWidth) / 2, (height - PanelHeight) / 2, (width + PanelWidth) / 2,
               (height + PanelHeight) / 2};
    DrawPanel(dc, panel, width > 480 ? PanelStyle::Wide : PanelStyle::Narrow);
    HGDIOBJ previous = SelectObject(dc, GetFont(30, 400, false, false, FontUpright));
    SetTextColor(dc, 0x00FFFFFF);
    SetBkMode(dc, TRANSPARENT);
    DrawTextBlock(dc, m_text, RECT{panel.left + 20, panel.top + 20, panel.left + 408, panel.top + 170});
    SelectObject(dc, previous);
    CFtHostWnd::PaintWin(dc, rect);
}

void MessageBoxWnd::SetShownObserver(std::function<void(MessageBoxWnd&)> observer) {
    Observer& shared = TheObserver();
    std::lock_guard guard(shared.lock);
    shared.call = std::move(observer);
}

int ShowMessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type, int homeKeyAnswer) {
    {
        // Not even made after the end: a box coming up activates itself, which waits for
        // the window it takes the activation from.
        OpenBoxes& boxes = TheOpenBoxes();
        std::lock_guard guard(boxes.lock);
        if (boxes.ended)
            return ResultClosed;
    }
    MessageBoxWnd box(text, caption, type);
    box.SetHomeKeyAnswer(homeKeyAnswer);
    if (!box.Create(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), parent, nullptr, WS_POPUP, 0))
        return ResultClosed;
    HWND window = box.GetHwnd();
    if (!Enlist(window)) {
        box.Destroy();
        return ResultClosed;
    }
    int result = box.DoModal();
    Discharge(window);
    box.Destroy();
    return result;
}
