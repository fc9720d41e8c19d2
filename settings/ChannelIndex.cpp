#include "settings/ChannelIndex.h"

#include "platform/text/AnsiText.h"

namespace {

struct InitialRun {
    unsigned first;
    unsigned last;
    wchar_t letter;
};

// GB2312 orders its first-level characters (rows 16 to 55) by their reading, so all the
// characters of one initial form one run of codes, each run ending one below the start
// of the next: from 啊 (B0A1) to 澳 for A, from 芭 for B, and so on to 座 (D7F9), the last
// of Z. No reading begins with I, U or V, so those letters have no run.
constexpr InitialRun InitialRuns[] = {
    {0xB0A1, 0xB0C4, L'A'}, {0xB0C5, 0xB2C0, L'B'}, {0xB2C1, 0xB4ED, L'C'}, {0xB4EE, 0xB6E9, L'D'},
    {0xB6EA, 0xB7A1, L'E'}, {0xB7A2, 0xB8C0, L'F'}, {0xB8C1, 0xB9FD, L'G'}, {0xB9FE, 0xBBF6, L'H'},
    {0xBBF7, 0xBFA5, L'J'}, {0xBFA6, 0xC0AB, L'K'}, {0xC0AC, 0xC2E7, L'L'}, {0xC2E8, 0xC4C2, L'M'},
    {0xC4C3, 0xC5B5, L'N'}, {0xC5B6, 0xC5BD, L'O'}, {0xC5BE, 0xC6D9, L'P'}, {0xC6DA, 0xC8BA, L'Q'},
    {0xC8BB, 0xC8F5, L'R'}, {0xC8F6, 0xCBF9, L'S'}, {0xCBFA, 0xCDD9, L'T'}, {0xCDDA, 0xCEF3, L'W'},
    {0xCEF4, 0xD1B8, L'X'}, {0xD1B9, 0xD4D0, L'Y'}, {0xD4D1, 0xD7F9, L'Z'},
};

bool IsLatinLetter(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

} // namespace

wchar_t Gb2312Initial(unsigned code) {
    for (const InitialRun& run : InitialRuns) {
        if (code >= run.first && code <= run.last)
            return run.letter;
    }
    return 0;
}

std::wstring IndexKeyOfAnsi(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x80) {
            if (IsLatinLetter(byte))
                return std::wstring(1, static_cast<wchar_t>(byte & ~0x20));
            continue;
        }
        // A lead byte that ends the name has lost its trail byte: it is no character.
        if (i + 1 == name.size())
            break;
        unsigned code = byte * 256u + static_cast<unsigned char>(name[++i]);
        if (wchar_t letter = Gb2312Initial(code))
            return std::wstring(1, letter);
    }
    return {};
}

std::wstring IndexKey(std::wstring_view name) { return IndexKeyOfAnsi(platform::AnsiFromWide(name)); }

int FirstChannelWithKey(const std::vector<ChannelEntry>& channels, std::wstring_view letter) {
    if (letter.empty())
        return -1;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (channels[i].key == letter)
            return static_cast<int>(i);
    }
    return -1;
}
