#include "toolkit/PinyinEngine.h"

#include "platform/fs/DeviceRoot.h"

#include <pinyinime.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

using ime_pinyin::char16;

constexpr const wchar_t* UserDictionary = L"\\Quillora\\Data\\PinyinUser.dat";
// Long enough for any search text and what it becomes.
constexpr std::size_t MaxLetters = 64, MaxCharacters = 32;

std::string SystemDictionary() {
    const char* chosen = std::getenv("QUILLORA_PINYIN_DICT");
    return chosen && *chosen ? chosen : QUILLORA_PINYIN_SYSTEM_DICT;
}

std::wstring Wide(const char16* text) {
    std::wstring wide;
    for (; text && *text; ++text)
        wide += static_cast<wchar_t>(*text);
    return wide;
}

std::vector<char16> Narrow16(const std::wstring& text) {
    std::vector<char16> out;
    for (wchar_t c : text) {
        if (c <= 0xFFFF)
            out.push_back(static_cast<char16>(c));
    }
    out.push_back(0);
    return out;
}

} // namespace

PinyinEngine& PinyinEngine::Shared() {
    static PinyinEngine& engine = *new PinyinEngine;
    return engine;
}

// The learning's file in the device root; where the root cannot hold it, a file of this
// process's own, so that only the learning is lost.
std::filesystem::path UserDictionaryPath() {
    std::error_code error;
    std::optional<std::filesystem::path> user = platform::HostPathFromDevice(UserDictionary);
    if (user && (std::filesystem::create_directories(user->parent_path(), error), !error))
        return *user;
    return std::filesystem::temp_directory_path(error) / ("quillora-pinyin-" + std::to_string(::getpid()) + ".dat");
}

bool PinyinEngine::OpenLocked() {
    if (m_open || m_failed)
        return m_open;
    m_open = ime_pinyin::im_open_decoder(SystemDictionary().c_str(), UserDictionaryPath().c_str());
    // A missing dictionary stays missing: the keyboard then types letters.
    m_failed = !m_open;
    if (m_open)
        ime_pinyin::im_set_max_lens(MaxLetters, MaxCharacters);
    return m_open;
}

const void* PinyinEngine::User() {
    std::lock_guard guard(m_lock);
    return m_user;
}

void PinyinEngine::SetUser(const void* user) {
    std::lock_guard guard(m_lock);
    m_user = user;
}

bool PinyinEngine::Available() {
    std::lock_guard guard(m_lock);
    return OpenLocked();
}

std::size_t PinyinEngine::Search(const std::string& letters) {
    std::lock_guard guard(m_lock);
    if (!OpenLocked() || letters.size() > MaxSafeLetters)
        return 0;
    m_candidates = ime_pinyin::im_search(letters.c_str(), letters.size());
    return m_candidates;
}

std::wstring PinyinEngine::CandidateLocked(std::size_t index) {
    char16 text[MaxCharacters + 1] = {};
    if (index >= m_candidates || !ime_pinyin::im_get_candidate(index, text, MaxCharacters))
        return {};
    text[MaxCharacters] = 0;
    return Wide(text);
}

std::vector<std::wstring> PinyinEngine::Candidates(std::size_t first, std::size_t count) {
    std::lock_guard guard(m_lock);
    std::vector<std::wstring> candidates;
    if (!m_open)
        return candidates;
    for (std::size_t index = first; index < m_candidates && candidates.size() < count; ++index)
        candidates.push_back(CandidateLocked(index));
    return candidates;
}

std::size_t PinyinEngine::FixedSyllablesLocked() { return ime_pinyin::im_get_fixed_len(); }

