#pragma once
// Feedback calls that note every message box ("text / caption / type", with its owner)
// and give one answer to all (yes unless told otherwise), for window tests that script
// no boxes.

#include "toolkit/FeedbackCalls.h"

#include <string>
#include <vector>

class RecordingFeedback : public FeedbackCalls {
public:
    int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type, int) override {
        boxes.push_back(text + L" / " + caption + L" / " + std::to_wstring(type));
        owners.push_back(parent);
        return answer;
    }
    int NoticeBox(HWND, const std::wstring&, DWORD) override { return 1; }
    void ShowWaitDialog(HWND, const RECT*, int) override {}
    void CloseWaitDialog() override {}
    void ShowProgressDialog(ProgressDescriptor&, HWND) override {}
    void CloseProgressDialog(ProgressDescriptor&) override {}

    int answer = ResultYes;
    std::vector<std::wstring> boxes; // in order
    std::vector<HWND> owners;
};
