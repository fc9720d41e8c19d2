#include "platform/text/GbkCodec.h"

#include <bit>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace platform {
namespace {

static_assert(sizeof(wchar_t) == 4 && std::endian::native == std::endian::little,
              "wide text is handed to iconv as UTF-32LE");

class Descriptor {
public:
    Descriptor(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between GBK and UTF-32LE");
    }
    ~Descriptor() { iconv_close(m_cd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    iconv_t Reset() {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

Descriptor& Decoder() {
    thread_local Descriptor descriptor("UTF-32LE", "CP936");
    return descriptor;
}

Descriptor& Encoder() {
    thread_local Descriptor descriptor("CP936", "UTF-32LE");
    return descriptor;
}

// Runs iconv over the whole input. On a sequence it cannot convert, `onInvalid` is told
// and the input advances by `skip` bytes; output grows as needed.
template <class OnInvalid>
std::string Convert(Descriptor& descriptor, const char* input, std::size_t inputSize, std::size_t skip,
                    OnInvalid onInvalid) {
    iconv_t cd = descriptor.Reset();
    std::string out(inputSize * 2 + 16, '\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(input);
    std::size_t inLeft = inputSize;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut off by the end of the input).
        std::string replacement = onInvalid();
        if (out.size() - used < replacement.size())
            out.resize(out.size() * 2 + replacement.size());
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
        std::size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
        cd = descriptor.Reset();
    }
    out.resize(used);
    return out;
}

} // namespace

std::wstring WideFromGbk(std::string_view bytes, wchar_t replacement, bool& hadInvalid) {
    hadInvalid = false;
    std::string units = Convert(Decoder(), bytes.data(), bytes.size(), 1, [&] {
        hadInvalid = true;
        return std::string(reinterpret_cast<const char*>(&replacement), sizeof replacement);
    });
    std::wstring out(units.size() / sizeof(wchar_t), L'\0');
    units.copy(reinterpret_cast<char*>(out.data()), out.size() * sizeof(wchar_t));
    return out;
}

std::string GbkFromWide(std::wstring_view text, std::string_view defaultChar, bool& usedDefault) {
    usedDefault = false;
    return Convert(Encoder(), reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t),
                   sizeof(wchar_t), [&] {
                       usedDefault = true;
                       return std::string(defaultChar);
                   });
}

} // namespace platform
