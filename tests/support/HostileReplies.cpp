#include "support/HostileReplies.h"

#include "FixtureServer.h"

#include <chrono>

namespace {

using namespace std::chrono_literals;

const std::string Ok = "HTTP/1.1 200 OK\r\n";

RawReply Drip() {
    RawReply reply{{{Ok + "Content-Length: 1000\r\n\r\n", 100ms}}};
    for (int i = 0; i < 100; ++i)
        reply.steps.push_back({"x", 100ms});
    return reply;
}

RawReply Huge() {
    constexpr std::size_t Piece = 1 << 20, Pieces = 33;
    RawReply reply{{{Ok + "Content-Length: " + std::to_string(Piece * Pieces) + "\r\n\r\n"}}};
    for (std::size_t i = 0; i < Pieces; ++i)
        reply.steps.push_back({std::string(Piece, 'a')});
    return reply;
}

} // namespace

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

const std::vector<std::string>& FaultNames() {
    static const std::vector<std::string> names = {"loop",      "to-file", "bad-chunk", "cut-chunk",  "bad-length",
                                                   "silence",   "cut",     "drip",      "error-page", "deep",
                                                   "unmatched", "huge",    "option"};
    return names;
}

std::optional<RawReply> FaultReply(std::string_view name) {
    if (name == "loop")
        return PlainReply(302, "", "Location: /loop\r\n");
    if (name == "to-file")
        return PlainReply(302, "", "Location: file:///etc/passwd\r\n");
    if (name == "bad-chunk")
        return RawReply{{{Ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\nzz\r\nxx\r\n0\r\n\r\n"}}};
    if (name == "cut-chunk")
        return RawReply{{{Ok + "Transfer-Encoding: chunked\r\n\r\n100\r\nabc"}}};
    if (name == "bad-length")
        return RawReply{{{Ok + "Content-Length: 12abc\r\n\r\nhello"}}};
    if (name == "silence")
        return RawReply{{{Ok}}, true};
    if (name == "cut")
        return RawReply{{{Ok + "Content-Length: 100\r\n\r\n#EXTM3U\n#EXTINF:0,half\n" + std::string(26, 'x')}}};
    if (name == "drip")
        return Drip();
    if (name == "error-page")
        return PlainReply(500, "<html><body>Internal Server Error</body></html>");
    if (name == "deep")
        return PlainReply(200, Repeated("<b>", 110000));
    if (name == "unmatched")
        return PlainReply(200, "<html><body>" + Repeated("<b>", 1500) + Repeated("</i>", 60000));
    if (name == "huge")
        return Huge();
    if (name == "option")
        return PlainReply(200, "--script=/tmp/x.lua");
    return std::nullopt;
}

RawReply SiteFileReply(const RawRequest& request, int port) {
    std::size_t question = request.target.find('?');
    std::string query = question == std::string::npos ? "" : request.target.substr(question + 1);
    auto file = FixtureServer::FindSiteFile(QUILLORA_FIXTURE_SITES, request.host, request.target.substr(0, question),
                                            query, port);
    return file ? PlainReply(200, file->body) : PlainReply(404, "not found");
}
