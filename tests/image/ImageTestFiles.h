// Helpers of the image tests: fixture paths, whole files, and comparison of
// a decoded picture with ImageMagick's reading of the same file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "image/Image.h"

// A file of tests/data/images, as the test program opens it.
std::string ImageFixture(const std::string& name);
// A scratch file of the test's own.
std::string ScratchFile(const std::string& name);
std::vector<BYTE> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);

// How ImageMagick's transparency shows in the decoded picture.
enum AlphaCheck {
    ALPHA_IGNORED,   // the codec drops it
    ALPHA_KEPT,      // alpha layer, palette alpha or transparent index
    ALPHA_COMPOSED   // blended against the given background
};

// Empty when every pixel of the picture is within tolerance of the RGBA
// file (8-bit, rows from the top); else the first differences.
std::string ComparePixels(const CxImage& image, const std::string& rgbaPath, int tolerance, AlphaCheck alpha,
                          RGBQUAD background = RGBQUAD());

// The picture's pixels as RGBA, rows from the top.
std::vector<BYTE> RgbaOf(const CxImage& image);

inline RGBQUAD Quad(BYTE red, BYTE green, BYTE blue)
{
    RGBQUAD quad = { blue, green, red, 0 };
    return quad;
}
