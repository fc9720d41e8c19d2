#include "toolkit/Theme.h"

#include "platform/device/Module.h"
#include "platform/device/Sound.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/registry/Registry.h"

#include <array>
#include <map>
#include <mutex>
#include <optional>

namespace {

constexpr const wchar_t* ThemeKey = L"SOFTWARE\\DeviceVendor\\Theme";
constexpr const wchar_t* ColoursKey = L"SOFTWARE\\DeviceVendor\\Theme\\Colors";
constexpr COLORREF OutOfRange = 0xFF0000;

struct ColourEntry {
    const wchar_t* name;
    COLORREF fallback;
};

constexpr std::array<ColourEntry, ThemeColourCount> Colours = {{
    {L"SYSCLR_WINDOW_BG", 0xECECEC},
    {L"SYSCLR_WINDOW_TEXT", 0x000000},
    {L"SYSCLR_BUTTON_TEXT", 0xFFFFFF},
    {L"SYSCLR_BUTTONEX_TEXT", 0x000000},
    {L"SYSCLR_BUTTONEX_TEXT2", 0x787878},
    {L"SYSCLR_CAPTION_TEXT", 0x000000},
    {L"SYSCLR_EDIT_TEXT", 0x000000},
    {L"SYSCLR_LIST_TEXT", 0x000000},
    {L"SYSCLR_LIST_TEXT2", 0x505050},
    {L"SYSCLR_LIST_TEXT3", 0x787878},
    {L"SYSCLR_STATIC_TEXT", 0x000000},
    {L"SYSCLR_TOOLBAR_TEXT", 0xFFFFFF},
    {L"SYSCLR_TOOLBAR_TEXT_DISABLED", 0xB4B4B4},
    {L"SYSCLR_CAPTION_BG1", 0xB4A8A2},
    {L"SYSCLR_CAPTION_BG2", 0xECE3DA},
    {L"SYSCLR_LIST_GRIDLINE1_COLOR1", 0xF2F2F2},
    {L"SYSCLR_LIST_GRIDLINE1_COLOR2", 0xFAFAFA},
    {L"SYSCLR_LIST_GRIDLINE2_COLOR1", 0xE6E6E6},
    {L"SYSCLR_LIST_GRIDLINE2_COLOR2", 0xC8C8C8},
    {L"SYSCLR_LIST_TEXT_HIGHLIGHT", 0xD77300},
    {L"SYSCLR_BUTTON_TEXT_NEGATIVE", 0x6F5646},
    {L"SYSCLR_LIST_SELECTED_BG_GRADIENT1", 0xFACE7A},
    {L"SYSCLR_LIST_SELECTED_BG_GRADIENT2", 0xFAE27D},
    {L"SYSCLR_LIST_SELECTED_BG_GRADIENT3", 0xFAFAB0},
    {L"SYSCLR_CAPTION_OUTER_LINE", 0x9E9288},
    {L"SYSCLR_CAPTION_INNER_LINE", 0xEDECE3},
}};

// An open registry key that closes itself; null when it could not be opened.
class Key {
public:
    Key(HKEY root, const wchar_t* path, bool create) {
        LONG result = create ? RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr)
                             : RegOpenKeyExW(root, path, 0, KEY_READ, &m_key);
        if (result != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key() {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    std::optional<DWORD> Number(const wchar_t* name) const {
        DWORD value = 0, type = 0, size = sizeof value;
        if (!m_key ||
            RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return std::nullopt;
        return value;
    }
    void SetNumber(const wchar_t* name, DWORD value) const {
        if (m_key)
            RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    // The size is asked first, then a buffer of that size is read.
    std::wstring Text(const wchar_t* name) const {
        DWORD type = 0, size = 0;
        if (!m_key || RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
            return {};
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
            return {};
        text.resize(std::wcslen(text.c_str()));
        return text;
    }

private:
    HKEY m_key = nullptr;
};

struct Theme {
    std::mutex lock;
    std::optional<std::array<COLORREF, ThemeColourCount>> colours;
    std::optional<std::wstring> themeName, fontName;
    std::map<std::uint64_t, HFONT> fonts;
    std::optional<HMODULE> module;
};

// Never destroyed: pop-ups on threads that are never joined may draw at exit.
Theme& TheTheme() {
    static Theme& theme = *new Theme;
    return theme;
}

// The two theme strings, read together once. Must be called with the lock held.
void ReadThemeStrings(Theme& theme) {
    if (theme.themeName)
        return;
    Key key(HKEY_LOCAL_MACHINE, ThemeKey, true);
    theme.themeName = key.Text(L"ThemeName");
    theme.fontName = key.Text(L"FontName");
}

// From high to low: size, weight (12 bits), italic, then underline × 8 plus the
// orientation, all shifted left by 4.
std::uint64_t FontKey(int size, int weight, bool underline, bool italic, int orientation) {
    std::uint64_t low = static_cast<std::uint64_t>((underline ? 8 : 0) + (orientation & 7)) & 0xFF;
    std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(size)) << 21) |
                        ((static_cast<std::uint64_t>(weight) & 0xFFF) << 9) | (italic ? 1u << 8 : 0) | low;
    return key << 4;
}

bool KeySoundsOn() {
    Key volume(HKEY_CURRENT_USER, L"ControlPanel\\Volume", false);
    return volume.Number(L"Silence").value_or(0) != 1 && volume.Number(L"Key").value_or(0) == 1;
}

} // namespace

COLORREF GetThemeColour(int index) {
    if (index < 0 || index >= ThemeColourCount)
        return OutOfRange;
    Theme& theme = TheTheme();
    std::lock_guard guard(theme.lock);
    if (!theme.colours) {
        theme.colours.emplace();
        Key key(HKEY_LOCAL_MACHINE, ColoursKey, true);
        for (int i = 0; i < ThemeColourCount; ++i) {
            std::optional<DWORD> stored = key.Number(Colours[i].name);
            if (!stored)
                key.SetNumber(Colours[i].name, Colours[i].fallback);
            (*theme.colours)[i] = stored.value_or(Colours[i].fallback);
        }
    }
    return (*theme.colours)[index];
}

std::wstring GetThemeName() {
    Theme& theme = TheTheme();
    std::lock_guard guard(theme.lock);
    ReadThemeStrings(theme);
    return *theme.themeName;
}

std::wstring GetFontName() {
    Theme& theme = TheTheme();
    std::lock_guard guard(theme.lock);
    ReadThemeStrings(theme);
    return *theme.fontName;
}

std::wstring GetThemeFilePath(const std::wstring& fileName) {
    return L"\\Windows\\Themes\\" + GetThemeName() + L"\\" + fileName;
}

HMODULE GetResourceModule() {
    Theme& theme = TheTheme();
    {
        std::lock_guard guard(theme.lock);
        if (theme.module)
            return *theme.module;
    }
    // The pack is read without the lock, so that colours and fonts are not held up by it;
    // of two threads loading it at once, the first to finish keeps its copy.
    std::wstring themed = GetThemeFilePath(L"ftres.dll");
    HMODULE module = LoadLibraryExW(themed.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        module = LoadLibraryExW(L"ftres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::lock_guard guard(theme.lock);
    if (theme.module) {
        if (module)
            FreeLibrary(module);
        return *theme.module;
    }
    theme.module = module;
    return module;
}

HFONT GetFont(int size, int weight, bool underline, bool italic, int orientation) {
    Theme& theme = TheTheme();
    std::lock_guard guard(theme.lock);
    std::uint64_t key = FontKey(size, weight, underline, italic, orientation);
    if (auto found = theme.fonts.find(key); found != theme.fonts.end())
        return found->second;
    ReadThemeStrings(theme);
    static constexpr LONG Turns[] = {0, 900, 1800, 2700};
    LOGFONTW logical{};
    logical.lfHeight = -size;
    logical.lfEscapement = logical.lfOrientation = orientation >= 0 && orientation < 4 ? Turns[orientation] : 0;
    logical.lfWeight = weight;
    logical.lfItalic = italic;
    logical.lfUnderline = underline;
    logical.lfCharSet = 1; // DEFAULT_CHARSET
    logical.lfQuality = 5; // CLEARTYPE_QUALITY
    // The theme's face replaces "Arial"; an empty one leaves the face empty (the
    // fallback face). The field keeps its terminator, so a longer name is cut.
    theme.fontName->copy(logical.lfFaceName, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&logical);
    if (font) // a font that could not be made is tried again next time
        theme.fonts[key] = font;
    return font;
}

void PlayKeySound() {
    if (KeySoundsOn())
        PlaySoundW(L"\\Windows\\keyloud.wav", nullptr, SND_ASYNC);
}

void PlaySwitchSound() {
    if (KeySoundsOn())
        PlaySoundW(L"\\Windows\\switch.wav", nullptr, SND_ASYNC);
}

DWORD GetDebugZones() {
    static const DWORD zones =
        Key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\DeviceVendor\\Debug", false).Number(L"FTK").value_or(0);
    return zones;
}

void ReleaseThemeResources() {
    Theme& theme = TheTheme();
    std::lock_guard guard(theme.lock);
    for (auto& [key, font] : theme.fonts)
        DeleteObject(font);
    theme.fonts.clear();
    if (theme.module && *theme.module)
        FreeLibrary(*theme.module);
    theme.module.reset();
    // A theme changed in the registry is taken at the next start.
    theme.colours.reset();
    theme.themeName.reset();
    theme.fontName.reset();
}
