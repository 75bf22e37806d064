// The four codecs: every fixture decodes to ImageMagick's pixels with the
// bits and palette its file calls for; our encoders' files read back (in
// ImageMagick too, on the host); refusals, decompression bombs and truncated
// files keep the target; hostile files fail cleanly.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ImageTestFiles.h"
#include "image/Image.h"
#include "image/ImageBytes.h"

namespace {

struct Fixture {
    const char* file;
    DWORD format;
    WORD bpp;
    int tolerance;
    AlphaCheck alpha;
    const char* reference;  // ImageMagick's reading, when not FILE.rgba
};

const Fixture kFixtures[] = {
    { "bmp1.bmp", IMAGE_FORMAT_BMP, 1, 0, ALPHA_IGNORED, nullptr },
    { "bmp4.bmp", IMAGE_FORMAT_BMP, 4, 0, ALPHA_IGNORED, nullptr },
    { "bmp8.bmp", IMAGE_FORMAT_BMP, 8, 0, ALPHA_IGNORED, nullptr },
    { "bmp24.bmp", IMAGE_FORMAT_BMP, 24, 0, ALPHA_IGNORED, nullptr },
    { "rle8.bmp", IMAGE_FORMAT_BMP, 8, 0, ALPHA_IGNORED, nullptr },
    { "rle4.bmp", IMAGE_FORMAT_BMP, 4, 0, ALPHA_IGNORED, nullptr },
    { "rgb555.bmp", IMAGE_FORMAT_BMP, 24, 7, ALPHA_IGNORED, nullptr },
    { "rgb565.bmp", IMAGE_FORMAT_BMP, 24, 7, ALPHA_IGNORED, nullptr },
    { "alpha32.bmp", IMAGE_FORMAT_BMP, 24, 0, ALPHA_IGNORED, nullptr },
    { "v5palette.bmp", IMAGE_FORMAT_BMP, 8, 0, ALPHA_IGNORED, nullptr },
    { "os2.bmp", IMAGE_FORMAT_BMP, 8, 0, ALPHA_IGNORED, nullptr },
    { "packed.dib", IMAGE_FORMAT_BMP, 8, 0, ALPHA_IGNORED, "bmp8.bmp.rgba" },
    { "topdown-bmp4.bmp", IMAGE_FORMAT_BMP, 4, 0, ALPHA_IGNORED, nullptr },
    { "topdown-rgb565.bmp", IMAGE_FORMAT_BMP, 24, 7, ALPHA_IGNORED, nullptr },
    { "gif2.gif", IMAGE_FORMAT_GIF, 1, 0, ALPHA_KEPT, nullptr },
    { "gif3.gif", IMAGE_FORMAT_GIF, 4, 0, ALPHA_KEPT, nullptr },
    { "gif16.gif", IMAGE_FORMAT_GIF, 4, 0, ALPHA_KEPT, nullptr },
    { "gif17.gif", IMAGE_FORMAT_GIF, 8, 0, ALPHA_KEPT, nullptr },
    { "gif256.gif", IMAGE_FORMAT_GIF, 8, 0, ALPHA_KEPT, nullptr },
    { "interlaced.gif", IMAGE_FORMAT_GIF, 8, 0, ALPHA_KEPT, nullptr },
    { "transparent.gif", IMAGE_FORMAT_GIF, 8, 0, ALPHA_KEPT, nullptr },
    { "animated.gif", IMAGE_FORMAT_GIF, 4, 0, ALPHA_KEPT, nullptr },
    { "palette.png", IMAGE_FORMAT_PNG, 8, 0, ALPHA_KEPT, nullptr },
    { "trns.png", IMAGE_FORMAT_PNG, 8, 0, ALPHA_KEPT, nullptr },
    { "grey2.png", IMAGE_FORMAT_PNG, 4, 0, ALPHA_KEPT, nullptr },
    { "rgb16.png", IMAGE_FORMAT_PNG, 24, 1, ALPHA_KEPT, nullptr },
    { "rgba.png", IMAGE_FORMAT_PNG, 24, 0, ALPHA_KEPT, nullptr },
    { "greyalpha16.png", IMAGE_FORMAT_PNG, 24, 1, ALPHA_KEPT, nullptr },
    { "interlaced.png", IMAGE_FORMAT_PNG, 24, 0, ALPHA_KEPT, nullptr },
    { "interlacedrgba.png", IMAGE_FORMAT_PNG, 24, 0, ALPHA_KEPT, nullptr },
    { "colour.jpg", IMAGE_FORMAT_JPEG, 24, 2, ALPHA_KEPT, nullptr },
    { "grey.jpg", IMAGE_FORMAT_JPEG, 8, 2, ALPHA_KEPT, nullptr },
    { "progressive.jpg", IMAGE_FORMAT_JPEG, 24, 2, ALPHA_KEPT, nullptr },
    { "cmyk.jpg", IMAGE_FORMAT_JPEG, 24, 2, ALPHA_IGNORED, nullptr },
};

std::string Reference(const Fixture& fixture)
{
    return ImageFixture(fixture.reference != nullptr ? fixture.reference : std::string(fixture.file) + ".rgba");
}

// A bitmap file: header, info header (with bit-field masks when given),
// palette and pixel bytes.
std::vector<BYTE> BmpFile(LONG width, LONG height, WORD bpp, DWORD compression, DWORD colorsUsed,
                          const std::vector<BYTE>& palette, const std::vector<BYTE>& pixels,
                          const std::vector<DWORD>& masks = {})
{
    std::vector<BYTE> file(14 + 40 + 4 * masks.size());
    file[0] = 'B';
    file[1] = 'M';
    BYTE* info = file.data() + 14;
    WriteLe32(info, 40);
    WriteLe32(info + 4, DWORD(width));
    WriteLe32(info + 8, DWORD(height));
    WriteLe16(info + 12, 1);
    WriteLe16(info + 14, bpp);
    WriteLe32(info + 16, compression);
    WriteLe32(info + 20, DWORD(pixels.size()));
    WriteLe32(info + 32, colorsUsed);
    for (size_t i = 0; i < masks.size(); i++)
        WriteLe32(info + 40 + 4 * i, masks[i]);
    file.insert(file.end(), palette.begin(), palette.end());
    WriteLe32(file.data() + 10, DWORD(file.size()));
    file.insert(file.end(), pixels.begin(), pixels.end());
    WriteLe32(file.data() + 2, DWORD(file.size()));
    return file;
}

// LZW codes packed least significant bit first, the width growing as a
// decoder's does, in sub-blocks after the code size.
std::vector<BYTE> GifData(int codeSize, const std::vector<int>& codes)
{
    std::vector<BYTE> packed;
    uint32_t bits = 0;
    int count = 0, width = codeSize + 1, next = (1 << codeSize) + 2;
    bool first = true;
    for (int code : codes) {
        bits |= uint32_t(code) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8)
            packed.push_back(BYTE(bits));
        if (code == 1 << codeSize) {
            width = codeSize + 1;
            next = (1 << codeSize) + 2;
            first = true;
        } else if (first) {
            first = false;
        } else if (next < 4096 && ++next == 1 << width && width < 12) {
            width++;
        }
    }
    if (count > 0)
        packed.push_back(BYTE(bits));
    std::vector<BYTE> data = { BYTE(codeSize) };
    for (size_t i = 0; i < packed.size(); i += 255) {
        size_t n = packed.size() - i < 255 ? packed.size() - i : 255;
        data.push_back(BYTE(n));
        data.insert(data.end(), packed.begin() + long(i), packed.begin() + long(i + n));
    }
    data.push_back(0);
    return data;
}

