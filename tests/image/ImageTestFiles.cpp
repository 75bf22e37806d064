#include "ImageTestFiles.h"

#include <cstdlib>
#include <sstream>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

std::string ImageFixture(const std::string& name)
{
#ifdef _WIN32
    return std::string("Z:") + VISTREL_TEST_DATA + "/images/" + name;
#else
    return std::string(VISTREL_TEST_DATA) + "/images/" + name;
#endif
}

// Named after the process too: the builds of the image tests run side by
// side and share the temporary folder.
std::string ScratchFile(const std::string& name)
{
    std::string unique = std::to_string(long(getpid())) + "-" + name;
#ifdef _WIN32
    const char* folder = std::getenv("TEMP");
    return std::string(folder != nullptr ? folder : ".") + "\\vistrel-image-" + unique;
#else
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr ? folder : "/tmp") + "/vistrel-image-" + unique;
#endif
}

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::vector<BYTE> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    BYTE chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

namespace {

// The picture's own alpha of a pixel: its layer, its palette's alpha or its
// transparent index.
int AlphaOf(const CxImage& image, LONG x, LONG y)
{
    if (image.HasAlpha())
        return image.GetAlpha(x, y);
    if (image.GetBpp() <= 8) {
        BYTE index = image.GetPixelIndex(x, y);
        if (image.GetPaletteAlphaFlag())
            return image.GetPaletteEntry(index).rgbReserved;
        if (image.GetTransIndex() == int32_t(index))
            return 0;
    }
    return 255;
}

} // namespace

std::vector<BYTE> RgbaOf(const CxImage& image)
{
    std::vector<BYTE> rgba;
    for (LONG top = 0; top < LONG(image.GetHeight()); top++) {
        LONG y = LONG(image.GetHeight()) - 1 - top;
        for (LONG x = 0; x < LONG(image.GetWidth()); x++) {
            RGBQUAD c = image.GetPixelColor(x, y);
            BYTE pixel[4] = { c.rgbRed, c.rgbGreen, c.rgbBlue, BYTE(AlphaOf(image, x, y)) };
            rgba.insert(rgba.end(), pixel, pixel + 4);
        }
    }
    return rgba;
}

std::string ComparePixels(const CxImage& image, const std::string& rgbaPath, int tolerance, AlphaCheck alpha,
                          RGBQUAD background)
{
    std::vector<BYTE> expected = ReadBytes(rgbaPath);
    std::vector<BYTE> actual = RgbaOf(image);
    std::ostringstream out;
    if (expected.size() != actual.size()) {
        out << "size " << actual.size() << " against " << expected.size();
        return out.str();
    }
    const BYTE back[3] = { background.rgbRed, background.rgbGreen, background.rgbBlue };
    int differences = 0;
    for (size_t i = 0; i < expected.size(); i += 4) {
        int a = expected[i + 3];
        bool bad = false;
        for (int c = 0; c < 3; c++) {
            int want = expected[i + c];
            if (alpha == ALPHA_COMPOSED)
                want = (want * a + back[c] * (255 - a)) / 255;
            bad = bad || std::abs(int(actual[i + c]) - want) > (alpha == ALPHA_COMPOSED ? tolerance + 1 : tolerance);
        }
        if (alpha == ALPHA_KEPT)
            bad = bad || std::abs(int(actual[i + 3]) - a) > tolerance;
        if (bad && differences++ < 4) {
            size_t pixel = i / 4;
            out << "(" << pixel % image.GetWidth() << "," << pixel / image.GetWidth() << ") is " << int(actual[i])
                << "," << int(actual[i + 1]) << "," << int(actual[i + 2]) << "," << int(actual[i + 3]) << " for "
                << int(expected[i]) << "," << int(expected[i + 1]) << "," << int(expected[i + 2]) << "," << a
                << "; ";
        }
    }
    if (differences > 0)
        out << differences << " pixels differ";
    return out.str();
}
