#include "tools/vidscan/ConsoleText.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

#ifdef _WIN32

namespace {

std::string WideToCodePage(const wchar_t* text, int count, bool ansi)
{
    if (count <= 0)
        return std::string();
    UINT codePage = ansi ? CP_ACP : CP_OEMCP;
    int size = WideCharToMultiByte(codePage, 0, text, count, NULL, 0, NULL, NULL);
    if (size <= 0)
        return std::string();
    std::string result(size_t(size), '\0');
    WideCharToMultiByte(codePage, 0, text, count, &result[0], size, NULL, NULL);
    return result;
}

} // namespace

std::string Utf16ToReportText(const uint16_t* text, size_t count, bool ansi)
{
    std::vector<wchar_t> wide;
    for (size_t i = 0; i < count && text[i] != 0; i++)
        wide.push_back(wchar_t(text[i]));
    return WideToCodePage(wide.data(), int(wide.size()), ansi);
}

std::string ReportFileName(const char* path, bool ansi)
{
    int size = MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0);
    if (size <= 0)
        return std::string();
    std::vector<wchar_t> widePath(static_cast<size_t>(size));
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath.data(), size);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePath.data(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return std::string();
    FindClose(search);
    return WideToCodePage(found.cFileName, int(wcslen(found.cFileName)), ansi);
}

#else

std::string Utf16ToReportText(const uint16_t* text, size_t count, bool ansi)
{
    std::string result;
    for (size_t i = 0; i < count && text[i] != 0; i++) {
        uint16_t c = text[i];
        // The second half of a surrogate pair adds nothing of its own.
        if (c >= 0xDC00 && c <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF)
            continue;
        result += c < 128 ? char(c) : '?';
    }
    return result;
}

std::string ReportFileName(const char* path, bool ansi)
{
    std::string name = path;
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    std::string result;
    for (unsigned char c : name) {
        // One "?" for each UTF-8 sequence outside ASCII: its lead byte.
        if (c < 128)
            result += char(c);
        else if ((c & 0xC0) != 0x80)
            result += '?';
    }
    return result;
}

#endif