// A GIF file with a global table of 2^tableBits grey entries and one image.
std::vector<BYTE> GifFile(DWORD width, DWORD height, int tableBits, BYTE imageFlags, const std::vector<BYTE>& data)
{
    std::vector<BYTE> file = { 'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, BYTE(0x80 | (tableBits - 1)), 0, 0 };
    WriteLe16(file.data() + 6, width);
    WriteLe16(file.data() + 8, height);
    for (int i = 0; i < 1 << tableBits; i++)
        file.insert(file.end(), { BYTE(i * 40), BYTE(i * 40), BYTE(i * 40) });
    std::vector<BYTE> descriptor = { ',', 0, 0, 0, 0, 0, 0, 0, 0, imageFlags };
    WriteLe16(descriptor.data() + 5, width);
    WriteLe16(descriptor.data() + 7, height);
    file.insert(file.end(), descriptor.begin(), descriptor.end());
    file.insert(file.end(), data.begin(), data.end());
    file.push_back(';');
    return file;
}

bool DecodeBytes(CxImage& image, const std::vector<BYTE>& bytes, DWORD format)
{
    std::string path = ScratchFile("decode.bin");
    WriteBytes(path, bytes);
    bool ok = image.Load(path.c_str(), format);
    std::remove(path.c_str());
    return ok;
}

// The progressive fixture with more scans before its end: a table of one
// code, then AC scans of the first component each holding one run of empty
// blocks longer than the picture, which change no pixel.
std::vector<BYTE> WithMoreScans(size_t scans)
{
    std::vector<BYTE> file = ReadBytes(ImageFixture("progressive.jpg"));
    std::vector<BYTE> more = { 0xFF, 0xC4, 0, 20, 0x10, 1 };
    more.resize(more.size() + 15);
    more.push_back(0x70);
    for (size_t i = 0; i < scans; i++)
        more.insert(more.end(), { 0xFF, 0xDA, 0, 8, 1, 1, 0, 1, 63, 0, 0x7F });
    file.insert(file.end() - 2, more.begin(), more.end());
    return file;
}

// Pixel indices of the picture, rows from the top.
std::vector<int> Indices(const CxImage& image)
{
    std::vector<int> indices;
    for (LONG y = LONG(image.GetHeight()) - 1; y >= 0; y--)
        for (LONG x = 0; x < LONG(image.GetWidth()); x++)
            indices.push_back(image.GetPixelIndex(x, y));
    return indices;
}

} // namespace

