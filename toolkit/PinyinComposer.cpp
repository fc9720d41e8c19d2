#include "toolkit/PinyinComposer.h"

#include "platform/base/Utf8.h"

void PinyinComposer::AddLetter(char letter) {
    // A letter after a choice starts over on the letters: the choices were for a
    // spelling that is changing.
    if (m_choices > 0) {
        m_engine.Reset();
        m_choices = 0;
    }
    m_letters += letter;
    Refresh();
}

bool PinyinComposer::Backspace() {
    if (!IsComposing())
        return false;
    if (m_choices > 0 && m_engine.CancelLastChoice()) {
        --m_choices;
    } else {
        m_letters.pop_back();
        m_choices = 0;
    }
    if (m_letters.empty())
        Clear();
    else
        Refresh();
    return true;
}

void PinyinComposer::Refresh() {
    if (m_choices == 0)
        m_engine.Search(m_letters);
    std::wstring fixed = m_engine.FixedText();
    m_preedit = fixed + platform::WideFromUtf8(m_engine.UnfixedSpelling());
    m_candidates = m_engine.Candidates(0, MaxCandidates);
    // The best reading repeats what is fixed already: the bar shows only its rest.
    if (!m_candidates.empty() && m_candidates.front().size() >= fixed.size())
        m_candidates.front() = m_candidates.front().substr(fixed.size());
}

std::wstring PinyinComposer::Choose(std::size_t index) {
    if (!IsComposing()) {
        if (index >= m_candidates.size())
            return {};
        return Finish(m_candidates[index]);
    }
    if (index >= m_candidates.size())
        return {};
    if (!m_engine.Choose(index)) {
        ++m_choices;
        Refresh();
        return {};
    }
    return Finish(m_engine.FixedText() + platform::WideFromUtf8(m_engine.UnreadLetters()));
}

std::wstring PinyinComposer::TakeFirst() {
    if (!IsComposing())
        return {};
    // The best reading may leave letters no syllable takes ("xq"): they follow as typed.
    std::string letters = m_letters;
    // Each choice fixes at least a syllable: as many rounds as letters are enough.
    for (std::size_t round = 0; round <= letters.size() && IsComposing() && !m_candidates.empty(); ++round) {
        std::wstring typed = Choose(0);
        if (!typed.empty())
            return typed;
    }
    Clear();
    return platform::WideFromUtf8(letters);
}

std::wstring PinyinComposer::TakeLetters() {
    std::wstring letters = platform::WideFromUtf8(m_letters);
    Clear();
    return letters;
}

std::wstring PinyinComposer::Finish(const std::wstring& text) {
    m_engine.Reset();
    m_engine.Save();
    m_letters.clear();
    m_choices = 0;
    m_preedit.clear();
    m_candidates = m_engine.Predictions(text, MaxCandidates);
    return text;
}

void PinyinComposer::Clear() {
    if (IsComposing())
        m_engine.Reset();
    m_letters.clear();
    m_choices = 0;
    m_preedit.clear();
    m_candidates.clear();
}
