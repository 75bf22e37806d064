// The Windows side of the image under Wine: DIBs in global memory, bitmaps,
// a resource, and drawing with alpha, with a transparent colour and not at
// all while disabled.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "ImageTestFiles.h"
#include "core/SmallBlockHeap.h"
#include "image/Image.h"

namespace {

// A 24-bit DIB section filled with one colour, selected in a memory context.
class Canvas {
public:
    Canvas(LONG width, LONG height, COLORREF color) : m_width(width), m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(dc, m_bitmap);
        RECT all = { 0, 0, width, height };
        HBRUSH brush = ::CreateSolidBrush(color);
        ::FillRect(dc, &all, brush);
        ::DeleteObject(brush);
    }
    ~Canvas()
    {
        ::SelectObject(dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(dc);
    }
    // Red, green and blue of a pixel, rows from the top.
    COLORREF At(LONG x, LONG y) const
    {
        ::GdiFlush();
        const BYTE* p = m_bits + 4 * (size_t(y) * size_t(m_width) + size_t(x));
        return RGB(p[2], p[1], p[0]);
    }
    HDC dc;

private:
    LONG m_width;
    LONG m_height;
    BYTE* m_bits = nullptr;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

} // namespace

TEST(ImageWindows, GlobalMemoryBitmapsAndResourcesKeepThePixels)
{
    for (const char* name : { "bmp8.bmp", "bmp24.bmp", "bmp1.bmp" }) {
        SCOPED_TRACE(name);
        CxImage image(ImageFixture(name).c_str(), IMAGE_FORMAT_BMP);
        HGLOBAL handle = image.CopyToHandle();
        ASSERT_NE(nullptr, handle);
        EXPECT_EQ(image.GetDibSize(), ::GlobalSize(handle));
        CxImage back;
        ASSERT_TRUE(back.CreateFromHandle(handle));
        ::GlobalFree(handle);
        EXPECT_EQ(RgbaOf(image), RgbaOf(back));

        HBITMAP bitmap = image.MakeBitmap(nullptr);
        ASSERT_NE(nullptr, bitmap);
        CxImage fromBitmap;
        ASSERT_TRUE(fromBitmap.CreateFromBitmap(bitmap));
        ::DeleteObject(bitmap);
        EXPECT_EQ(image.GetWidth(), fromBitmap.GetWidth());
        EXPECT_EQ(RgbaOf(image), RgbaOf(fromBitmap));
    }

    // A 32-bit bit-field DIB becomes 24 bits through its masks; a DIB that
    // claims more rows than its memory holds is refused.
    const DWORD head[13] = { 40, 2, 1, 1 | (32u << 16), BI_BITFIELDS, 8, 0, 0, 0, 0, 0x00FF0000, 0x0000FF00, 0x000000FF };
    const DWORD pixels[2] = { 0x00102030, 0xFFFFFFFF };
    HGLOBAL dib = ::GlobalAlloc(GHND, sizeof head + sizeof pixels);
    BYTE* block = static_cast<BYTE*>(::GlobalLock(dib));
    std::memcpy(block, head, sizeof head);
    std::memcpy(block + sizeof head, pixels, sizeof pixels);
    ::GlobalUnlock(dib);
    CxImage wide;
    ASSERT_TRUE(wide.CreateFromHandle(dib));
    EXPECT_EQ(24, wide.GetBpp());
    RGBQUAD c = wide.GetPixelColor(0, 0);
    EXPECT_EQ(0x10, c.rgbRed);
    EXPECT_EQ(0x20, c.rgbGreen);
    EXPECT_EQ(0x30, c.rgbBlue);
    block = static_cast<BYTE*>(::GlobalLock(dib));
    reinterpret_cast<BITMAPINFOHEADER*>(block)->biHeight = 500;
    ::GlobalUnlock(dib);
    EXPECT_FALSE(wide.CreateFromHandle(dib));
    ::GlobalFree(dib);

    CxImage resource;
    ASSERT_TRUE(resource.LoadFromResource(::FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA), IMAGE_FORMAT_GIF));
    EXPECT_EQ("", ComparePixels(resource, ImageFixture("gif3.gif.rgba"), 0, ALPHA_KEPT));
    EXPECT_FALSE(resource.LoadFromResource(nullptr, IMAGE_FORMAT_GIF));
    EXPECT_STREQ("Unable to load resource!", resource.GetLastError());
    EXPECT_EQ(4, resource.GetBpp());
}

