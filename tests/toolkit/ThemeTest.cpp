#include "toolkit/Theme.h"

#include "platform/device/Module.h"
#include "platform/device/Sound.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "platform/registry/Registry.h"
#include "support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

void SetNumber(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void SetText(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::optional<DWORD> Number(HKEY root, const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD value = 0, size = sizeof value;
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::optional<DWORD>(value) : std::nullopt;
}

class ThemeTest : public ::testing::Test {
protected:
    ThemeTest() { ReleaseThemeResources(); }
    ~ThemeTest() override { ReleaseThemeResources(); }

    TemporaryRoot m_root;
};

constexpr const wchar_t* Colours = L"SOFTWARE\\DeviceVendor\\Theme\\Colors";

TEST_F(ThemeTest, ColoursComeFromTheRegistryAndMissingOnesAreWrittenBack) {
    SetNumber(HKEY_LOCAL_MACHINE, Colours, L"SYSCLR_CAPTION_BG1", 0x123456);
    EXPECT_EQ(GetThemeColour(SYSCLR_CAPTION_BG1), 0x123456u);
    EXPECT_EQ(GetThemeColour(SYSCLR_LIST_TEXT_HIGHLIGHT), 0xD77300u);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, Colours, L"SYSCLR_LIST_TEXT_HIGHLIGHT"), 0xD77300u);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, Colours, L"SYSCLR_CAPTION_INNER_LINE"), 0xEDECE3u);
    EXPECT_EQ(GetThemeColour(ThemeColourCount), 0xFF0000u);
    EXPECT_EQ(GetThemeColour(-1), 0xFF0000u);
    // Read once: a later change waits for the next start.
    SetNumber(HKEY_LOCAL_MACHINE, Colours, L"SYSCLR_CAPTION_BG1", 0x654321);
    EXPECT_EQ(GetThemeColour(SYSCLR_CAPTION_BG1), 0x123456u);
}

TEST_F(ThemeTest, NamesAndTheThemeFolder) {
    SetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\DeviceVendor\\Theme", L"ThemeName", L"Blue");
    EXPECT_EQ(GetThemeName(), L"Blue");
    EXPECT_EQ(GetFontName(), L"");
    EXPECT_EQ(GetThemeFilePath(L"ftres.dll"), L"\\Windows\\Themes\\Blue\\ftres.dll");
}

TEST_F(ThemeTest, TheSameFontParametersGiveTheSameFontInTheThemesFace) {
    SetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\DeviceVendor\\Theme", L"FontName", L"DejaVu Sans");
    HFONT font = GetFont(20, FW_BOLD, false, false, FontUpright);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetFont(20, FW_BOLD, false, false, FontUpright), font);
    std::vector<HFONT> others = {
        GetFont(21, FW_BOLD, false, false, FontUpright), GetFont(20, FW_NORMAL, false, false, FontUpright),
        GetFont(20, FW_BOLD, true, false, FontUpright), GetFont(20, FW_BOLD, false, true, FontUpright),
        GetFont(20, FW_BOLD, false, false, FontTurnedLeft)};
    for (HFONT other : others)
        EXPECT_NE(other, font);
    LOGFONTW logical{};
    ASSERT_GT(GetObjectW(font, sizeof logical, &logical), 0);
    EXPECT_EQ(logical.lfHeight, -20);
    EXPECT_STREQ(logical.lfFaceName, L"DejaVu Sans");
    ASSERT_GT(GetObjectW(others.back(), sizeof logical, &logical), 0);
    EXPECT_EQ(logical.lfEscapement, 900);
}

TEST_F(ThemeTest, FontsMadeOnSeveralThreadsAreOneFont) {
    std::vector<HFONT> made(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < made.size(); ++i)
        threads.emplace_back([&made, i] { made[i] = GetFont(17, FW_NORMAL, false, false, FontUpright); });
    for (std::thread& thread : threads)
        thread.join();
    for (HFONT font : made)
        EXPECT_EQ(font, made[0]);
}