TEST(ImageCodecs, EveryFixtureDecodesToImageMagicksPixelsAndBits)
{
    for (const Fixture& fixture : kFixtures) {
        SCOPED_TRACE(fixture.file);
        CxImage image;
        ASSERT_TRUE(image.Load(ImageFixture(fixture.file).c_str(), fixture.format)) << image.GetLastError();
        EXPECT_EQ(fixture.format, image.GetFormat());
        EXPECT_EQ(fixture.bpp, image.GetBpp());
        EXPECT_EQ("", ComparePixels(image, Reference(fixture), fixture.tolerance, fixture.alpha));
    }
    // Transparency composed against the file's background, else light grey.
    struct Composed {
        const char* file;
        RGBQUAD background;
    } composed[] = { { "bkgd.png", Quad(0x20, 0xC0, 0x40) }, { "nobkgd.png", Quad(192, 192, 192) } };
    for (const Composed& c : composed) {
        SCOPED_TRACE(c.file);
        CxImage image;
        ASSERT_TRUE(image.Load(ImageFixture(c.file).c_str(), IMAGE_FORMAT_PNG));
        EXPECT_EQ(24, image.GetBpp());
        EXPECT_FALSE(image.HasAlpha());
        EXPECT_EQ("", ComparePixels(image, ImageFixture(std::string(c.file) + ".rgba"), 1, ALPHA_COMPOSED,
                                    c.background));
    }
    // The second image of the animation, with its own colour table.
    CxImage second;
    second.SetFrame(1);
    ASSERT_TRUE(second.Load(ImageFixture("animated.gif").c_str(), IMAGE_FORMAT_GIF));
    EXPECT_EQ("", ComparePixels(second, ImageFixture("animated.gif.1.rgba"), 0, ALPHA_KEPT));
    second.SetFrame(2);
    EXPECT_FALSE(second.Load(ImageFixture("animated.gif").c_str(), IMAGE_FORMAT_GIF));
}

TEST(ImageCodecs, PalettesFollowTheFile)
{
    CxImage three(ImageFixture("gif3.gif").c_str(), IMAGE_FORMAT_GIF);
    EXPECT_EQ(16u, three.GetPaletteEntries());
    CxImage seventeen(ImageFixture("gif17.gif").c_str(), IMAGE_FORMAT_GIF);
    EXPECT_EQ(256u, seventeen.GetPaletteEntries());

    // Two-bit grey widened to four bits over four greys.
    CxImage grey2(ImageFixture("grey2.png").c_str(), IMAGE_FORMAT_PNG);
    ASSERT_EQ(16u, grey2.GetPaletteEntries());
    const BYTE greys[4] = { 0, 0x55, 0xAA, 0xFF };
    for (DWORD i = 0; i < 4; i++)
        EXPECT_EQ(greys[i], grey2.GetPaletteEntry(i).rgbRed);

    CxImage greyJpeg(ImageFixture("grey.jpg").c_str(), IMAGE_FORMAT_JPEG);
    EXPECT_EQ(256u, greyJpeg.GetPaletteEntries());
    EXPECT_TRUE(greyJpeg.IsGrayScale());

    // The rectangle made transparent has the GIF's transparent index.
    CxImage gif(ImageFixture("transparent.gif").c_str(), IMAGE_FORMAT_GIF);
    EXPECT_GE(gif.GetTransIndex(), 0);
    EXPECT_EQ(gif.GetTransIndex(), gif.GetPixelIndex(5, LONG(gif.GetHeight()) - 1 - 4));

    // A 5-5-5 pixel of all ones.
    CxImage white;
    ASSERT_TRUE(DecodeBytes(white, BmpFile(1, 1, 16, BI_RGB, 0, {}, { 0xFF, 0x7F, 0, 0 }), IMAGE_FORMAT_BMP));
    RGBQUAD c = white.GetPixelColor(0, 0);
    EXPECT_EQ(248, c.rgbRed);
    EXPECT_EQ(248, c.rgbGreen);
    EXPECT_EQ(248, c.rgbBlue);
    // 5-6-5 masks just after a 40-byte header.
    ASSERT_TRUE(DecodeBytes(white, BmpFile(1, 1, 16, BI_BITFIELDS, 0, {}, { 0xFF, 0xFF, 0, 0 }, { 0xF800, 0x07E0, 0x001F }),
                            IMAGE_FORMAT_BMP));
    c = white.GetPixelColor(0, 0);
    EXPECT_EQ(248, c.rgbRed);
    EXPECT_EQ(252, c.rgbGreen);
    EXPECT_EQ(248, c.rgbBlue);
}