TEST(ImageWindows, DrawsBlendedTransparentAndNotWhileDisabled)
{
    CxImage image = Filled(3, 1, Quad(200, 100, 0));
    ASSERT_TRUE(image.CreateAlpha());
    image.SetAlpha(1, 0, 255);
    image.SetAlpha(2, 0, 128);
    Canvas canvas(4, 2, RGB(0, 0, 250));
    ASSERT_TRUE(image.Draw(canvas.dc, 1, 1));
    EXPECT_EQ(RGB(0, 0, 250), canvas.At(1, 1));
    EXPECT_EQ(RGB(200, 100, 0), canvas.At(2, 1));
    EXPECT_EQ(RGB(200 * 128 / 255, 100 * 128 / 255, 250 * 127 / 255), canvas.At(3, 1));
    EXPECT_EQ(RGB(0, 0, 250), canvas.At(0, 0));

    // The transparent entry lets the destination through.
    CxImage palette(2, 2, 8);
    palette.SetPaletteEntry(1, 255, 255, 0);
    palette.SetPaletteEntry(2, 0, 128, 0);
    palette.SetPixelIndex(0, 1, 1);
    palette.SetPixelIndex(1, 1, 2);
    palette.SetTransIndex(2);
    Canvas second(2, 2, RGB(9, 9, 9));
    ASSERT_TRUE(palette.DrawTransparent(second.dc, 0, 0));
    EXPECT_EQ(RGB(255, 255, 0), second.At(0, 0));
    EXPECT_EQ(RGB(9, 9, 9), second.At(1, 0));

    // Stretched to twice the size, and nothing while disabled.
    Canvas third(4, 4, RGB(9, 9, 9));
    ASSERT_TRUE(palette.DrawStretched(third.dc, 0, 0, 4, 4));
    EXPECT_EQ(RGB(255, 255, 0), third.At(1, 1));
    EXPECT_EQ(RGB(0, 128, 0), third.At(3, 0));
    palette.Enable(false);
    Canvas fourth(2, 2, RGB(9, 9, 9));
    EXPECT_TRUE(palette.Draw(fourth.dc, 0, 0));
    EXPECT_EQ(RGB(9, 9, 9), fourth.At(0, 0));
    RECT area = { 0, 0, 2, 2 };
    palette.Enable(true);
    ASSERT_TRUE(palette.DrawTiled(fourth.dc, area));
    EXPECT_EQ(RGB(255, 255, 0), fourth.At(0, 0));
}

// Every allocation of a resize failing in turn: each fails the resize and
// leaves the picture as it was, in every mode.
TEST(ImageWindows, ResizeWithoutMemoryKeepsThePicture)
{
    CxImage colours = Painted(40, 30, [](LONG x, LONG y) { return Quad(BYTE(x * 6), BYTE(y * 8), 90); });
    ASSERT_TRUE(colours.CreateAlpha());
    colours.SetAlpha(3, 4, 200);
    CxImage palette(ImageFixture("bmp4.bmp").c_str(), IMAGE_FORMAT_BMP);
    ASSERT_TRUE(palette.IsValid());
    const struct {
        CxImage* picture;
        DWORD width, height;
        int mode;
    } resizes[] = { { &colours, 13, 9, 0 }, { &colours, 93, 70, 0 }, { &colours, 93, 7, 1 }, { &palette, 50, 61, 0 } };
    for (const auto& resize : resizes) {
        const std::vector<BYTE> before = RgbaOf(*resize.picture);
        long nth = 1;
        for (;; nth++) {
            CxImage copy(*resize.picture);
            FailAllocationForTest(nth);
            const bool resized = copy.Resize(resize.width, resize.height, resize.mode);
            const bool failed = AllocationFailedForTest();
            FailAllocationForTest(0);
            if (!failed) {
                EXPECT_TRUE(resized);
                EXPECT_EQ(resize.width, copy.GetWidth());
                break;
            }
            EXPECT_FALSE(resized) << nth;
            EXPECT_EQ(resize.picture->GetWidth(), copy.GetWidth()) << nth;
            EXPECT_EQ(before, RgbaOf(copy)) << nth;
            EXPECT_EQ(resize.picture->HasAlpha(), copy.HasAlpha()) << nth;
        }
        EXPECT_GT(nth, 3) << resize.width;
    }
}

#endif
