// The image operations: resampling by area and by interpolation, colour
// and depth transforms, geometry and the alpha layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "ImageTestFiles.h"
#include "image/Image.h"

TEST(ImageResize, AreaAveragingKeepsColoursAndMixesCheckers)
{
    const RGBQUAD colour = Quad(10, 200, 255);
    CxImage uniform = Filled(200, 300, colour);
    ASSERT_TRUE(uniform.Resize(93, 139, 0));
    ASSERT_EQ(93u, uniform.GetWidth());
    ASSERT_EQ(139u, uniform.GetHeight());
    int off = 0;
    for (LONG y = 0; y < 139; y++)
        for (LONG x = 0; x < 93; x++)
            off += SameColor(uniform.GetPixelColor(x, y), colour) ? 0 : 1;
    EXPECT_EQ(0, off);

    CxImage checker =
        Painted(200, 300, [](LONG x, LONG y) { return (x + y) % 2 ? Quad(255, 255, 255) : Quad(0, 0, 0); });
    ASSERT_TRUE(checker.Resize(93, 139, 0));
    long sum = 0;
    int low = 255, high = 0;
    for (LONG y = 0; y < 139; y++) {
        for (LONG x = 0; x < 93; x++) {
            int grey = checker.GetPixelColor(x, y).rgbGreen;
            sum += grey;
            low = std::min(low, grey);
            high = std::max(high, grey);
        }
    }
    EXPECT_NEAR(127.5, double(sum) / (93 * 139), 1.0);
    EXPECT_GE(low, 100);
    EXPECT_LE(high, 155);

    // Cells of more than 8,400 white pixels overflow 32-bit sums.
    CxImage strip = Filled(9000, 2, Quad(255, 255, 255));
    ASSERT_TRUE(strip.Resize(1, 1, 0));
    EXPECT_EQ(255, strip.GetPixelColor(0, 0).rgbRed);

    // Whatever the rounding of the cells, no row is written past the new
    // height (the sanitizers watch) and every pixel is covered.
    for (DWORD width = 94; width < 400; width += 37) {
        for (DWORD height = 95; height < 700; height += 61) {
            CxImage grey = Filled(width, height, Quad(128, 128, 128));
            DWORD newHeight = DWORD(double(height) / width * 93.0);
            ASSERT_TRUE(grey.Resize(93, newHeight, 0));
            EXPECT_NEAR(128, grey.GetPixelColor(92, LONG(newHeight) - 1).rgbRed, 1);
            EXPECT_NEAR(128, grey.GetPixelColor(0, 0).rgbRed, 1);
        }
    }
}