TEST(ImageCodecs, EncodedFilesReadBackWithTheirLayout)
{
    CxImage palette(ImageFixture("gif256.gif").c_str(), IMAGE_FORMAT_GIF);
    CxImage colour(ImageFixture("interlaced.png").c_str(), IMAGE_FORMAT_PNG);
    CxImage topDown(ImageFixture("topdown-bmp4.bmp").c_str(), IMAGE_FORMAT_BMP);
    // A picture of scattered indices fills the coder's table many times.
    CxImage noise(160, 120, 8);
    noise.SetStandardPalette();
    uint32_t seed = 1;
    for (LONG y = 0; y < 120; y++)
        for (LONG x = 0; x < 160; x++)
            noise.SetPixelIndex(x, y, BYTE((seed = seed * 1103515245 + 12345) >> 24));
    noise.SetTransIndex(7);
    noise.SetFrameDelay(25);
    struct Case {
        const char* name;
        CxImage* image;
        DWORD format;
        int tolerance;
    } cases[] = { { "out.bmp", &palette, IMAGE_FORMAT_BMP, 0 }, { "out24.bmp", &colour, IMAGE_FORMAT_BMP, 0 },
                  { "outtopdown.bmp", &topDown, IMAGE_FORMAT_BMP, 0 },
                  { "out.gif", &noise, IMAGE_FORMAT_GIF, 0 },   { "out.png", &colour, IMAGE_FORMAT_PNG, 0 },
                  { "out8.png", &noise, IMAGE_FORMAT_PNG, 0 },  { "out.jpg", &colour, IMAGE_FORMAT_JPEG, 40 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = ScratchFile(c.name);
        std::vector<BYTE> before = RgbaOf(*c.image);
        ASSERT_TRUE(c.image->Save(path.c_str(), c.format)) << c.image->GetLastError();
        // Saving leaves the picture as it was.
        EXPECT_TRUE(before == RgbaOf(*c.image));
        CxImage back(path.c_str(), c.format);
        ASSERT_TRUE(back.IsValid());
        // Bitmaps are always written bottom-up.
        if (c.format == IMAGE_FORMAT_BMP) {
            EXPECT_EQ(LONG(c.image->GetHeight()), LONG(ReadLe32(ReadBytes(path).data() + 22)));
        }
        std::string rgba = path + ".rgba";
        WriteBytes(rgba, before);
        EXPECT_EQ("", ComparePixels(back, rgba, c.tolerance, ALPHA_KEPT));
#ifndef _WIN32
        // ImageMagick reads the same pixels.
        std::string command = "convert '" + path + "' -depth 8 'rgba:" + rgba + "' 2>/dev/null";
        ASSERT_EQ(0, std::system(command.c_str()));
        EXPECT_EQ("", ComparePixels(back, rgba, c.format == IMAGE_FORMAT_JPEG ? 2 : 0, ALPHA_KEPT));
#endif
        std::remove(rgba.c_str());
        std::remove(path.c_str());
    }
}

TEST(ImageCodecs, WrittenFilesHaveTheirFormatsLayout)
{
    CxImage noise(61, 40, 8);
    noise.SetGrayPalette();
    for (LONG y = 0; y < 40; y++)
        for (LONG x = 0; x < 61; x++)
            noise.SetPixelIndex(x, y, BYTE((x * 37 + y * 101) % 251));
    noise.SetTransIndex(9);

    // GIF87a with the control extension, sub-blocks of at most 254 bytes.
    std::string gifPath = ScratchFile("layout.gif");
    ASSERT_TRUE(noise.Save(gifPath.c_str(), IMAGE_FORMAT_GIF));
    std::vector<BYTE> gif = ReadBytes(gifPath);
    ASSERT_GT(gif.size(), 13u + 768 + 8 + 10 + 1);
    EXPECT_EQ(0, std::memcmp(gif.data(), "GIF87a", 6));
    const BYTE* control = gif.data() + 13 + 768;
    EXPECT_EQ(0x21, control[0]);
    EXPECT_EQ(0xF9, control[1]);
    EXPECT_EQ(1, control[3]);
    EXPECT_EQ(9, control[6]);
    size_t at = 13 + 768 + 8 + 10 + 1;
    int blocks = 0;
    while (at < gif.size() && gif[at] != 0) {
        EXPECT_LE(gif[at], 254);
        at += gif[at] + 1u;
        blocks++;
    }
    EXPECT_GT(blocks, 1);
    ASSERT_LT(at + 1, gif.size());
    EXPECT_EQ(';', gif[at + 1]);

    // A grey JPEG has one component; a PNG's transparent index goes first.
    std::string jpegPath = ScratchFile("layout.jpg");
    ASSERT_TRUE(noise.Save(jpegPath.c_str(), IMAGE_FORMAT_JPEG));
    std::vector<BYTE> jpeg = ReadBytes(jpegPath);
    size_t frame = 2;
    while (frame + 10 < jpeg.size() && !(jpeg[frame] == 0xFF && jpeg[frame + 1] == 0xC0))
        frame += 2 + ((size_t(jpeg[frame + 2]) << 8) | jpeg[frame + 3]);
    ASSERT_LT(frame + 10, jpeg.size());
    EXPECT_EQ(1, jpeg[frame + 9]);
    CxImage greyBack(jpegPath.c_str(), IMAGE_FORMAT_JPEG);
    EXPECT_EQ(8, greyBack.GetBpp());

    std::string pngPath = ScratchFile("layout.png");
    ASSERT_TRUE(noise.Save(pngPath.c_str(), IMAGE_FORMAT_PNG));
    EXPECT_EQ(9, noise.GetTransIndex());
    CxImage png(pngPath.c_str(), IMAGE_FORMAT_PNG);
    EXPECT_EQ(0, png.GetTransIndex());
    EXPECT_EQ(noise.GetPaletteEntry(9).rgbRed, png.GetPaletteEntry(0).rgbRed);
    EXPECT_EQ(RgbaOf(noise), RgbaOf(png));
    // A full GIF table with a transparent index keeps every colour.
    noise.SetPaletteEntry(255, 1, 2, 3);
    noise.SetPixelIndex(0, 0, 255);
    ASSERT_TRUE(noise.Save(gifPath.c_str(), IMAGE_FORMAT_GIF));
    CxImage full(gifPath.c_str(), IMAGE_FORMAT_GIF);
    EXPECT_EQ(9, full.GetTransIndex());
    EXPECT_EQ(1, full.GetPixelColor(0, 0).rgbRed);

    // Grey pictures of four bits span black to white, and go to JPEG.
    CxImage four(16, 2, 4);
    four.SetGrayPalette();
    EXPECT_EQ(255, four.GetPaletteEntry(15).rgbRed);
    for (LONG x = 0; x < 16; x++)
        four.SetPixelIndex(x, 1, BYTE(x));
    ASSERT_TRUE(four.Save(jpegPath.c_str(), IMAGE_FORMAT_JPEG));
    CxImage fourBack(jpegPath.c_str(), IMAGE_FORMAT_JPEG);
    EXPECT_EQ(8, fourBack.GetBpp());
    EXPECT_NEAR(17 * 12, fourBack.GetPixelIndex(12, 1), 12);
    for (const std::string& path : { gifPath, jpegPath, pngPath })
        std::remove(path.c_str());
}

TEST(ImageCodecs, RefusalsAndTruncatedFilesKeepTheTarget)
{
    std::string path = ScratchFile("refused");
    CxImage colour(ImageFixture("colour.jpg").c_str(), IMAGE_FORMAT_JPEG);
    EXPECT_FALSE(colour.Save(path.c_str(), IMAGE_FORMAT_GIF));
    EXPECT_STREQ("GIF Images must be 8 bit or less", colour.GetLastError());
    CxImage four(ImageFixture("bmp4.bmp").c_str(), IMAGE_FORMAT_BMP);
    EXPECT_FALSE(four.Save(path.c_str(), IMAGE_FORMAT_JPEG));
    EXPECT_STREQ("JPEG can save only RGB or GreyScale images", four.GetLastError());
    EXPECT_FALSE(four.Save(path.c_str(), 7));
    EXPECT_STREQ("Unsupported operation for this format", four.GetLastError());
    std::remove(path.c_str());

    // Truncated files, files of another format, and decompression bombs:
    // headers of every format claiming more pixels than a picture may have,
    // or sides beyond the libraries' own limits, over data of a few pixels.
    const char* const kTooLarge = "Can't allocate memory";
    struct Refused {
        const char* file;
        DWORD format;
        const char* text;  // any text when none
    } refused[] = {
        { "truncated.png", IMAGE_FORMAT_PNG, nullptr },   { "truncated.jpg", IMAGE_FORMAT_JPEG, nullptr },
        { "colour.jpg", IMAGE_FORMAT_PNG, nullptr },      { "gif2.gif", IMAGE_FORMAT_BMP, nullptr },
        { "bomb.bmp", IMAGE_FORMAT_BMP, kTooLarge },      { "bomb.gif", IMAGE_FORMAT_GIF, kTooLarge },
        { "bomb.png", IMAGE_FORMAT_PNG, kTooLarge },      { "bomb.jpg", IMAGE_FORMAT_JPEG, kTooLarge },
        { "bomb-side.png", IMAGE_FORMAT_PNG, kTooLarge }, { "bomb-side.jpg", IMAGE_FORMAT_JPEG, kTooLarge }
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.file);
        CxImage target(ImageFixture("bmp4.bmp").c_str(), IMAGE_FORMAT_BMP);
        std::vector<BYTE> before = RgbaOf(target);
        EXPECT_FALSE(target.Load(ImageFixture(r.file).c_str(), r.format));
        if (r.text != nullptr) {
            EXPECT_STREQ(r.text, target.GetLastError());
        } else {
            EXPECT_STRNE("", target.GetLastError());
        }
        EXPECT_EQ(IMAGE_FORMAT_BMP, target.GetFormat());
        EXPECT_TRUE(before == RgbaOf(target));
    }
}

