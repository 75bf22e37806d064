// The file-name rules the format plug-ins share: the extensions a plug-in
// takes in the first pass, and the "\MPEG2\" folder of Super Video CD
// tracks.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/StrUtil.h"

// True when ext is one of the listed extensions, in any case; NULL is none.
template <size_t N>
bool IsListedExtension(const char* ext, const char* const (&listed)[N])
{
    if (ext == NULL)
        return false;
    for (const char* known : listed) {
        if (StrEqualNoCase(ext, known))
            return true;
    }
    return false;
}

// True when the folder (with its trailing backslash) is named "MPEG2", in
// any case.
inline bool EndsInMpeg2Folder(const char* dir)
{
    size_t length = strlen(dir);
    return length > 6 && StrEqualNoCase(dir + length - 7, "\\MPEG2\\");
}