TEST(ImageResize, InterpolatesKeepsSizesAndStopsOnEscape)
{
    CxImage small = Painted(50, 50, [](LONG x, LONG y) { return Quad(BYTE(x * 5), BYTE(y * 5), 77); });
    CxImage enlarged(small);
    ASSERT_TRUE(enlarged.Resize(93, 93, 0));
    EXPECT_TRUE(SameColor(small.GetPixelColor(0, 0), enlarged.GetPixelColor(0, 0)));
    EXPECT_TRUE(SameColor(small.GetPixelColor(49, 0), enlarged.GetPixelColor(92, 0)));
    EXPECT_TRUE(SameColor(small.GetPixelColor(0, 49), enlarged.GetPixelColor(0, 92)));
    EXPECT_TRUE(SameColor(small.GetPixelColor(49, 49), enlarged.GetPixelColor(92, 92)));
    // Between two source columns the value moves by the fraction passed.
    for (LONG x = 0; x < 92; x++)
        EXPECT_NEAR(5.0 * x * 50.0 / 93.0, enlarged.GetPixelColor(x, 0).rgbRed, 1.0) << x;

    CxImage same(small);
    ASSERT_TRUE(same.Resize(50, 50, 0));
    EXPECT_EQ(RgbaOf(small), RgbaOf(same));
    EXPECT_FALSE(same.Resize(0, 10, 0));

    same.SetEscape(1);
    EXPECT_FALSE(same.Resize(93, 93, 0));
    EXPECT_FALSE(same.Resize(20, 20, 0));
    EXPECT_FALSE(same.Resize(20, 20, 1));
    EXPECT_EQ(50u, same.GetWidth());
    EXPECT_EQ(RgbaOf(small), RgbaOf(same));

    // Palette pictures take the nearest entry; the other mode the nearest
    // pixel; an alpha layer follows.
    CxImage palette(4, 4, 8);
    palette.SetPaletteEntry(1, 200, 0, 0);
    palette.SetPaletteEntry(2, 100, 0, 0);
    palette.SetTransIndex(2);
    for (LONG y = 0; y < 4; y++)
        for (LONG x = 0; x < 4; x++)
            palette.SetPixelIndex(x, y, BYTE(x < 2 ? 1 : 0));
    ASSERT_TRUE(palette.CreateAlpha());
    palette.SetAlpha(3, 3, 255);
    CxImage nearest(palette);
    ASSERT_TRUE(palette.Resize(8, 8, 0));
    EXPECT_EQ(2, palette.GetTransIndex());
    EXPECT_EQ(1, palette.GetPixelIndex(0, 0));
    EXPECT_EQ(2, palette.GetPixelIndex(3, 0));
    EXPECT_EQ(0, palette.GetPixelIndex(7, 0));
    ASSERT_TRUE(nearest.Resize(2, 2, 1));
    EXPECT_EQ(1, nearest.GetPixelIndex(0, 1));
    EXPECT_EQ(0, nearest.GetPixelIndex(1, 1));
    EXPECT_EQ(255, palette.GetAlpha(7, 7));
    EXPECT_EQ(0, palette.GetAlpha(0, 0));
}

namespace {

// FNV-1a of a picture's RGBA bytes.
uint32_t PixelHash(const CxImage& image)
{
    uint32_t hash = 2166136261u;
    for (BYTE b : RgbaOf(image))
        hash = (hash ^ b) * 16777619u;
    return hash;
}

// A picture of pseudo-random colours, the same on every run.
CxImage Noise(DWORD width, DWORD height)
{
    uint32_t seed = 12345;
    return Painted(width, height, [&seed](LONG, LONG) {
        seed = seed * 1103515245u + 12345u;
        return Quad(BYTE(seed >> 24), BYTE(seed >> 16), BYTE(seed >> 8));
    });
}

// The selection mask, a line a row from row 0, '#' selected.
std::string Mask(const CxImage& image)
{
    std::string mask;
    for (LONG y = 0; y < LONG(image.GetHeight()); y++) {
        for (LONG x = 0; x < LONG(image.GetWidth()); x++)
            mask += image.IsSelected(x, y) ? '#' : '.';
        mask += '\n';
    }
    return mask;
}

CxImage Turned(CxImage image, double angle)
{
    EXPECT_TRUE(image.Rotate(angle)) << angle;
    return image;
}

} // namespace

