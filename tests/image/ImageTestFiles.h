// Helpers of the image tests: fixture paths, whole files, comparison of a
// decoded picture with ImageMagick's reading of the same file, and painted
// pictures.
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

inline bool SameColor(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// A 24-bit picture whose pixel (x, y), y from the bottom row, is paint(x, y).
template <class Paint>
CxImage Painted(DWORD width, DWORD height, Paint paint)
{
    CxImage image(width, height, 24);
    for (LONG y = 0; y < LONG(height); y++)
        for (LONG x = 0; x < LONG(width); x++)
            image.SetPixelColor(x, y, paint(x, y));
    return image;
}

inline CxImage Filled(DWORD width, DWORD height, RGBQUAD color)
{
    return Painted(width, height, [color](LONG, LONG) { return color; });
}
