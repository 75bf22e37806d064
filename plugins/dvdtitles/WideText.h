// Texts between a code page and UTF-16, for the library, which takes its
// paths in UTF-8 on Windows. Windows build only.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring WideFrom(UINT codePage, const std::string& text)
{
    int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, NULL, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(size_t(length - 1));
    return wide;
}

inline std::string TextFrom(UINT codePage, const std::wstring& wide)
{
    int length = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, NULL, 0, NULL, NULL);
    if (length <= 0)
        return std::string();
    std::string text(size_t(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.c_str(), -1, &text[0], length, NULL, NULL);
    text.resize(size_t(length - 1));
    return text;
}
