#include "platform/registry/RegistryStore.h"

#include "platform/base/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <sstream>

namespace platform {
namespace {

constexpr DWORD TypeDword = 4;
constexpr DWORD TypeString = 1;

std::wstring StringOf(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) // an empty value has no bytes to copy (and no pointer to copy from)
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::string Quote(const std::wstring& text) {
    std::string out = "\"";
    for (char c : Utf8FromWide(text)) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted string starting at `pos` (on the opening quote); advances past it.
std::optional<std::wstring> Unquote(const std::string& line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return WideFromUtf8(out);
        }
        if (c == '\\' && pos + 1 < line.size()) {
            char next = line[++pos];
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

std::string FormatData(const RegistryValue& value) {
    if (value.type == TypeDword && value.data.size() == 4) {
        DWORD number;
        std::memcpy(&number, value.data.data(), 4);
        char text[20];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return text;
    }
    if (value.type == TypeString)
        return Quote(StringOf(value.data));
    std::string out = "hex(" + std::to_string(value.type) + "):";
    char byte[4];
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", value.data[i]);
        out += byte;
    }
    return out;
}

std::optional<RegistryValue> ParseData(std::wstring name, const std::string& line, std::size_t pos) {
    RegistryValue value{std::move(name), 0, {}};
    std::string rest = line.substr(pos);
    if (rest.rfind("dword:", 0) == 0) {
        DWORD number = static_cast<DWORD>(std::strtoul(rest.c_str() + 6, nullptr, 16));
        value.type = TypeDword;
        value.data.resize(4);
        std::memcpy(value.data.data(), &number, 4);
        return value;
    }
    if (rest.rfind("\"", 0) == 0) {
        auto text = Unquote(line, pos);
        if (!text)
            return std::nullopt;
        value.type = TypeString;
        value.data.resize((text->size() + 1) * sizeof(wchar_t));
        std::memcpy(value.data.data(), text->c_str(), value.data.size());
        return value;
    }
    unsigned type = 0;
    int consumed = 0;
    if (std::sscanf(rest.c_str(), "hex(%u):%n", &type, &consumed) < 1 || consumed == 0)
        return std::nullopt;
    value.type = type;
    std::istringstream bytes(rest.substr(consumed));
    for (std::string byte; std::getline(bytes, byte, ',');) {
        if (!byte.empty())
            value.data.push_back(static_cast<BYTE>(std::strtoul(byte.c_str(), nullptr, 16)));
    }
    return value;
}

} // namespace

bool IsStorableKeyPath(const std::wstring& path) {
    return std::none_of(path.begin(), path.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; });
}

std::wstring RegistryStore::Fold(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& c : folded)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return folded;
}

bool RegistryStore::HasKey(const std::wstring& path) const { return m_keys.count(Fold(path)) != 0; }

bool RegistryStore::CreateKey(const std::wstring& path) {
    if (HasKey(path))
        return false;
    for (std::size_t cut = path.find(L'\\'); cut != std::wstring::npos; cut = path.find(L'\\', cut + 1)) {
        std::wstring parent = path.substr(0, cut);
        m_keys.try_emplace(Fold(parent), Key{parent, {}});
    }
    m_keys.emplace(Fold(path), Key{path, {}});
    return true;
}

const RegistryValue* RegistryStore::FindValue(const std::wstring& path, const std::wstring& name) const {
    auto key = m_keys.find(Fold(path));
    if (key == m_keys.end())
        return nullptr;
    std::wstring folded = Fold(name);
    for (const RegistryValue& value : key->second.values) {
        if (Fold(value.name) == folded)
            return &value;
    }
    return nullptr;
}

void RegistryStore::SetValue(const std::wstring& path, RegistryValue value) {
    CreateKey(path);
    Key& key = m_keys[Fold(path)];
    std::wstring folded = Fold(value.name);
    for (RegistryValue& existing : key.values) {
        if (Fold(existing.name) == folded) {
            existing.type = value.type;
            existing.data = std::move(value.data);
            return;
        }
    }
    key.values.push_back(std::move(value));
}

bool RegistryStore::DeleteValue(const std::wstring& path, const std::wstring& name) {
    auto key = m_keys.find(Fold(path));
    if (key == m_keys.end())
        return false;
    std::wstring folded = Fold(name);
    auto& values = key->second.values;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (Fold(it->name) == folded) {
            values.erase(it);
            return true;
        }
    }
    return false;
}

bool RegistryStore::DeleteKey(const std::wstring& path) {
    std::wstring folded = Fold(path);
    if (!m_keys.erase(folded))
        return false;
    // The keys below sort together from the prefix on ("a\b c" sorts before "a\b\x").
    std::wstring prefix = folded + L'\\';
    auto first = m_keys.lower_bound(prefix), last = first;
    while (last != m_keys.end() && last->first.starts_with(prefix))
        ++last;
    m_keys.erase(first, last);
    return true;
}

std::optional<std::wstring> RegistryStore::SubKeyName(const std::wstring& path, std::size_t index) const {
    std::wstring prefix = Fold(path) + L'\\';
    for (auto it = m_keys.lower_bound(prefix); it != m_keys.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.find(L'\\', prefix.size()) != std::wstring::npos)
            continue;
        if (index-- == 0)
            return it->second.path.substr(prefix.size());
    }
    return std::nullopt;
}

std::string RegistryStore::Serialize() const {
    std::string out;
    for (const auto& [folded, key] : m_keys) {
        out += '[';
        out += Utf8FromWide(key.path);
        out += "]\n";
        for (const RegistryValue& value : key.values)
            out += (value.name.empty() ? std::string("@") : Quote(value.name)) + "=" + FormatData(value) + "\n";
        out += "\n";
    }
    return out;
}

RegistryStore RegistryStore::Parse(const std::string& text) {
    RegistryStore store;
    std::optional<std::wstring> current;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            current = WideFromUtf8(line.substr(1, line.size() - 2));
            store.CreateKey(*current);
            continue;
        }
        if (!current || line.empty())
            continue;
        std::size_t pos = 0;
        std::wstring name;
        if (line[0] == '@') {
            pos = 1;
        } else if (auto quoted = Unquote(line, pos)) {
            name = *quoted;
        } else {
            continue;
        }
        if (pos >= line.size() || line[pos] != '=')
            continue;
        if (auto value = ParseData(name, line, pos + 1))
            store.SetValue(*current, std::move(*value));
    }
    return store;
}

} // namespace platform
