#pragma once
// GBK (code page 936): tables filled once from the system's converter (iconv), then
// read by any thread. When the system cannot convert the charset the codec is not
// usable and every conversion reports failure by value; nothing throws.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct GbkTables;

class GbkCodec {
public:
    // The charset is asked of iconv by this name; the program's codec uses "CP936".
    explicit GbkCodec(const char* charset);
    ~GbkCodec();
    GbkCodec(const GbkCodec&) = delete;
    GbkCodec& operator=(const GbkCodec&) = delete;

    // The process's codec, built on first use.
    static const GbkCodec& System();

    bool IsUsable() const { return m_tables != nullptr; }
    // Undecodable bytes each become `replacement`; `hadInvalid` tells whether any did.
    std::optional<std::wstring> ToWide(std::string_view bytes, wchar_t replacement, bool& hadInvalid) const;
    // Characters GBK cannot hold each become `defaultChar`; `usedDefault` tells whether any did.
    std::optional<std::string> FromWide(std::wstring_view text, std::string_view defaultChar, bool& usedDefault) const;
    // UTF-8 straight to GBK, as decoding to wide text and encoding that would: ill-formed
    // sequences and characters GBK lacks become '?'.
    std::optional<std::string> FromUtf8(std::string_view text) const;

private:
    std::unique_ptr<const GbkTables> m_tables;
};

} // namespace platform
