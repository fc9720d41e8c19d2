#include "FuzzTargets.h"
#include "FuzzText.h"

#include "platform/registry/RegistryStore.h"
#include "playback/PlaylistFile.h"
#include "settings/IniDocument.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The input cut at its first `count` bytes 0x01: the pieces, then the rest.
std::vector<std::string> Pieces(std::string_view input, int count) {
    std::vector<std::string> pieces;
    for (int i = 0; i < count; ++i) {
        std::size_t cut = input.find('\x01');
        pieces.emplace_back(input.substr(0, cut));
        input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    }
    pieces.emplace_back(input);
    return pieces;
}

std::u16string Units(const std::string& bytes) {
    std::u16string text;
    for (unsigned char c : bytes)
        text += static_cast<char16_t>(c < 0x80 ? c : 0x4E00 + c); // a CJK character for the high bytes
    return text;
}

std::wstring Wide(const std::string& bytes) {
    std::wstring text;
    for (unsigned char c : bytes)
        text += static_cast<wchar_t>(c < 0x80 ? c : 0x4E00 + c);
    return text;
}

} // namespace

int FuzzPlaylist(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<PlaylistEntry> entries = ParsePlaylist(bytes);
    if (entries.size() > CountOf(bytes, "#EXTINF"))
        std::abort();
    for (const PlaylistEntry& entry : entries) {
        bool address = entry.address.starts_with(L"http://") || entry.address.starts_with(L"\\");
        if (!address || entry.address.find_first_of(L"\r\n") != std::wstring::npos ||
            entry.title.find_first_of(L"\r\n") != std::wstring::npos)
            std::abort();
    }
    return 0;
}

// "section\x01key\x01value\x01file bytes": the entry read from the file, then written;
// a write that succeeds reads back as written and keeps what follows the text's end.
int FuzzSettings(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> pieces = Pieces(std::string_view(reinterpret_cast<const char*>(data), size), 3);
    std::u16string section = Units(pieces[0]), key = Units(pieces[1]), value = Units(pieces[2]);
    IniDocument document(pieces[3]);
    if (!document.IsValid())
        return 0;
    (void)document.Read(section, key);
    std::optional<std::string> written = document.Write(section, key, value);
    if (!written)
        return 0;
    if (!document.IsWritable())
        std::abort();
    IniDocument after(*written);
    if (!after.IsValid() || after.Read(section, key) != value)
        std::abort();
    std::size_t zero = pieces[3].size();
    for (std::size_t at = 2; at + 1 < pieces[3].size(); at += 2) {
        if (pieces[3][at] == 0 && pieces[3][at + 1] == 0) {
            zero = at;
            break;
        }
    }
    if (!written->ends_with(std::string_view(pieces[3]).substr(zero)))
        std::abort();
    return 0;
}

// The registry file read, written and read again gives the same file; a store made by
// the registry calls from arbitrary names and data reads back from its file.
int FuzzRegistry(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string once = platform::RegistryStore::Parse(text).Serialize();
    if (platform::RegistryStore::Parse(once).Serialize() != once)
        std::abort();

    std::vector<std::string> pieces = Pieces(text, 3);
    std::wstring path = L"HKCU\\" + Wide(pieces[0]), name = Wide(pieces[1]);
    if (!platform::IsStorableKeyPath(path))
        return 0; // the registry's calls refuse such a key
    DWORD type = pieces[2].empty() ? 1 : static_cast<unsigned char>(pieces[2][0]) % 5;
    std::vector<BYTE> bytes(pieces[3].begin(), pieces[3].end());
    if (type == 1) { // a string: whole characters ending in a zero
        bytes.resize(bytes.size() / sizeof(wchar_t) * sizeof(wchar_t));
        bytes.insert(bytes.end(), sizeof(wchar_t), 0);
    } else if (type == 4) {
        bytes.resize(4);
    }
    platform::RegistryStore store;
    store.SetValue(path, {name, type, bytes});
    platform::RegistryStore back = platform::RegistryStore::Parse(store.Serialize());
    const platform::RegistryValue* value = back.FindValue(path, name);
    if (!value || value->type != type)
        std::abort();
    if (type != 1 && value->data != bytes)
        std::abort();
    return 0;
}
