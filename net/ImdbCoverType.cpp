// The type text of a cover picture, kept to a plain short extension: it
// becomes part of file names when covers are saved or exported.
#include <cstring>
#include <string>

#include "core/StrUtil.h"
#include "net/ImdbParse.h"

namespace {

bool IsTypeChar(char c)
{
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The type the first bytes of a picture file show, or NULL.
const char* TypeOfSignature(const unsigned char* data, size_t length)
{
    if (data == nullptr)
        return nullptr;
    if (length >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return "jpg";
    if (length >= 4 && memcmp(data, "GIF8", 4) == 0)
        return "gif";
    if (length >= 4 && data[0] == 0x89 && memcmp(data + 1, "PNG", 3) == 0)
        return "png";
    if (length >= 2 && data[0] == 'B' && data[1] == 'M')
        return "bmp";
    return nullptr;
}

} // namespace

std::string CoverTypeOf(const char* path, bool isAddress, const unsigned char* data, size_t length)
{
    std::string name = path != nullptr ? path : "";
    if (isAddress) {
        name = name.substr(0, name.find_first_of("?#"));
        // The host is no file name.
        size_t scheme = name.find("://");
        if (scheme != std::string::npos) {
            size_t pathStart = name.find('/', scheme + 3);
            name = pathStart != std::string::npos ? name.substr(pathStart) : std::string();
        }
    }
    size_t slash = name.find_last_of(isAddress ? "/" : "/\\");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        std::string type = name.substr(dot + 1);
        bool plain = !type.empty() && type.size() <= 4;
        for (char& c : type) {
            plain = plain && IsTypeChar(c);
            c = LowerAscii(c);
        }
        if (plain)
            return type;
    }
    const char* signature = TypeOfSignature(data, length);
    return signature != nullptr ? signature : "jpg";
}
