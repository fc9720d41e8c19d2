// Chinese on the on-screen keyboard: the pinyin engine's candidates and its learning
// across a restart, and the keyboard in pinyin mode driven by taps on the headless
// screen into a text box (a candidate typed, space and enter, backspace in a
// composition, English again, the box's maximum length).

#include "platform/window/Input.h"
#include "platform/window/WindowApi.h"
#include "support/Sanitizers.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"
#include "toolkit/FtHostWnd.h"
#include "toolkit/OnScreenKeyboard.h"
#include "toolkit/PinyinComposer.h"
#include "toolkit/PinyinEngine.h"
#include "toolkit/UiEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::size_t PlaceOf(const std::vector<std::wstring>& candidates, const std::wstring& word) {
    return static_cast<std::size_t>(std::find(candidates.begin(), candidates.end(), word) - candidates.begin());
}

class PinyinEngineTest : public ::testing::Test {
protected:
    PinyinEngineTest() { PinyinEngine::Shared().Close(); }
    ~PinyinEngineTest() override { PinyinEngine::Shared().Close(); }
    TemporaryRoot root; // the user's learning goes into it
};

TEST_F(PinyinEngineTest, GongfuOffersItsWordsAndAPhraseChosenIsOfferedWholeAfterARestart) {
    PinyinEngine& engine = PinyinEngine::Shared();
    ASSERT_TRUE(engine.Available());
    ASSERT_GT(engine.Search("gongfu"), 3u);
    EXPECT_LT(PlaceOf(engine.Candidates(0, 60), L"功夫"), 3u);
    EXPECT_EQ(engine.UnfixedSpelling(), "gong'fu");

    // "gongfugong" fixed part by part, off the engine's own reading: 工夫, then a
    // character behind the first for the last syllable.
    engine.Search("gongfugong");
    std::vector<std::wstring> before = engine.Candidates(0, 60);
    EXPECT_EQ(engine.Choose(PlaceOf(before, L"工夫")), PinyinEngine::Choice::Partial);
    EXPECT_EQ(engine.UnfixedSpelling(), "gong");
    std::vector<std::wstring> rest = engine.Candidates(1, 60);
    ASSERT_GT(rest.size(), 3u);
    EXPECT_EQ(engine.Choose(3), PinyinEngine::Choice::Complete);
    std::wstring phrase = engine.FixedText();
    EXPECT_EQ(phrase, L"工夫" + rest[2]);
    ASSERT_EQ(PlaceOf(before, phrase), before.size()) << "not offered before";
    engine.Reset();
    engine.Close();

    engine.Search("gongfugong");
    EXPECT_LT(PlaceOf(engine.Candidates(0, 60), phrase), 60u) << "learnt, and kept in the device root";
    EXPECT_TRUE(std::filesystem::exists(root.Host("Quillora/Data/PinyinUser.dat")));
}