TEST_F(ThemeTest, KeySoundsFollowTheVolumeSettings) {
    WriteHostFile(m_root.Host("Windows/keyloud.wav"), "RIFF");
    WriteHostFile(m_root.Host("Windows/switch.wav"), "RIFF");
    auto played = [] { return platform::PlayedSounds().size(); };
    std::size_t before = played();
    PlayKeySound(); // no volume settings: key sounds are off
    EXPECT_EQ(played(), before);
    SetNumber(HKEY_CURRENT_USER, L"ControlPanel\\Volume", L"Key", 1);
    PlayKeySound();
    PlaySwitchSound();
    ASSERT_EQ(played(), before + 2);
    EXPECT_EQ(platform::PlayedSounds()[before], L"\\Windows\\keyloud.wav");
    EXPECT_EQ(platform::PlayedSounds()[before + 1], L"\\Windows\\switch.wav");
    SetNumber(HKEY_CURRENT_USER, L"ControlPanel\\Volume", L"Silence", 1);
    PlayKeySound();
    PlaySwitchSound();
    EXPECT_EQ(played(), before + 2);
}

TEST_F(ThemeTest, TheResourceModuleIsTheThemesPackElseTheSystemsElseNone) {
    std::filesystem::remove(m_root.Host("Windows/ftres.dll"));
    EXPECT_EQ(GetResourceModule(), nullptr);
    ReleaseThemeResources();
    std::string pack = platform::ResourcePackBytes({{10, 142, 0, "system"}});
    WriteHostFile(m_root.Host("Windows/ftres.dll"), pack);
    HMODULE module = GetResourceModule();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetResourceModule(), module);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(142), RT_RCDATA);
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                          SizeofResource(module, resource)),
              "system");
    ReleaseThemeResources();
    SetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\DeviceVendor\\Theme", L"ThemeName", L"Blue");
    WriteHostFile(m_root.Host("Windows/Themes/Blue/ftres.dll"), platform::ResourcePackBytes({{10, 142, 0, "themed"}}));
    module = GetResourceModule();
    resource = FindResourceW(module, MAKEINTRESOURCEW(142), RT_RCDATA);
    EXPECT_EQ(SizeofResource(module, resource), 6u);
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(module, resource))), 6), "themed");
}

TEST(ResourcePacks, BrokenPacksAreRefusedAndResourcesFoundByNumber) {
    TemporaryRoot root(TemporaryRoot::Image::None);
    std::string pack =
        platform::ResourcePackBytes({{10, 1001, 2052, "png one"}, {10, 1002, 2052, ""}, {3, 1001, 0, "x"}});
    WriteHostFile(root.Host("pack.dll"), pack);
    HMODULE module = LoadLibraryExW(L"\\pack.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC first = FindResourceW(module, MAKEINTRESOURCEW(1001), RT_RCDATA);
    EXPECT_EQ(SizeofResource(module, first), 7u);
    EXPECT_EQ(SizeofResource(module, FindResourceW(module, MAKEINTRESOURCEW(1002), RT_RCDATA)), 0u);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1003), RT_RCDATA), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1001), RT_RCDATA), nullptr);

    for (std::string broken : {std::string("QRESPACK"), pack.substr(0, pack.size() - 1), "MZ" + pack.substr(2)}) {
        WriteHostFile(root.Host("broken.dll"), broken);
        EXPECT_EQ(LoadLibraryExW(L"\\broken.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr) << broken.size();
    }
    EXPECT_EQ(LoadLibraryExW(L"\\missing.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);

    static const std::string image = "program image";
    platform::RegisterProgramResources({{10, 1001, 2052, image}});
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC own = FindResourceW(program, MAKEINTRESOURCEW(1001), RT_RCDATA);
    EXPECT_EQ(LockResource(LoadResource(program, own)), image.data());
}

} // namespace
