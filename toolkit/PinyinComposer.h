#pragma once
// One keyboard's pinyin composition over the engine: the letters typed so far, what the
// candidate bar offers for them, and what a choice types. After a text is typed the bar
// offers the words that often follow it, until the next letter.
//
// Lives on its keyboard's thread.

#include "toolkit/PinyinEngine.h"

#include <string>
#include <vector>

class PinyinComposer {
public:
    // How many candidates the bar is given at most.
    static constexpr std::size_t MaxCandidates = 60;

    explicit PinyinComposer(PinyinEngine& engine) : m_engine(engine) {}

    bool IsComposing() const { return !m_letters.empty(); }
    const std::string& Letters() const { return m_letters; }
    // What the bar shows of the composition: the fixed characters, then the rest of the
    // spelling in syllables ("功夫'pan'da").
    const std::wstring& Preedit() const { return m_preedit; }
    const std::vector<std::wstring>& Candidates() const { return m_candidates; }
    bool OffersFollowOns() const { return !IsComposing() && !m_candidates.empty(); }

    void AddLetter(char letter);
    // Takes back the last choice, else the last letter; false when nothing is composed.
    bool Backspace();
    // The text a tap on the candidate types: the whole composition once the choice
    // fixes all of it, a follow-on word at once, else nothing yet.
    std::wstring Choose(std::size_t index);
    // Space: the best reading of the whole composition.
    std::wstring TakeFirst();
    // Enter: the letters as they were typed.
    std::wstring TakeLetters();
    // Forgets the composition and the follow-on words.
    void Clear();

private:
    void Refresh();
    // The composition is typed: the engine learns it and offers what may follow.
    std::wstring Finish(const std::wstring& text);

    PinyinEngine& m_engine;
    std::string m_letters;
    int m_choices = 0;
    std::wstring m_preedit;
    std::vector<std::wstring> m_candidates;
};