// The engine stops the process on some long spellings (fourteen "z"): every letter and
// every pair of letters repeated up to the composition's limit is searched as it is
// typed, in a child process, which must come back.
TEST_F(PinyinEngineTest, EveryRepeatedLetterAndPairUpToTheLimitIsSafe) {
#ifdef QUILLORA_UNDER_THREAD_SANITIZER
    GTEST_SKIP() << "a fork of a process with threads, which the race detector does not follow";
#endif
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PinyinComposer composer(PinyinEngine::Shared());
        for (char a = 'a'; a <= 'z'; ++a) {
            for (char b = 'a'; b <= 'z'; ++b) {
                for (std::size_t i = 0; composer.AddLetter(i % 2 ? b : a); ++i) {
                }
                composer.Clear();
            }
        }
        ::_exit(composer.AddLetter('a') ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST_F(PinyinEngineTest, AChoiceForTheFirstSyllablesStaysWhileTheRestIsComposed) {
    PinyinComposer composer(PinyinEngine::Shared());
    for (char letter : std::string("gongfugong"))
        composer.AddLetter(letter);
    EXPECT_EQ(composer.Choose(PlaceOf(composer.Candidates(), L"功夫")), L"");
    EXPECT_EQ(composer.Preedit(), L"功夫gong");
    EXPECT_EQ(composer.Candidates().front().find(L"功夫"), std::wstring::npos) << "shown without what is chosen";
    composer.AddLetter('f');
    EXPECT_EQ(composer.Preedit().substr(0, 2), L"功夫") << "a letter more keeps the choice";
    composer.Backspace();
    composer.Backspace(); // no letter after the choice: the choice goes
    EXPECT_EQ(composer.Preedit(), L"gong'fu'gong");
    EXPECT_EQ(composer.Letters(), "gongfugong");
    EXPECT_EQ(composer.TakeLetters(), L"gongfugong");

    // Letters no syllable begins with are typed as they are.
    composer.AddLetter('i');
    EXPECT_EQ(composer.TakeFirst(), L"i");
    // A composition of another keyboard in between: this one's letters count again.
    PinyinComposer other(PinyinEngine::Shared());
    composer.AddLetter('n');
    composer.AddLetter('i');
    other.AddLetter('w');
    other.AddLetter('o');
    EXPECT_EQ(composer.TakeFirst().size(), 1u) << "a reading of \"ni\", not of \"wo\"";
}

TEST_F(PinyinEngineTest, WithoutItsDictionaryTheKeyboardTypesLetters) {
    ScopedEnvironment missing("QUILLORA_PINYIN_DICT", "/nonexistent/dict_pinyin.dat");
    PinyinEngine::Shared().Close();
    EXPECT_FALSE(PinyinEngine::Shared().Available());
    PinyinComposer composer(PinyinEngine::Shared());
    composer.AddLetter('a');
    EXPECT_TRUE(composer.Candidates().empty());
    EXPECT_EQ(composer.TakeFirst(), L"a");
}

// A window with one text box whose compact keyboard is up, and the keys to tap on it.
class KeyboardWindow : public CFtHostWnd {
public:
    const wchar_t* GetFtClassName() const override { return L"PinyinTestWnd"; }
    BOOL OnInitDialog() override {
        CFtHostWnd::OnInitDialog();
        edit = std::make_unique<UiEdit>();
        edit->SetID(2030);
        GetWinManager().AddChild(edit.get());
        edit->SetPos(10, 3, 400, 60);
        edit->SetKeyboard(KeyboardCompact, 65);
        return TRUE;
    }
    std::unique_ptr<UiEdit> edit;
};

class PinyinKeyboardTest : public ::testing::Test {
protected:
    PinyinKeyboardTest() {
        PinyinEngine::Shared().Close();
        EXPECT_TRUE(window.Create(0, 0, 480, 720, nullptr, nullptr, WS_POPUP, 0));
        ShowWindow(window.GetHwnd(), SW_SHOW);
        Pump();
        Tap(POINT{100, 30}); // the box takes the focus and shows its keyboard
    }
    ~PinyinKeyboardTest() override { PinyinEngine::Shared().Close(); }

    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    static void Tap(POINT screen) {
        platform::InjectTouch(platform::TouchPhase::Down, screen);
        platform::InjectTouch(platform::TouchPhase::Up, screen);
        Pump();
    }
    OnScreenKeyboard& Keyboard() { return *window.edit->GetKeyboard(); }
    // A point of the keyboard's window, on the screen.
    POINT OnKeyboard(int x, int y) {
        RECT place = Keyboard().GetWindowRect();
        return POINT{place.left + x, place.top + y};
    }
    void TapKey(KeyAction action, wchar_t character = 0) {
        std::optional<RECT> key = Keyboard().FindKey(action, character);
        ASSERT_TRUE(key.has_value()) << static_cast<int>(action) << " " << static_cast<int>(character);
        Tap(OnKeyboard((key->left + key->right) / 2, (key->top + key->bottom) / 2));
    }
    void TapLetters(const std::string& letters) {
        for (char letter : letters)
            TapKey(KeyAction::Type, static_cast<wchar_t>(letter));
    }
    const std::vector<std::wstring>& Candidates() { return Keyboard().Pad().Composer().Candidates(); }
    // Taps the candidate, sliding the bar along first when it lies beyond its right end.
    void TapCandidate(const std::wstring& word) {
        std::size_t index = PlaceOf(Candidates(), word);
        ASSERT_LT(index, Candidates().size()) << "not offered";
        RECT cell = Keyboard().Bar().CandidateCells()[index];
        if (cell.right > 480) {
            POINT from = OnKeyboard(400, 35), to = OnKeyboard(400 - (cell.right - 470), 35);
            platform::InjectTouch(platform::TouchPhase::Down, from);
            platform::InjectTouch(platform::TouchPhase::Move, to);
            platform::InjectTouch(platform::TouchPhase::Up, to);
            Pump();
            cell = Keyboard().Bar().CandidateCells()[index];
        }
        Tap(OnKeyboard((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    }
    std::wstring Text() { return window.edit->GetText(); }

    TemporaryRoot root;
    KeyboardWindow window;
};

TEST_F(PinyinKeyboardTest, GongfuTypedByTapsOffersTheWordAndATapTypesIt) {
    ASSERT_TRUE(Keyboard().IsShown());
    TapKey(KeyAction::Language);
    ASSERT_TRUE(Keyboard().Pad().IsChinese());
    TapLetters("gongfu");
    EXPECT_EQ(Text(), L"") << "letters compose; nothing is typed yet";
    EXPECT_EQ(Keyboard().Pad().Composer().Preedit(), L"gong'fu");
    EXPECT_LT(PlaceOf(Candidates(), L"功夫"), 5u);
    TapCandidate(L"功夫");
    EXPECT_EQ(Text(), L"功夫");
    EXPECT_FALSE(Keyboard().Pad().Composer().IsComposing());
    EXPECT_FALSE(Candidates().empty()) << "words that may follow";
    // Space takes the best reading; enter the letters as they are.
    TapLetters("zhongguo");
    TapKey(KeyAction::Space);
    EXPECT_EQ(Text(), L"功夫中国");
    TapLetters("abc");
    TapKey(KeyAction::Enter);
    EXPECT_EQ(Text(), L"功夫中国abc");
}

TEST_F(PinyinKeyboardTest, BackspaceEditsTheCompositionFirstAndEnglishTypesLetters) {
    window.edit->SetText(L"好");
    TapKey(KeyAction::Language);
    TapLetters("gongf");
    TapKey(KeyAction::Backspace);
    EXPECT_EQ(Keyboard().Pad().Composer().Letters(), "gong");
    EXPECT_EQ(Text(), L"好");
    for (int i = 0; i < 4; ++i)
        TapKey(KeyAction::Backspace);
    EXPECT_FALSE(Keyboard().Pad().Composer().IsComposing());
    EXPECT_EQ(Text(), L"好");
    TapKey(KeyAction::Backspace);
    EXPECT_EQ(Text(), L"") << "with nothing composed it goes to the box";

    TapLetters("ni");
    TapKey(KeyAction::Language); // the letters are typed as they are, then English
    EXPECT_FALSE(Keyboard().Pad().IsChinese());
    TapLetters("hao");
    EXPECT_EQ(Text(), L"nihao");
    EXPECT_TRUE(Candidates().empty());
}

TEST_F(PinyinKeyboardTest, AFullCompositionIsTypedBeforeTheNextLetterAndFollowOnsEndWithPunctuation) {
    TapKey(KeyAction::Language);
    TapLetters(std::string(PinyinEngine::MaxSafeLetters + 2, 'z'));
    EXPECT_EQ(Keyboard().Pad().Composer().Letters(), "zz");
    EXPECT_FALSE(Text().empty()) << "the first twelve, as best read";
    EXPECT_EQ(Text().find(L'z'), std::wstring::npos);
    window.edit->SetText(L"");
    Keyboard().Pad().FinishComposition(false);
    window.edit->SetText(L"");

    TapLetters("zhongguo");
    TapKey(KeyAction::Space);
    ASSERT_FALSE(Candidates().empty());
    std::wstring followOn = Candidates().front();
    TapCandidate(followOn);
    EXPECT_EQ(Text(), L"中国" + followOn);
    TapKey(KeyAction::Type, L'.');
    EXPECT_TRUE(Candidates().empty()) << "nothing follows a full stop";
}

TEST_F(PinyinKeyboardTest, AWindowReadingTheBoxGetsTheCompositionAsBestRead) {
    TapKey(KeyAction::Language);
    TapLetters("zhongguo");
    EXPECT_EQ(Text(), L"");
    window.edit->FinishComposition();
    EXPECT_EQ(Text(), L"中国");
    EXPECT_FALSE(Keyboard().Pad().Composer().IsComposing());
}

TEST_F(PinyinKeyboardTest, TheBoxsMaximumLengthHoldsForWhatACandidateTypes) {
    window.edit->SetMaxLength(3);
    window.edit->SetText(L"ab");
    TapKey(KeyAction::Language);
    TapLetters("gongfu");
    TapCandidate(L"功夫");
    EXPECT_EQ(Text(), L"ab功");
}

TEST_F(PinyinKeyboardTest, ThePunctuationOfTheLettersPageEndsTheCompositionWithItsBestReading) {
    TapKey(KeyAction::Language);
    TapLetters("zhongguo");
    TapKey(KeyAction::Type, L'.');
    EXPECT_EQ(Text(), L"中国.");
    // Hiding the keyboard keeps what was composed.
    TapLetters("ren");
    TapKey(KeyAction::Hide);
    EXPECT_EQ(Text(), L"中国.ren");
}

} // namespace
