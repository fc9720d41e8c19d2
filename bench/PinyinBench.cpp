// One more letter in pinyin (the composition searched again, its candidates fetched and
// the bar drawn) against an empty keystroke: the same letter typed in English. Each
// iteration taps the letter and then backspace, on the keyboard's pad as a finger would.

#include "platform/fs/DeviceRoot.h"
#include "platform/window/WindowApi.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/OnScreenKeyboard.h"
#include "toolkit/PinyinEngine.h"
#include "toolkit/UiEdit.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// The engine's learning goes to a root of the benchmark's own, not the user's.
void UseScratchRoot() {
    static const bool mounted = [] {
        std::filesystem::path root = std::filesystem::temp_directory_path() / "quillora-pinyin-bench";
        std::filesystem::create_directories(root);
        platform::MountDeviceRoot(root);
        return true;
    }();
    (void)mounted;
}

class BoxWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"BenchPinyinWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        edit.SetPos(10, 3, 400, 60);
        GetWinManager().AddChild(&edit);
        edit.SetKeyboard(KeyboardCompact, 65);
        edit.SetFocus(true);
        return TRUE;
    }
    UiEdit edit;
};

void Press(KeyPad& pad, KeyAction action, wchar_t character = 0) {
    std::optional<RECT> key = pad.FindKey(action, character);
    if (!key)
        return;
    int x = (key->left + key->right) / 2, y = (key->top + key->bottom) / 2;
    pad.OnLButtonDown(0, x, y);
    pad.OnLButtonUp(0, x, y);
}

void LetterAndBackspace(benchmark::State& state, bool pinyin) {
    UseScratchRoot();
    BoxWindow window;
    window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0);
    ShowWindow(window.GetHwnd(), SW_SHOW);
    OnScreenKeyboard* keyboard = window.edit.GetKeyboard();
    if (!keyboard) {
        state.SkipWithError("no keyboard");
        return;
    }
    keyboard->ShowKeyboard();
    KeyPad& pad = keyboard->Pad();
    if (pinyin) {
        Press(pad, KeyAction::Language);
        for (char letter : std::string("gongf"))
            Press(pad, KeyAction::Type, static_cast<wchar_t>(letter));
    }
    for (auto _ : state) {
        Press(pad, KeyAction::Type, L'u');
        Press(pad, KeyAction::Backspace);
    }
    window.Destroy();
}

// The engine's part alone: "gongf" searched, then "gongfu" with its candidates.
void EngineOneMoreLetter(benchmark::State& state) {
    UseScratchRoot();
    PinyinEngine& engine = PinyinEngine::Shared();
    if (!engine.Available()) {
        state.SkipWithError("no pinyin engine");
        return;
    }
    for (auto _ : state) {
        engine.Search("gongf");
        engine.Search("gongfu");
        benchmark::DoNotOptimize(engine.Candidates(0, 60));
    }
    engine.Reset();
}
BENCHMARK(EngineOneMoreLetter)->Unit(benchmark::kMicrosecond);

void EnglishLetterAndBackspace(benchmark::State& state) { LetterAndBackspace(state, false); }
void PinyinLetterAndBackspace(benchmark::State& state) { LetterAndBackspace(state, true); }
BENCHMARK(EnglishLetterAndBackspace)->Unit(benchmark::kMicrosecond);
BENCHMARK(PinyinLetterAndBackspace)->Unit(benchmark::kMicrosecond);

} // namespace
