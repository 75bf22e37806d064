// Runs arbitrary page text through the tag search, the attribute reader,
// the cleaning routines and Base64.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/StrUtil.h"
#include "net/Base64Coding.h"
#include "net/HtmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetErrorBoxRecording(true);
    std::string page(reinterpret_cast<const char*>(data), size);
    const char* text = page.c_str();
    long length = long(page.size());
    for (long at = FindHtmlTag(0, "a", NULL, NULL, text, length, true); at >= 0;
         at = FindHtmlTag(at + 1, "a", NULL, NULL, text, length, true)) {
        char* value = NULL;
        FindTagAttribute(text, length, at, "href", &value);
        free(value);
    }
    FindHtmlTag(0, "a", "name", "\"cast\"", text, length, false);

    // The cleaning, with no keep tag or with one, never lengthens a text.
    static const char* const kKeepTags[] = {NULL, "br", "a"};
    char* work = NULL;
    StrAssign(&work, text);
    DecodeHtmlEntities(&work, kKeepTags[size % 3]);
    if (strlen(work) > strlen(text))
        abort();
    StripHtmlTags(&work);
    NormalizeWhitespace(&work);
    UrlEncode(&work);
    UrlDecode(&work);
    free(work);
    work = NULL;
    size_t joinedLength = 0;
    JoinLines(text, page.size(), &work, &joinedLength);
    free(work);

    CBase64Coding coder;
    std::vector<uint8_t> bytes;
    std::string encoded;
    coder.Decode(data, size, bytes);
    coder.Encode(data, size, encoded);
    std::vector<uint8_t> back;
    if (!coder.Decode(encoded.c_str(), back) || back != std::vector<uint8_t>(data, data + size))
        abort();
    return 0;
}
