#include "platform/base/DebugOutput.h"

#include "platform/base/Utf8.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <vector>

void NKDbgPrintfW(const wchar_t* format, ...) {
    if (!format)
        return;
    std::vector<wchar_t> buffer(512);
    for (;;) {
        va_list args;
        va_start(args, format);
        int written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0)
            break;
        // vswprintf reports truncation only as failure: grow until the line fits.
        if (buffer.size() >= (1u << 20))
            return;
        buffer.resize(buffer.size() * 2);
    }
    std::string line = platform::Utf8FromWide(buffer.data());
    static std::mutex outputLock;
    std::lock_guard guard(outputLock);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}
