// Runs arbitrary bytes through the reading of a whole HTTP reply: the
// status line, headers, redirects and chunked bodies.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/HttpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> reply(data, data + size);
    std::string value;
    GetHeaderField(reply.data(), reply.size(), "Transfer-Encoding", &value);
    CHttpReplyOutcome outcome;
    InterpretHttpReply(reply.data(), reply.size(), "http://h/x", &outcome);
    if (outcome.result == CHttpReplyOutcome::BODY && outcome.bodyLength > size)
        abort();

    std::vector<char> chunks(data, data + size);
    size_t decoded = 0;
    if (DecodeChunked(chunks.data(), chunks.size(), &decoded) && (decoded == 0 || decoded > size))
        abort();
    return 0;
}
