#include "toolkit/PinyinComposer.h"

#include "platform/base/Utf8.h"

#include <algorithm>

PinyinComposer::~PinyinComposer() {
    if (m_engine.User() == this) {
        m_engine.Reset();
        m_engine.SetUser(nullptr);
    }
}

void PinyinComposer::Claim() {
    if (m_engine.User() == this)
        return;
    // Another keyboard's composition is there: this one's letters again, without the
    // choices, which were made against that state.
    m_engine.SetUser(this);
    m_engine.Reset();
    m_choices.clear();
    if (IsComposing())
        m_engine.Search(m_letters);
}

bool PinyinComposer::AddLetter(char letter) {
    if (IsFull())
        return false;
    Claim();
    // The engine keeps the characters chosen while the spelling grows at its end.
    m_letters += letter;
    m_engine.Search(m_letters);
    Refresh();
    return true;
}

bool PinyinComposer::Backspace() {
    if (!IsComposing())
        return false;
    Claim();
    if (!m_choices.empty() && m_choices.back() == m_letters.size() && m_engine.CancelLastChoice()) {
        m_choices.pop_back();
    } else {
        m_letters.pop_back();
        // A letter of a chosen syllable is gone: those choices go with it.
        while (!m_choices.empty() && m_choices.back() > m_letters.size())
            m_choices.pop_back();
        if (m_choices.empty())
            m_engine.Reset();
        if (IsComposing())
            m_engine.Search(m_letters);
    }
    if (IsComposing())
        Refresh();
    else
        Clear();
    return true;
}

void PinyinComposer::Refresh() {
    std::wstring fixed = m_engine.FixedText();
    m_preedit = fixed + platform::WideFromUtf8(m_engine.UnfixedSpelling());
    m_candidates = m_engine.Candidates(0, MaxCandidates);
    // The best reading repeats what is fixed already: the bar shows only its rest.
    if (!m_candidates.empty() && m_candidates.front().size() >= fixed.size())
        m_candidates.front() = m_candidates.front().substr(fixed.size());
}

std::wstring PinyinComposer::Choose(std::size_t index) {
    if (!IsComposing())
        return index < m_candidates.size() ? Finish(m_candidates[index]) : std::wstring();
    Claim();
    switch (m_engine.Choose(index)) {
    case PinyinEngine::Choice::Failed: return {};
    case PinyinEngine::Choice::Partial:
        m_choices.push_back(m_letters.size());
        Refresh();
        return {};
    case PinyinEngine::Choice::Complete: break;
    }
    return Finish(m_engine.FixedText() + platform::WideFromUtf8(m_engine.UnreadLetters()));
}

std::wstring PinyinComposer::TakeFirst() {
    if (!IsComposing())
        return {};
    std::wstring letters = TakeLettersKeeping();
    // Each choice fixes at least a syllable: as many rounds as letters are enough.
    for (std::size_t round = 0; round <= m_letters.size() && IsComposing() && !m_candidates.empty(); ++round) {
        std::wstring typed = Choose(0);
        if (!typed.empty())
            return typed;
    }
    // Nothing the engine can read (a lone "i"): the letters as they are.
    Clear();
    return letters;
}

std::wstring PinyinComposer::TakeLettersKeeping() {
    Claim();
    std::size_t fixed = m_choices.empty() ? 0 : std::min(m_engine.FixedLetters(), m_letters.size());
    return m_engine.FixedText() + platform::WideFromUtf8(m_letters.substr(fixed));
}

std::wstring PinyinComposer::TakeLetters() {
    std::wstring letters = IsComposing() ? TakeLettersKeeping() : std::wstring();
    Clear();
    return letters;
}

std::wstring PinyinComposer::Finish(std::wstring text) {
    m_engine.Reset();
    m_engine.Save();
    m_letters.clear();
    m_choices.clear();
    m_preedit.clear();
    m_candidates = m_engine.Predictions(text, MaxCandidates);
    return text;
}

void PinyinComposer::Clear() {
    if (IsComposing() && m_engine.User() == this)
        m_engine.Reset();
    m_letters.clear();
    m_choices.clear();
    m_preedit.clear();
    m_candidates.clear();
}
