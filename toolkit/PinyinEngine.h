#pragma once
// The pinyin engine behind the on-screen keyboards, wrapped once: letters in, Chinese
// candidates out, a choice fixed part by part until the whole spelling is, and
// follow-on words for what was just typed. The engine learns from the choices; what it
// learnt is kept in "\Quillora\Data\PinyinUser.dat" of the device root and used after
// a restart. The system dictionary comes with the engine's Debian package
// (QUILLORA_PINYIN_DICT names another).
//
// Opened on first use, so that the program's start does not wait for the dictionary.
// The engine holds one composition for the process: a composer that finds another one's
// there (User) searches its letters again. Every call takes the engine's lock.
//
// The engine stops the whole process (its own assertion) on some long spellings, such as
// fourteen "z": a composition is kept to MaxSafeLetters letters, short of every such
// spelling found by trying every letter, pair and triple repeated, and 300,000 others.

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

class PinyinEngine {
public:
    static constexpr std::size_t MaxSafeLetters = 12;
    enum class Choice { Failed, Partial, Complete };

    static PinyinEngine& Shared();

    // Whose composition the engine holds (a composer's address), and taking it.
    const void* User();
    void SetUser(const void* user);

    // Whether the engine could be opened (it is, on first asking).
    bool Available();
    // Searches the letters anew (keeping what it can of the last search): the number of
    // candidates, 0 when there are none or no engine.
    std::size_t Search(const std::string& letters);
    // Up to `count` candidates from `first` on. Candidate 0 is the best reading of the
    // whole spelling; the others are words for its first unfixed part.
    std::vector<std::wstring> Candidates(std::size_t first, std::size_t count);
    // The spelling as the engine splits it into syllables, from its first unfixed one:
    // "gong'fu".
    std::string UnfixedSpelling();
    // Fixes a candidate for the first unfixed syllables: Complete when the whole
    // spelling is fixed (then FixedText is the text), Failed for no such candidate.
    Choice Choose(std::size_t index);
    // Takes the last choice back; false when there was none.
    bool CancelLastChoice();
    // The text fixed so far, and how many letters of the spelling it took.
    std::wstring FixedText();
    std::size_t FixedLetters();
    // The letters at the end that the engine could not read as pinyin ("i" of "xi'i").
    std::string UnreadLetters();
    // Forgets the composition.
    void Reset();
    // Words that often follow `history` (its last few characters count).
    std::vector<std::wstring> Predictions(const std::wstring& history, std::size_t count);
    // Writes what the engine learnt.
    void Save();
    // Closes the engine (it opens again on next use), saving first: a restart.
    void Close();

private:
    PinyinEngine() = default;
    bool OpenLocked();
    std::wstring CandidateLocked(std::size_t index);
    std::size_t FixedSyllablesLocked();

    std::mutex m_lock;
    bool m_open = false;
    bool m_failed = false;
    std::size_t m_candidates = 0;
    const void* m_user = nullptr;
};
