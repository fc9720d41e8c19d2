#include "platform/text/GbkCodec.h"

#include "platform/base/Utf8.h"

#include <array>
#include <bit>
#include <iconv.h>
#include <vector>

namespace platform {

static_assert(sizeof(wchar_t) == 4 && std::endian::native == std::endian::little,
              "wide text is handed to iconv as UTF-32LE");

constexpr unsigned FirstLead = 0x81, LastLead = 0xFE, FirstTrail = 0x40, LastTrail = 0xFE;
constexpr unsigned TrailCount = LastTrail - FirstTrail + 1;

// GBK in both directions as two tables, filled once from the system's converter.
// Per character iconv is slow for whole pages; a table lookup is not.
struct GbkTables {
    // Wide character (BMP) → GBK: 0 unmappable, < 0x100 one byte, else lead << 8 | trail.
    std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, 0);
    // Single byte 0x80..0xFF → wide character, 0 when it needs a trail byte or is invalid.
    std::array<char32_t, 0x80> single{};
    // (lead, trail) → wide character, 0 when the pair is not GBK.
    std::vector<char32_t> pairs = std::vector<char32_t>((LastLead - FirstLead + 1) * TrailCount, 0);
};

namespace {

// Converts one short sequence; nothing when iconv refuses it or leaves part of it.
bool ConvertOnce(iconv_t cd, const char* input, std::size_t inputSize, char* output, std::size_t& outputSize) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    char* out = output;
    std::size_t inLeft = inputSize, outLeft = outputSize;
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return false;
    outputSize -= outLeft;
    return true;
}

// The two converters of one charset, closed when done.
struct Converters {
    iconv_t decoder;
    iconv_t encoder;
    explicit Converters(const char* charset)
        : decoder(iconv_open("UTF-32LE", charset)), encoder(iconv_open(charset, "UTF-32LE")) {}
    ~Converters() {
        for (iconv_t cd : {decoder, encoder}) {
            if (cd != Unopened())
                iconv_close(cd);
        }
    }
    static iconv_t Unopened() { return reinterpret_cast<iconv_t>(-1); }
    bool IsOpen() const { return decoder != Unopened() && encoder != Unopened(); }
};

std::unique_ptr<const GbkTables> BuildTables(const char* charset) {
    Converters converters(charset);
    if (!converters.IsOpen())
        return nullptr;
    iconv_t decoder = converters.decoder, encoder = converters.encoder;
    auto tables = std::make_unique<GbkTables>();
    char bytes[8];
    char32_t wide;
    std::size_t size;
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        size = sizeof bytes;
        if (!ConvertOnce(encoder, reinterpret_cast<const char*>(&c), 4, bytes, size) || size == 0 || size > 2)
            continue;
        auto first = static_cast<unsigned char>(bytes[0]);
        tables->encode[c] =
            size == 1 ? first : static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(bytes[1]));
    }
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        char single = static_cast<char>(byte);
        size = sizeof wide;
        if (ConvertOnce(decoder, &single, 1, reinterpret_cast<char*>(&wide), size) && size == 4)
            tables->single[byte - 0x80] = wide;
    }
    for (unsigned lead = FirstLead; lead <= LastLead; ++lead) {
        for (unsigned trail = FirstTrail; trail <= LastTrail; ++trail) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            size = sizeof wide;
            if (ConvertOnce(decoder, pair, 2, reinterpret_cast<char*>(&wide), size) && size == 4)
                tables->pairs[(lead - FirstLead) * TrailCount + (trail - FirstTrail)] = wide;
        }
    }
    return tables;
}

} // namespace

GbkCodec::GbkCodec(const char* charset) : m_tables(BuildTables(charset)) {}

GbkCodec::~GbkCodec() = default;

const GbkCodec& GbkCodec::System() {
    static const GbkCodec codec("CP936");
    return codec;
}

std::optional<std::wstring> GbkCodec::ToWide(std::string_view bytes, wchar_t replacement, bool& hadInvalid) const {
    if (!m_tables)
        return std::nullopt;
    const GbkTables& tables = *m_tables;
    hadInvalid = false;
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out += static_cast<wchar_t>(byte);
            continue;
        }
        if (char32_t single = tables.single[byte - 0x80]) {
            out += static_cast<wchar_t>(single);
            continue;
        }
        if (byte >= FirstLead && byte <= LastLead && i + 1 < bytes.size()) {
            auto trail = static_cast<unsigned char>(bytes[i + 1]);
            if (trail >= FirstTrail && trail <= LastTrail) {
                if (char32_t pair = tables.pairs[(byte - FirstLead) * TrailCount + (trail - FirstTrail)]) {
                    out += static_cast<wchar_t>(pair);
                    ++i;
                    continue;
                }
            }
        }
        // A byte that starts no character: it alone is replaced, the next is read anew.
        hadInvalid = true;
        out += replacement;
    }
    return out;
}

namespace {

// Appends the GBK bytes of one character; false when GBK lacks it.
bool AppendGbk(const GbkTables& tables, char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return true;
    }
    std::uint16_t code = c < 0x10000 ? tables.encode[c] : 0;
    if (code == 0)
        return false;
    if (code >= 0x100)
        out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
    return true;
}

} // namespace

std::optional<std::string> GbkCodec::FromWide(std::wstring_view text, std::string_view defaultChar,
                                              bool& usedDefault) const {
    if (!m_tables)
        return std::nullopt;
    const GbkTables& tables = *m_tables;
    usedDefault = false;
    std::string out;
    out.reserve(text.size() * 2);
    for (wchar_t w : text) {
        if (!AppendGbk(tables, static_cast<char32_t>(w), out)) {
            usedDefault = true;
            out += defaultChar;
        }
    }
    return out;
}

std::optional<std::string> GbkCodec::FromUtf8(std::string_view text) const {
    if (!m_tables)
        return std::nullopt;
    const GbkTables& tables = *m_tables;
    std::string out;
    out.reserve(text.size());
    bool invalid = false;
    for (std::size_t pos = 0; pos < text.size();) {
        // Pages are mostly ASCII, which is the same in both: copy such runs whole.
        std::size_t run = pos;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80)
            ++run;
        out.append(text.data() + pos, run - pos);
        pos = run;
        if (pos < text.size() && !AppendGbk(tables, DecodeUtf8(text, pos, invalid), out))
            out += '?';
    }
    return out;
}

} // namespace platform
