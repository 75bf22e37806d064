// Reading the whole reply of one request: the status line, the headers, a
// redirect and the body, plain or in chunks.
#pragma once

#include <cstddef>
#include <string>

// The largest reply the client takes and the largest chunk it believes.
const size_t kMaxHttpReply = 16u * 1024 * 1024;

struct CHttpReplyOutcome {
    enum Result { BODY, REDIRECT, FAILED };
    Result result = FAILED;
    int kind = 0;             // FAILED: the error's kind and text
    std::string text;
    std::string location;     // REDIRECT: where to, slashes collapsed
    size_t bodyLength = 0;    // BODY: the body is at the front of the data
};

// Reads the reply in data (length bytes; the buffer is rewritten in place)
// to the request for requestedUrl.
void InterpretHttpReply(char* data, size_t length, const char* requestedUrl, CHttpReplyOutcome* outcome);

// The value of a header in the head of a reply (before its first blank
// line): the name without case, blanks after the ":" skipped, up to the
// line's end. False when there is no such header.
bool GetHeaderField(const char* reply, size_t length, const char* name, std::string* value);

// Joins the chunks of a chunked body in place; *decodedLength is the
// joined size. False when the chunks are malformed, run past the data or
// end before the last (empty) chunk, or when they hold no data at all.
bool DecodeChunked(char* body, size_t length, size_t* decodedLength);

// Every "//" made "/", except the one after the scheme's ":".
std::string CollapseSlashes(const std::string& address);