// Source positions and weights are exact, so the x87 and the SSE builds
// give the same bytes.
TEST(ImageResize, PositionsAndWeightsAreExact)
{
    // Nearest neighbour, alpha included: output (x, y) is source
    // (x * W / w, y * H / h); 31 x 1000 / 62 is column 500.
    CxImage coded = Painted(1000, 250, [](LONG x, LONG y) { return Quad(BYTE(x), BYTE(x >> 8), BYTE(y)); });
    ASSERT_TRUE(coded.CreateAlpha());
    for (LONG y = 0; y < 250; y++)
        for (LONG x = 0; x < 1000; x++)
            coded.SetAlpha(x, y, BYTE(x % 251));
    const DWORD nearestSizes[][2] = { { 62, 87 }, { 93, 139 }, { 310, 3 }, { 999, 249 }, { 1500, 400 } };
    for (const auto& size : nearestSizes) {
        CxImage nearest(coded);
        ASSERT_TRUE(nearest.Resize(size[0], size[1], 1));
        int off = 0;
        for (LONG y = 0; y < LONG(size[1]); y++) {
            for (LONG x = 0; x < LONG(size[0]); x++) {
                LONG sx = LONG(int64_t(x) * 1000 / size[0]), sy = LONG(int64_t(y) * 250 / size[1]);
                off += SameColor(coded.GetPixelColor(sx, sy), nearest.GetPixelColor(x, y)) &&
                               coded.GetAlpha(sx, sy) == nearest.GetAlpha(x, y) ? 0 : 1;
            }
        }
        EXPECT_EQ(0, off) << size[0] << "x" << size[1];
    }

    // Interpolation of planes gives the plane at the exact position,
    // truncated: red rises 3 a column, green falls 3 a row, blue is x + y.
    const CxImage ramps =
        Painted(85, 85, [](LONG x, LONG y) { return Quad(BYTE(3 * x), BYTE(255 - 3 * y), BYTE(x + y)); });
    const DWORD rampSizes[][2] = { { 255, 170 }, { 340, 60 }, { 119, 255 }, { 255, 255 }, { 204, 60 } };
    for (const auto& size : rampSizes) {
        const int64_t w = size[0], h = size[1];
        CxImage enlarged(ramps);
        ASSERT_TRUE(enlarged.Resize(size[0], size[1], 0));
        int off = 0;
        for (int64_t y = 0; y < h; y++) {
            for (int64_t x = 0; x < w; x++) {
                // Past the last source row or column the plane stops.
                if (x * 85 >= 84 * w || y * 85 >= 84 * h)
                    continue;
                RGBQUAD want = Quad(BYTE(3 * x * 85 / w), BYTE(255 - (3 * y * 85 + h - 1) / h),
                                    BYTE((x * 85 * h + y * 85 * w) / (w * h)));
                off += SameColor(want, enlarged.GetPixelColor(LONG(x), LONG(y))) ? 0 : 1;
            }
        }
        EXPECT_EQ(0, off) << w << "x" << h;
    }

    // Area averaging: the same bytes as ever on every build, a cover of
    // 1000 x 1400 made 62 x 87 and 93 x 130 among them.
    CxImage noise = Noise(1000, 1400);
    const struct {
        DWORD width, height;
        uint32_t hash;
    } areas[] = { { 62, 87, 2454682621u }, { 93, 130, 474290932u }, { 225, 50, 1621057037u },
                  { 999, 1399, 3052795552u }, { 7, 3, 1443451040u } };
    for (const auto& area : areas) {
        CxImage smaller(noise);
        ASSERT_TRUE(smaller.Resize(area.width, area.height, 0));
        EXPECT_EQ(area.hash, PixelHash(smaller)) << area.width << "x" << area.height;
    }
    // Cells of 1.5 x 1.15 pixels: 1,725 thousandths, where 1000.0 x sx x sy
    // makes 1,724.
    CxImage corner;
    ASSERT_TRUE(noise.Crop(0, 0, 3, 23, &corner));
    ASSERT_TRUE(corner.Resize(2, 20, 0));
    EXPECT_EQ(884211956u, PixelHash(corner));
}

