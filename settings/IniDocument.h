#pragma once
// The settings file's text: UTF-16LE after the mark FF FE, lines ending in CR LF,
// "[name]" headers that start a line and end in CR, and "key=value" entries found by
// plain search within their section. The text ends at its first zero character.
// A document only reads its bytes; writing yields the bytes of the new file.
//
// Whatever follows a zero character is kept byte for byte by every write, and what a
// write adds goes into the text, before the zero, where readers find it.

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
    // The new file's bytes; nothing when the document is not writable or the entry would
    // not read back as written (a value with a line break, say), which makes the write a
    // failure.
    std::optional<std::string> Write(const std::u16string& section, const std::u16string& key,
                                     const std::u16string& value) const;

private:
    struct Entry {
        std::size_t sectionBody; // just behind the header's "]"
        std::size_t sectionEnd;  // the "[" of the next section, or the end of the text
        std::optional<std::size_t> key;
    };

    std::optional<Entry> Find(const std::u16string& section, const std::u16string& key) const;
    char16_t At(std::size_t index) const { return index < m_text.size() ? m_text[index] : u'\0'; }
    static std::string Bytes(const std::u16string& text);

    std::string Build(const std::u16string& text) const { return "\xFF\xFE" + Bytes(text) + m_tail; }
    std::string ComposeWrite(const std::u16string& section, const std::u16string& key,
                             const std::u16string& value) const;

    std::string m_bytes;
    std::u16string m_text;
    std::string m_tail; // the bytes from the zero character that ends the text on
};
