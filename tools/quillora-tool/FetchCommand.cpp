// fetch URL: the body on standard output; on failure the error number on standard error.

#include "Commands.h"

#include "fetch/HttpSession.h"
#include "platform/base/Utf8.h"

#include <cstdio>

int RunFetchCommand(const Words& words) {
    if (words.size() != 1)
        return 2;
    std::wstring url = platform::WideFromUtf8(words[0]);
    HttpSession session;
    const char* body = session.Request(url.c_str(), false, nullptr, -1);
    if (!body) {
        std::fprintf(stderr, "%u\n", static_cast<unsigned>(session.LastError()));
        return 1;
    }
    std::fwrite(body, 1, session.BodyLength(), stdout);
    return 0;
}