TEST(ImageOperations, ColourAndDepthTransforms)
{
    CxImage grey(4, 1, 8);
    grey.SetGrayPalette();
    grey.SetPixelIndex(0, 0, 10);
    ASSERT_TRUE(grey.Negative());
    EXPECT_EQ(245, grey.GetPixelIndex(0, 0));
    EXPECT_TRUE(grey.IsGrayScale());

    CxImage coloured(4, 1, 8);
    coloured.SetPaletteEntry(3, 10, 20, 30);
    coloured.SetPixelIndex(0, 0, 3);
    ASSERT_TRUE(coloured.Negative());
    EXPECT_EQ(3, coloured.GetPixelIndex(0, 0));
    EXPECT_EQ(245, coloured.GetPaletteEntry(3).rgbRed);

    CxImage red = Filled(2, 2, Quad(255, 0, 0));
    ASSERT_TRUE(red.GrayScale());
    EXPECT_EQ(8, red.GetBpp());
    EXPECT_EQ(76, red.GetPixelIndex(1, 1));
    EXPECT_EQ(76, red.GetPixelColor(1, 1).rgbGreen);
    // A transparent colour becomes the index of its grey.
    CxImage keyed = Filled(1, 1, Quad(0, 0, 0));
    keyed.SetTransIndex(0);
    keyed.SetTransColor(Quad(200, 100, 50));
    ASSERT_TRUE(keyed.GrayScale());
    EXPECT_EQ(124, keyed.GetTransIndex());

    // The same weights through a palette: 4-bit pictures change their
    // entries, 8-bit ones index the grey ramp, and so does the transparent
    // index.
    const BYTE colours[4][4] = {{255, 0, 0, 76}, {0, 255, 0, 150}, {0, 0, 255, 28}, {200, 100, 50, 124}};
    for (DWORD bpp : {4, 8}) {
        CxImage paletted(4, 1, bpp);
        for (LONG x = 0; x < 4; x++) {
            paletted.SetPaletteEntry(DWORD(x + 1), colours[x][0], colours[x][1], colours[x][2]);
            paletted.SetPixelIndex(x, 0, BYTE(x + 1));
        }
        paletted.SetTransIndex(4);
        ASSERT_TRUE(paletted.GrayScale());
        for (LONG x = 0; x < 4; x++) {
            BYTE grey = colours[x][3];
            EXPECT_TRUE(SameColor(Quad(grey, grey, grey), paletted.GetPixelColor(x, 0))) << bpp << " bits, " << x;
        }
        EXPECT_EQ(bpp == 8 ? 124 : 4, paletted.GetTransIndex());
    }

    // The nearest entry of a colour listed twice is the lower one.
    CxImage twice(1, 1, 4);
    twice.SetPaletteEntry(5, 40, 50, 60);
    twice.SetPaletteEntry(9, 40, 50, 60);
    twice.SetPaletteEntry(2, 41, 50, 60);
    twice.SetPaletteEntry(3, 39, 50, 60);
    EXPECT_EQ(5, twice.NearestIndex(Quad(40, 50, 60)));
    EXPECT_EQ(2, twice.NearestIndex(Quad(41, 51, 60)));
    // So are ties that are no exact match; a nearer higher entry wins.
    CxImage tie(1, 1, 4);
    tie.SetPaletteEntry(6, 41, 50, 60);
    tie.SetPaletteEntry(7, 39, 50, 60);
    EXPECT_EQ(6, tie.NearestIndex(Quad(40, 50, 60)));
    tie.SetPaletteEntry(6, 42, 50, 60);
    EXPECT_EQ(7, tie.NearestIndex(Quad(40, 50, 60)));

    // Error diffusion's threshold: grey up to 128 is black. The grey of a
    // colour takes the weights above, truncated (255, 88, 0 is 128.42).
    const struct {
        RGBQUAD colour;
        int white;
    } dots[] = {{Quad(128, 128, 128), 0}, {Quad(129, 129, 129), 1}, {Quad(255, 88, 0), 0}, {Quad(255, 89, 0), 1}};
    for (const auto& dot : dots) {
        CxImage one = Filled(1, 1, dot.colour);
        ASSERT_TRUE(one.Dither(0));
        EXPECT_EQ(dot.white, one.GetPixelIndex(0, 0)) << int(dot.colour.rgbRed) << "," << int(dot.colour.rgbGreen);
    }

    // Ordered dithering repeats one 4 x 4 pattern of half white.
    CxImage mid = Filled(12, 8, Quad(128, 128, 128));
    CxImage diffused(mid);
    ASSERT_TRUE(mid.Dither(1));
    ASSERT_EQ(1, mid.GetBpp());
    int white = 0;
    for (LONG y = 0; y < 8; y++) {
        for (LONG x = 0; x < 12; x++) {
            EXPECT_EQ(mid.GetPixelIndex(x % 4, y % 4), mid.GetPixelIndex(x, y));
            white += mid.GetPixelIndex(x, y);
        }
    }
    EXPECT_EQ(48, white);
    ASSERT_TRUE(diffused.Dither(0));
    white = 0;
    for (LONG y = 0; y < 8; y++)
        for (LONG x = 0; x < 12; x++)
            white += diffused.GetPixelIndex(x, y);
    EXPECT_NEAR(48, white, 4);

    // Depth changes keep the colours the palette can hold.
    CxImage four(ImageFixture("bmp4.bmp").c_str(), IMAGE_FORMAT_BMP);
    CxImage wide(four);
    ASSERT_TRUE(wide.IncreaseBpp(24));
    EXPECT_EQ(RgbaOf(four), RgbaOf(wide));
    EXPECT_FALSE(wide.IncreaseBpp(8));
    ASSERT_TRUE(wide.DecreaseBpp(4, false, four.GetPalette()));
    EXPECT_EQ(RgbaOf(four), RgbaOf(wide));
    EXPECT_FALSE(wide.DecreaseBpp(8, false));
    CxImage field(ImageFixture("bmp24.bmp").c_str(), IMAGE_FORMAT_BMP);
    ASSERT_TRUE(field.DecreaseBpp(8, true));
    EXPECT_EQ(8, field.GetBpp());
}

