#include "settings/IniDocument.h"

namespace {
constexpr std::size_t npos = std::u16string::npos;
const std::u16string LineEnd = u"\r\n";
} // namespace

IniDocument::IniDocument(std::string bytes) : m_bytes(std::move(bytes)) {
    if (!IsValid())
        return;
    // Read as if two zero bytes followed the file: a stray last byte is one more unit.
    for (std::size_t i = 2; i < m_bytes.size(); i += 2) {
        auto low = static_cast<unsigned char>(m_bytes[i]);
        auto high = i + 1 < m_bytes.size() ? static_cast<unsigned char>(m_bytes[i + 1]) : 0u;
        char16_t unit = static_cast<char16_t>(low | (high << 8));
        if (unit == u'\0') {
            m_tail = m_bytes.substr(i);
            break;
        }
        m_text += unit;
    }
}

bool IniDocument::IsValid() const {
    return m_bytes.size() > 1 && static_cast<unsigned char>(m_bytes[0]) == 0xFF &&
           static_cast<unsigned char>(m_bytes[1]) == 0xFE;
}

bool IniDocument::IsWritable() const { return IsValid() && m_bytes.size() % 2 == 0; }

std::optional<IniDocument::Entry> IniDocument::Find(const std::u16string& section, const std::u16string& key) const {
    // An empty name is found everywhere and nowhere: searching for it would never end.
    if (section.empty() || key.empty())
        return std::nullopt;
    std::size_t name = npos;
    for (std::size_t from = 0; (name = m_text.find(section, from)) != npos; from = name + section.size()) {
        bool opens = name > 0 && At(name - 1) == u'[' && (name == 1 || At(name - 2) == u'\n');
        bool closes = At(name + section.size()) == u']' && At(name + section.size() + 1) == u'\r';
        if (opens && closes)
            break;
    }
    if (name == npos)
        return std::nullopt;
    Entry entry{name + section.size() + 1, m_text.size(), std::nullopt};
    for (std::size_t bracket = m_text.find(u'[', entry.sectionBody); bracket != npos;
         bracket = m_text.find(u'[', bracket + 1)) {
        if (At(bracket - 1) == u'\n') {
            entry.sectionEnd = bracket;
            break;
        }
    }
    for (std::size_t from = entry.sectionBody;;) {
        std::size_t found = m_text.find(key, from);
        if (found == npos || found >= entry.sectionEnd)
            break;
        if (At(found + key.size()) == u'=') {
            entry.key = found;
            break;
        }
        from = found + key.size();
    }
    return entry;
}

std::optional<std::u16string> IniDocument::Read(const std::u16string& section, const std::u16string& key) const {
    if (!IsValid() || section.empty() || key.empty())
        return std::nullopt;
    auto entry = Find(section, key);
    if (!entry || !entry->key)
        return std::nullopt;
    std::size_t valueStart = *entry->key + key.size() + 1;
    std::size_t lineEnd = m_text.find(LineEnd, *entry->key);
    return m_text.substr(valueStart, lineEnd == npos ? npos : lineEnd - valueStart);
}

std::optional<std::string> IniDocument::Write(const std::u16string& section, const std::u16string& key,
                                              const std::u16string& value) const {
    if (!IsWritable() || section.empty() || key.empty())
        return std::nullopt;
    std::string bytes = ComposeWrite(section, key, value);
    IniDocument written(bytes);
    if (written.Read(section, key) == value)
        return bytes;
    // A header the reader did not know (one without CR behind it) becomes one once a
    // section is appended after it, and then hides that section: a second pass puts
    // the entry into the header's own section. What still cannot be read back fails.
    bytes = written.ComposeWrite(section, key, value);
    if (IniDocument(bytes).Read(section, key) == value)
        return bytes;
    return std::nullopt;
}

// The four cases of a write. Without a zero character in the file the two appending
// cases give exactly the old bytes followed by the addition.
std::string IniDocument::ComposeWrite(const std::u16string& section, const std::u16string& key,
                                      const std::u16string& value) const {
    auto entry = Find(section, key);
    if (!entry)
        return Build(m_text + (m_text.empty() ? u"[" : u"\r\n[") + section + u"]\r\n  " + key + u"=" + value);
    if (entry->key) {
        std::size_t lineEnd = m_text.find(LineEnd, *entry->key);
        std::u16string text = m_text.substr(0, *entry->key) + key + u"=" + value;
        if (lineEnd != npos)
            text += m_text.substr(lineEnd);
        return Build(text);
    }
    if (entry->sectionEnd < m_text.size())
        return Build(m_text.substr(0, entry->sectionEnd) + u"  " + key + u"=" + value + LineEnd +
                     m_text.substr(entry->sectionEnd));
    return Build(m_text + u"\r\n  " + key + u"=" + value);
}

std::string IniDocument::Bytes(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}