TEST(ImageCodecs, HostileBitmapsFailCleanly)
{
    CxImage image;
    // A top-down picture cut short keeps its first rows at the top; the most
    // negative height is no size at all.
    std::vector<BYTE> grey(1024);
    ASSERT_TRUE(DecodeBytes(image, BmpFile(2, -3, 8, BI_RGB, 0, grey, { 1, 2, 0, 0, 3 }), IMAGE_FORMAT_BMP));
    EXPECT_EQ((std::vector<int>{ 1, 2, 3, 0, 0, 0 }), Indices(image));
    // Any resolution is read, rounded half up to dots per inch (2,500 pels
    // a metre is 63.5, -20,000 is -508).
    std::vector<BYTE> resolution = BmpFile(1, 1, 24, BI_RGB, 0, {}, std::vector<BYTE>(4));
    WriteLe32(resolution.data() + 14 + 24, 2500);
    WriteLe32(resolution.data() + 14 + 28, DWORD(-20000));
    ASSERT_TRUE(DecodeBytes(image, resolution, IMAGE_FORMAT_BMP));
    EXPECT_EQ(64, image.GetXDpi());
    EXPECT_EQ(-508, image.GetYDpi());
    EXPECT_FALSE(DecodeBytes(image, BmpFile(4, INT32_MIN, 24, BI_RGB, 0, {}, {}), IMAGE_FORMAT_BMP));
    EXPECT_STREQ("Can't allocate memory", image.GetLastError());
    EXPECT_FALSE(DecodeBytes(image, BmpFile(20000, 20000, 24, BI_RGB, 0, {}, {}), IMAGE_FORMAT_BMP));
    EXPECT_STREQ("Can't allocate memory", image.GetLastError());
    // Masks whose shifts fall outside a 32-bit value.
    EXPECT_FALSE(DecodeBytes(image, BmpFile(2, 1, 16, BI_BITFIELDS, 0, {}, std::vector<BYTE>(4), { 0xFFFFFFFF, 0, 0 }),
                             IMAGE_FORMAT_BMP));
    EXPECT_STREQ("Error reading BMP info", image.GetLastError());

    // A palette count far beyond the bits, and a size far beyond the data.
    std::vector<BYTE> file = BmpFile(8, 2, 1, BI_RGB, 0x40000000, { 0, 0, 0, 0, 255, 255, 255, 0 }, { 0xAA, 0, 0, 0 });
    WriteLe32(file.data() + 14 + 20, 0x7FFFFFFF);
    // And a resolution whose pels per metre can't be held again.
    WriteLe32(file.data() + 14 + 24, 0x80000002);
    ASSERT_TRUE(DecodeBytes(image, file, IMAGE_FORMAT_BMP));
    EXPECT_EQ(2u, image.GetPaletteEntries());
    EXPECT_EQ(1, image.GetPixelIndex(0, 0));
    EXPECT_EQ(0, image.GetPixelIndex(0, 1));

    // Runs and moves that leave the pixel area end the picture.
    const std::vector<BYTE> runs[] = {
        { 3, 7, 200, 9 },                     // a run past the row
        { 2, 7, 0, 2, 1, 9, 5, 5 },          // a move past the top
        { 0, 2, 250, 0, 2, 5 },              // a move past the right
        { 0, 0, 0, 0, 0, 0, 0, 200 },        // end of line past the top, then an absolute run
    };
    for (const std::vector<BYTE>& run : runs) {
        ASSERT_TRUE(DecodeBytes(image, BmpFile(4, 2, 8, BI_RLE8, 0, std::vector<BYTE>(1024), run), IMAGE_FORMAT_BMP));
        EXPECT_EQ(4u, image.GetWidth());
    }
    ASSERT_TRUE(DecodeBytes(image, BmpFile(4, 2, 8, BI_RLE8, 0, std::vector<BYTE>(1024), { 3, 7, 200, 9 }),
                            IMAGE_FORMAT_BMP));
    EXPECT_EQ((std::vector<int>{ 0, 0, 0, 0, 7, 7, 7, 0 }), Indices(image));
    ASSERT_TRUE(DecodeBytes(image, BmpFile(4, 2, 4, BI_RLE4, 0, std::vector<BYTE>(64), { 0, 9, 1, 2, 3, 4, 5, 0 }),
                            IMAGE_FORMAT_BMP));
    EXPECT_EQ(std::vector<int>(8, 0), Indices(image));
}

