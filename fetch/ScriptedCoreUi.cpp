#include "fetch/ScriptedCoreUi.h"

#include "platform/base/Utf8.h"

#include <cstdio>

void ScriptedCoreUi::QueueAnswer(int answer) {
    std::lock_guard guard(m_lock);
    m_answers.push_back(answer);
}

std::vector<FeedbackRecord> ScriptedCoreUi::Records() const {
    std::lock_guard guard(m_lock);
    return m_records;
}

void ScriptedCoreUi::ClearRecords() {
    std::lock_guard guard(m_lock);
    m_records.clear();
}

bool ScriptedCoreUi::WaitDialogOpen() const {
    std::lock_guard guard(m_lock);
    return m_waitOpen;
}

bool ScriptedCoreUi::ProgressDialogOpen() const {
    std::lock_guard guard(m_lock);
    return m_progressOpen;
}

void ScriptedCoreUi::Record(FeedbackRecord record) {
    std::lock_guard guard(m_lock);
    m_records.push_back(std::move(record));
}

void ScriptedCoreUi::PostShowPlaylist() { Record({FeedbackRecord::Kind::ShowPlaylist, BrowserWindow(), L"", L""}); }

void ScriptedCoreUi::Navigate(const std::wstring& address) {
    Record({FeedbackRecord::Kind::Navigate, BrowserWindow(), address, L""});
}

int ScriptedCoreUi::MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type, int) {
    std::lock_guard guard(m_lock);
    int answer = ResultYes;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_records.push_back({FeedbackRecord::Kind::MessageBox, parent, text, caption, type, 0, answer});
    return answer;
}

int ScriptedCoreUi::NoticeBox(HWND parent, const std::wstring& text, DWORD milliseconds) {
    Record({FeedbackRecord::Kind::NoticeBox, parent, text, L"", 0, milliseconds, 1});
    return 1;
}

void ScriptedCoreUi::ShowWaitDialog(HWND owner, const RECT*, int value) {
    std::lock_guard guard(m_lock);
    m_waitOpen = true;
    m_records.push_back({FeedbackRecord::Kind::ShowWait, owner, L"", L"", static_cast<UINT>(value)});
}

void ScriptedCoreUi::CloseWaitDialog() {
    std::lock_guard guard(m_lock);
    m_records.push_back({FeedbackRecord::Kind::CloseWait, nullptr, L"", L"", 0, 0, 0, m_waitOpen});
    m_waitOpen = false;
}

void ScriptedCoreUi::ShowProgressDialog(ProgressDescriptor& descriptor, HWND owner) {
    descriptor.owner = owner;
    std::lock_guard guard(m_lock);
    m_progressOpen = true;
    m_records.push_back({FeedbackRecord::Kind::ShowProgress, owner, descriptor.titleLine, descriptor.windowTitle});
}

void ScriptedCoreUi::CloseProgressDialog(ProgressDescriptor& descriptor) {
    {
        std::lock_guard guard(m_lock);
        m_records.push_back({FeedbackRecord::Kind::CloseProgress, nullptr, L"", L"", 0, 0, 0, m_progressOpen});
        m_progressOpen = false;
    }
    descriptor.inputPanelWasOn = 0;
}

std::string DescribeFeedback(const FeedbackRecord& record) {
    auto quoted = [](const std::wstring& text) {
        std::string out = "\"";
        for (char c : platform::Utf8FromWide(text))
            out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
        return out + "\"";
    };
    char owner[32];
    std::snprintf(owner, sizeof owner, "%#lx",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(record.owner)));
    using Kind = FeedbackRecord::Kind;
    switch (record.kind) {
    case Kind::MessageBox:
        return "message-box owner=" + std::string(owner) + " caption=" + quoted(record.caption) +
               " type=" + std::to_string(record.type) + " text=" + quoted(record.text) +
               " answer=" + std::to_string(record.answer);
    case Kind::NoticeBox:
        return "notice owner=" + std::string(owner) + " ms=" + std::to_string(record.duration) +
               " text=" + quoted(record.text);
    case Kind::ShowWait:
        return "wait-dialog show owner=" + std::string(owner) + " value=" + std::to_string(record.type);
    case Kind::CloseWait: return std::string("wait-dialog close") + (record.wasOpen ? "" : " (none open)");
    case Kind::ShowProgress:
        return "progress-dialog show owner=" + std::string(owner) + " title=" + quoted(record.text);
    case Kind::CloseProgress: return std::string("progress-dialog close") + (record.wasOpen ? "" : " (none open)");
    case Kind::ShowPlaylist: return "post WM_SHOW_PLAYLIST owner=" + std::string(owner);
    case Kind::Navigate: return "navigate " + quoted(record.text);
    }
    return "unknown";
}
