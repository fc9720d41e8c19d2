#pragma once
// Feedback calls that note every message box ("text / caption / type", with its owner)
// and answer each with the next scripted answer, then with `answer` (yes unless told
// otherwise) once the script is used up.

#include "toolkit/FeedbackCalls.h"

#include <deque>
#include <string>
#include <vector>

class RecordingFeedback : public FeedbackCalls {
public:
    int MessageBox(HWND parent, const std::wstring& text, const std::wstring& caption, UINT type, int) override {
        boxes.push_back(text + L" / " + caption + L" / " + std::to_wstring(type));
        owners.push_back(parent);
        if (answers.empty())
            return answer;
        int next = answers.front();
        answers.pop_front();
        return next;
    }
    int NoticeBox(HWND, const std::wstring&, DWORD) override { return 1; }
    void ShowWaitDialog(HWND, const RECT*, int) override {}
    void CloseWaitDialog() override {}
    void ShowProgressDialog(ProgressDescriptor&, HWND) override {}
    void CloseProgressDialog(ProgressDescriptor&) override {}

    std::deque<int> answers;
    int answer = ResultYes;
    std::vector<std::wstring> boxes; // in order
    std::vector<HWND> owners;
};