TEST(ImageOperations, GeometryAndLayers)
{
    // Six distinct pixels, 3 wide and 2 high.
    CxImage image = Painted(3, 2, [](LONG x, LONG y) { return Quad(BYTE(x * 50), BYTE(y * 50), 9); });

    CxImage turned;
    ASSERT_TRUE(image.Rotate(90, &turned));
    ASSERT_EQ(2u, turned.GetWidth());
    ASSERT_EQ(3u, turned.GetHeight());
    for (LONG y = 0; y < 3; y++)
        for (LONG x = 0; x < 2; x++)
            EXPECT_TRUE(SameColor(image.GetPixelColor(y, 1 - x), turned.GetPixelColor(x, y))) << x << "," << y;
    ASSERT_TRUE(image.Rotate(-180, &turned));
    ASSERT_EQ(3u, turned.GetWidth());
    EXPECT_EQ(RgbaOf(image), RgbaOf(Turned(turned, 180)));
    EXPECT_FALSE(turned.Rotate(std::nan(""), &turned));
    EXPECT_FALSE(turned.Rotate(HUGE_VAL));
    EXPECT_EQ(3u, turned.GetWidth());
    // Other angles give the same bytes on every build, corners left black.
    CxImage noise = Noise(203, 151);
    const struct {
        double angle;
        DWORD width, height;
        uint32_t hash;
    } turns[] = { { 30, 251, 232, 4225086263u }, { -17.5, 239, 205, 3842908978u }, { 135, 250, 250, 1083522772u } };
    for (const auto& turn : turns) {
        CxImage result = Turned(noise, turn.angle);
        EXPECT_EQ(turn.width, result.GetWidth()) << turn.angle;
        EXPECT_EQ(turn.height, result.GetHeight()) << turn.angle;
        EXPECT_EQ(turn.hash, PixelHash(result)) << turn.angle;
    }

    // The rectangle counts rows from the top and is clamped to the picture.
    CxImage cropped;
    ASSERT_TRUE(image.Crop(-5, -5, 2, 1, &cropped));
    ASSERT_EQ(2u, cropped.GetWidth());
    ASSERT_EQ(1u, cropped.GetHeight());
    EXPECT_TRUE(SameColor(image.GetPixelColor(1, 1), cropped.GetPixelColor(1, 0)));
    EXPECT_FALSE(image.Crop(5, 0, 9, 2));
    CxImage four(ImageFixture("bmp4.bmp").c_str(), IMAGE_FORMAT_BMP);
    CxImage part(four);
    ASSERT_TRUE(part.Crop(3, 2, 100, 100));
    EXPECT_EQ(four.GetPixelIndex(3, 0), part.GetPixelIndex(0, 0));
    EXPECT_EQ(four.GetPixelIndex(30, 10), part.GetPixelIndex(27, 10));

    CxImage flipped(image);
    ASSERT_TRUE(flipped.Flip());
    ASSERT_TRUE(flipped.Mirror());
    EXPECT_TRUE(SameColor(image.GetPixelColor(0, 0), flipped.GetPixelColor(2, 1)));

    // Negative inside a selection only.
    CxImage selected(image);
    ASSERT_TRUE(selected.AddSelectionRect(0, 2, 1, 0));
    ASSERT_TRUE(selected.Negative());
    EXPECT_EQ(255, selected.GetPixelColor(0, 1).rgbRed);
    EXPECT_EQ(50, selected.GetPixelColor(1, 1).rgbRed);

    // Stripping blends the alpha against the transparent colour.
    CxImage layered = Filled(3, 1, Quad(200, 100, 0));
    ASSERT_TRUE(layered.CreateAlpha());
    EXPECT_EQ(IMAGE_KIND_ALPHA, layered.GetColorKind());
    layered.SetAlpha(1, 0, 255);
    layered.SetAlpha(2, 0, 128);
    layered.SetTransColor(Quad(0, 0, 255));
    layered.StripAlpha();
    EXPECT_FALSE(layered.HasAlpha());
    EXPECT_EQ(IMAGE_KIND_RGB, layered.GetColorKind());
    EXPECT_TRUE(SameColor(Quad(0, 0, 255), layered.GetPixelColor(0, 0)));
    EXPECT_TRUE(SameColor(Quad(200, 100, 0), layered.GetPixelColor(1, 0)));
    EXPECT_TRUE(SameColor(Quad(200 * 128 / 255, 100 * 128 / 255, 127), layered.GetPixelColor(2, 0)));
}