std::string PinyinEngine::UnfixedSpelling() {
    std::lock_guard guard(m_lock);
    if (!m_open)
        return {};
    std::size_t decoded = 0;
    const char* spelling = ime_pinyin::im_get_sps_str(&decoded);
    const ime_pinyin::uint16* starts = nullptr;
    std::size_t syllables = ime_pinyin::im_get_spl_start_pos(starts);
    std::size_t fixed = FixedSyllablesLocked();
    std::string text;
    for (std::size_t i = fixed; starts && i < syllables; ++i) {
        if (i > fixed)
            text += '\'';
        text.append(spelling + starts[i], spelling + starts[i + 1]);
    }
    // Letters the engine could not read as a syllable follow as they are.
    std::string all = spelling ? spelling : "";
    std::size_t read = starts && syllables > 0 ? starts[syllables] : 0;
    if (read < all.size()) {
        if (!text.empty())
            text += '\'';
        text.append(all, read, std::string::npos);
    }
    return text;
}

PinyinEngine::Choice PinyinEngine::Choose(std::size_t index) {
    std::lock_guard guard(m_lock);
    if (!m_open || index >= m_candidates)
        return Choice::Failed;
    m_candidates = ime_pinyin::im_choose(index);
    const ime_pinyin::uint16* starts = nullptr;
    std::size_t syllables = ime_pinyin::im_get_spl_start_pos(starts);
    return FixedSyllablesLocked() >= syllables ? Choice::Complete : Choice::Partial;
}

bool PinyinEngine::CancelLastChoice() {
    std::lock_guard guard(m_lock);
    if (!m_open || FixedSyllablesLocked() == 0)
        return false;
    m_candidates = ime_pinyin::im_cancel_last_choice();
    return true;
}

std::wstring PinyinEngine::FixedText() {
    std::lock_guard guard(m_lock);
    if (!m_open)
        return {};
    return CandidateLocked(0).substr(0, FixedSyllablesLocked());
}

std::size_t PinyinEngine::FixedLetters() {
    std::lock_guard guard(m_lock);
    if (!m_open)
        return 0;
    const ime_pinyin::uint16* starts = nullptr;
    std::size_t syllables = ime_pinyin::im_get_spl_start_pos(starts);
    std::size_t fixed = FixedSyllablesLocked();
    return starts && fixed <= syllables ? starts[fixed] : 0;
}

std::string PinyinEngine::UnreadLetters() {
    std::lock_guard guard(m_lock);
    if (!m_open)
        return {};
    std::size_t decoded = 0;
    const char* spelling = ime_pinyin::im_get_sps_str(&decoded);
    std::string all = spelling ? spelling : "";
    return decoded < all.size() ? all.substr(decoded) : std::string();
}

void PinyinEngine::Reset() {
    std::lock_guard guard(m_lock);
    if (m_open)
        ime_pinyin::im_reset_search();
    m_candidates = 0;
}

std::vector<std::wstring> PinyinEngine::Predictions(const std::wstring& history, std::size_t count) {
    std::lock_guard guard(m_lock);
    std::vector<std::wstring> predictions;
    if (!OpenLocked() || history.empty())
        return predictions;
    std::wstring recent =
        history.substr(history.size() > ime_pinyin::kMaxPredictSize ? history.size() - ime_pinyin::kMaxPredictSize : 0);
    std::vector<char16> buffer = Narrow16(recent);
    char16(*found)[ime_pinyin::kMaxPredictSize + 1] = nullptr;
    std::size_t total = ime_pinyin::im_get_predicts(buffer.data(), found);
    for (std::size_t i = 0; found && i < total && predictions.size() < count; ++i)
        predictions.push_back(Wide(found[i]));
    return predictions;
}

void PinyinEngine::Save() {
    std::lock_guard guard(m_lock);
    if (m_open)
        ime_pinyin::im_flush_cache();
}

void PinyinEngine::Close() {
    std::lock_guard guard(m_lock);
    if (m_open) {
        ime_pinyin::im_flush_cache();
        ime_pinyin::im_close_decoder();
    }
    m_open = m_failed = false;
    m_candidates = 0;
}
