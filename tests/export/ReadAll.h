// Reading a whole file in the export tests of both builds.
#pragma once

#include <cstdio>
#include <string>

// The file's bytes; "<missing>" when it can't be opened.
inline std::string ReadAll(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return "<missing>";
    std::string bytes;
    char piece[4096];
    size_t n;
    while ((n = fread(piece, 1, sizeof(piece), file)) > 0)
        bytes.append(piece, n);
    fclose(file);
    return bytes;
}
