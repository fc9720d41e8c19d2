#pragma once
// The settings file's text: UTF-16LE after the mark FF FE, lines ending in CR LF,
// "[name]" headers that start a line and end in CR, and "key=value" entries found by
// plain search within their section. The text ends at its first zero character.
// A document only reads its bytes; writing yields the bytes of the new file.

#include <optional>
#include <string>

class IniDocument {
public:
    explicit IniDocument(std::string bytes);

    // A readable file has at least two bytes and begins with FF FE.
    bool IsValid() const;
    // Writing also needs an even number of bytes: appending whole units behind a stray
    // byte would shift every character added, so such a damaged file is left alone.
    bool IsWritable() const;
    std::optional<std::u16string> Read(const std::u16string& section, const std::u16string& key) const;
    std::string Write(const std::u16string& section, const std::u16string& key, const std::u16string& value) const;

private:
    struct Entry {
        std::size_t sectionBody; // just behind the header's "]"
        std::size_t sectionEnd;  // the "[" of the next section, or the end of the text
        std::optional<std::size_t> key;
    };

    std::optional<Entry> Find(const std::u16string& section, const std::u16string& key) const;
    char16_t At(std::size_t index) const { return index < m_text.size() ? m_text[index] : u'\0'; }
    static std::string Bytes(const std::u16string& text);

    std::string m_bytes;
    std::u16string m_text;
};
