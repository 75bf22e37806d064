// Files of the export tests of both builds.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

// A name in the temporary folder that no other test run shares, even one
// of another build running at the same time.
inline std::string TestTempPath(const std::string& name)
{
    return ::testing::TempDir() + "vistrel-" + std::to_string(long(getpid())) + "-" + name;
}

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

// The piece written count times over.
inline std::string Repeated(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += piece;
    return text;
}