// Ellipses and polygons select the pixels whose centres are inside, decided
// exactly however large the shape.
TEST(ImageOperations, SelectionShapesAreExact)
{
    CxImage small(9, 7, 24);
    ASSERT_TRUE(small.AddSelectionEllipse(RECT{ 1, 1, 8, 6 }));
    EXPECT_EQ(".........\n..#####..\n.#######.\n.#######.\n.#######.\n..#####..\n.........\n", Mask(small));

    // Centres past the edge of huge ellipses by a part in 10^17, 10^16 and
    // 10^11 (from x^2 - 3y^2 = 1): floating point took the first one in.
    CxImage edge(2, 2, 24);
    ASSERT_TRUE(edge.AddSelectionEllipse(RECT{ -762935264, 0, 54776288, 2 }));
    EXPECT_EQ("..\n..\n", Mask(edge));
    CxImage tall(2, 30, 24);
    ASSERT_TRUE(tall.AddSelectionEllipse(RECT{ -1369407187, -12, 98319013, 38 }));
    std::string rows;
    for (int y = 0; y < 30; y++)
        rows += y > 0 && y < 25 ? "##\n" : "..\n";
    EXPECT_EQ(rows, Mask(tall));
    CxImage narrow(1, 2, 24);
    ASSERT_TRUE(narrow.AddSelectionEllipse(RECT{ -30777185, -54, 2209703, 164 }));
    EXPECT_EQ(".\n#\n", Mask(narrow));

    // A run starts at a centre on the crossing and ends before one.
    CxImage triangle(8, 7, 24);
    const POINT corners[] = { { 0, 0 }, { 6, 0 }, { 0, 6 } };
    ASSERT_TRUE(triangle.AddSelectionPolygon(corners, 3));
    const char* const steps = "#####...\n####....\n###.....\n##......\n#.......\n........\n........\n";
    EXPECT_EQ(steps, Mask(triangle));
    // Points no picture reaches are refused; the farthest allowed is taken.
    const POINT tooFar[] = { { 0, 0 }, { (1 << 28) + 1, 0 }, { 0, 6 } };
    EXPECT_FALSE(triangle.AddSelectionPolygon(tooFar, 3));
    EXPECT_EQ(steps, Mask(triangle));
    const LONG f = 1 << 28;
    const POINT farthest[] = { { -f, -f }, { f, f }, { -f, f } };
    CxImage half(8, 7, 24);
    ASSERT_TRUE(half.AddSelectionPolygon(farthest, 3));
    EXPECT_EQ("........\n#.......\n##......\n###.....\n####....\n#####...\n######..\n", Mask(half));
}