TEST(ImageCodecs, HostileGifsFailCleanly)
{
    CxImage image;
    // A code size the coder can't have gives no pixels.
    ASSERT_TRUE(DecodeBytes(image, GifFile(2, 1, 2, 0, { 12, 1, 0xFF, 0 }), IMAGE_FORMAT_GIF));
    EXPECT_EQ((std::vector<int>{ 0, 0 }), Indices(image));
    // A code above the next free one ends the image after what it had.
    ASSERT_TRUE(DecodeBytes(image, GifFile(3, 1, 2, 0, GifData(2, { 4, 2, 7 })), IMAGE_FORMAT_GIF));
    EXPECT_EQ((std::vector<int>{ 2, 0, 0 }), Indices(image));
    // Pixel values beyond the picture's one bit don't reach its neighbours.
    ASSERT_TRUE(DecodeBytes(image, GifFile(2, 1, 1, 0, GifData(2, { 4, 3, 0, 5 })), IMAGE_FORMAT_GIF));
    EXPECT_EQ(1, image.GetBpp());
    EXPECT_EQ((std::vector<int>{ 1, 0 }), Indices(image));
    // Interlaced rows past the height are skipped: rows 0, 2 and 1 come in
    // that order.
    ASSERT_TRUE(DecodeBytes(image, GifFile(2, 3, 2, 0x40, GifData(2, { 4, 1, 1, 2, 2, 3, 3, 0, 0, 5 })),
                            IMAGE_FORMAT_GIF));
    EXPECT_EQ((std::vector<int>{ 1, 1, 3, 3, 2, 2 }), Indices(image));
    // Frames of no size or above the limit, and files without an image.
    EXPECT_FALSE(DecodeBytes(image, GifFile(0, 3, 2, 0, GifData(2, { 4, 1, 5 })), IMAGE_FORMAT_GIF));
    std::vector<BYTE> wide = GifFile(100, 1, 2, 0, GifData(2, { 4, 1, 5 }));
    WriteLe16(wide.data() + 13 + 12 + 5, 20000);
    EXPECT_FALSE(DecodeBytes(image, wide, IMAGE_FORMAT_GIF));
    EXPECT_FALSE(DecodeBytes(image, { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';' }, IMAGE_FORMAT_GIF));
    EXPECT_FALSE(DecodeBytes(image, { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ',', 0 }, IMAGE_FORMAT_GIF));
}

