#pragma once
// One keyboard's pinyin composition over the engine: the letters typed so far, the
// choices made for its first syllables, what the candidate bar offers, and what a choice
// types. After a text is typed the bar offers the words that often follow it, until the
// next letter. A composition holds at most PinyinEngine::MaxSafeLetters letters: the
// keyboard types the best reading of a full one before it takes another letter.
//
// Lives on its keyboard's thread. Composers of several keyboards share the one engine:
// each searches its letters again when the engine last served another.

#include "toolkit/PinyinEngine.h"

#include <string>
#include <vector>

class PinyinComposer {
public:
    // How many candidates the bar is given at most.
    static constexpr std::size_t MaxCandidates = 60;

    explicit PinyinComposer(PinyinEngine& engine) : m_engine(engine) {}
    ~PinyinComposer();
    PinyinComposer(const PinyinComposer&) = delete;
    PinyinComposer& operator=(const PinyinComposer&) = delete;

    bool IsComposing() const { return !m_letters.empty(); }
    bool IsFull() const { return m_letters.size() >= PinyinEngine::MaxSafeLetters; }
    const std::string& Letters() const { return m_letters; }
    // What the bar shows of the composition: the characters chosen, then the rest of the
    // spelling in syllables ("功夫gong").
    const std::wstring& Preedit() const { return m_preedit; }
    const std::vector<std::wstring>& Candidates() const { return m_candidates; }
    bool OffersFollowOns() const { return !IsComposing() && !m_candidates.empty(); }

    // False (and nothing changes) when the composition is full.
    bool AddLetter(char letter);
    // Takes back the last letter, or the last choice when no letter came after it; false
    // when nothing is composed.
    bool Backspace();
    // The text a tap on the candidate types: the whole composition once the choice
    // fixes all of it, a follow-on word at once, else nothing yet.
    std::wstring Choose(std::size_t index);
    // Space: the best reading of the whole composition.
    std::wstring TakeFirst();
    // Enter: the characters chosen so far and the letters after them as they were typed.
    std::wstring TakeLetters();
    // Forgets the composition and the follow-on words.
    void Clear();

private:
    // The engine holds this composition (searched again when it held another's).
    void Claim();
    // The characters chosen and the letters typed after them.
    std::wstring TakeLettersKeeping();
    void Refresh();
    // The composition is typed: the engine learns it and offers what may follow.
    std::wstring Finish(std::wstring text);

    PinyinEngine& m_engine;
    std::string m_letters;
    // For each choice made, how many letters there were when it was made.
    std::vector<std::size_t> m_choices;
    std::wstring m_preedit;
    std::vector<std::wstring> m_candidates;
};