TEST(ImageCodecs, PicturesUpToThePixelAndScanLimitsLoad)
{
    // 8192 x 8192 one-bit pixels load, one row more doesn't.
    CxImage image;
    const std::vector<BYTE> palette = { 0, 0, 0, 0, 255, 255, 255, 0 };
    EXPECT_TRUE(DecodeBytes(image, BmpFile(8192, -8192, 1, BI_RGB, 0, palette, { 0x80 }), IMAGE_FORMAT_BMP));
    EXPECT_EQ(1, image.GetPixelIndex(0, 8191));
    EXPECT_FALSE(DecodeBytes(image, BmpFile(8192, 8193, 1, BI_RGB, 0, palette, {}), IMAGE_FORMAT_BMP));
    EXPECT_STREQ("Can't allocate memory", image.GetLastError());

    // A thousand scans load; one more is refused before a picture is made.
    const std::vector<BYTE> plain = ReadBytes(ImageFixture("progressive.jpg"));
    size_t own = 0;
    for (size_t i = 0; i + 1 < plain.size(); i++)
        own += plain[i] == 0xFF && plain[i + 1] == 0xDA ? 1 : 0;
    ASSERT_TRUE(DecodeBytes(image, WithMoreScans(1000 - own), IMAGE_FORMAT_JPEG)) << image.GetLastError();
    EXPECT_EQ("", ComparePixels(image, ImageFixture("progressive.jpg.rgba"), 2, ALPHA_KEPT));
    EXPECT_FALSE(DecodeBytes(image, WithMoreScans(1001 - own), IMAGE_FORMAT_JPEG));
    EXPECT_STREQ("JPEG file has more than 1000 scans", image.GetLastError());
    EXPECT_EQ(IMAGE_FORMAT_JPEG, image.GetFormat());
    EXPECT_EQ(40u, image.GetWidth());
#ifndef _WIN32
    // Progressive pictures of the most pixels, colour and CMYK (the library
    // then keeps 8 bytes a pixel). ImageMagick's usual resource policy has
    // too little cache for the CMYK one; a policy of the test's own lifts
    // it.
    std::string path = ScratchFile("large.jpg");
    std::string policyFolder = ScratchFile("policy");
    std::string policy = "mkdir -p '" + policyFolder + "' && printf '%s' '<policymap><policy domain=\"resource\" " +
                         "name=\"disk\" value=\"4GiB\"/></policymap>' > '" + policyFolder + "/policy.xml'";
    ASSERT_EQ(0, std::system(policy.c_str()));
    for (const char* picture : { "xc:'#3366cc'", "xc:'#3366cc' -colorspace CMYK" }) {
        SCOPED_TRACE(picture);
        std::string command = "MAGICK_CONFIGURE_PATH='" + policyFolder + "' convert -size 8192x8192 " +
                              std::string(picture) + " -sampling-factor 1x1 -interlace JPEG '" + path +
                              "' 2>/dev/null";
        ASSERT_EQ(0, std::system(command.c_str()));
        // The file is progressive (SOF2) with three or four components.
        const std::vector<BYTE> bytes = ReadBytes(path);
        size_t frame = 0;
        while (frame + 10 < bytes.size() && !(bytes[frame] == 0xFF && bytes[frame + 1] == 0xC2))
            frame++;
        ASSERT_LT(frame + 10, bytes.size());
        EXPECT_EQ(std::strstr(picture, "CMYK") != nullptr ? 4 : 3, bytes[frame + 9]);
        ASSERT_TRUE(image.Load(path.c_str(), IMAGE_FORMAT_JPEG)) << image.GetLastError();
        EXPECT_EQ(8192u, image.GetWidth());
        EXPECT_EQ(8192u, image.GetHeight());
        RGBQUAD corner = image.GetPixelColor(LONG(image.GetWidth()) - 1, 0);
        EXPECT_NEAR(0x33, corner.rgbRed, 6);
        EXPECT_NEAR(0x66, corner.rgbGreen, 6);
        EXPECT_NEAR(0xCC, corner.rgbBlue, 6);
    }
    std::remove(path.c_str());
    std::system(("rm -rf '" + policyFolder + "'").c_str());
#endif
}
