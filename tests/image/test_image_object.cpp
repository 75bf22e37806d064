// The image object: created sizes and palettes, copies, ghosts and buffer
// transfers, and the row cursor of the codecs.
#include <gtest/gtest.h>

#include <cstring>

#include "image/Image.h"
#include "image/ImageRowCursor.h"

TEST(ImageObject, CreatesPaddedZeroFilledPictures)
{
    CxImage image;
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(-1, image.GetTransIndex());
    EXPECT_EQ(75, image.GetJpegQuality());
    ASSERT_NE(nullptr, image.Create(10, 10, 3, IMAGE_FORMAT_BMP));
    EXPECT_EQ(4, image.GetBpp());
    EXPECT_EQ(16u, image.GetPaletteEntries());
    EXPECT_EQ(8u, image.GetRowWidth());
    EXPECT_EQ(IMAGE_KIND_PALETTE, image.GetColorKind());
    EXPECT_EQ(40u + 16 * 4 + 80, image.GetDibSize());
    EXPECT_EQ(2835, image.GetHeader().biXPelsPerMeter);
    image.SetXDpi(300);
    EXPECT_EQ(11811, reinterpret_cast<const BITMAPINFOHEADER*>(image.GetDib())->biXPelsPerMeter);
    // Rounded half up (-39.37 pels is -39) and held in 32 bits.
    image.SetYDpi(-1);
    EXPECT_EQ(-39, image.GetHeader().biYPelsPerMeter);
    image.SetXDpi(2147483647);
    EXPECT_EQ(2147483647, image.GetHeader().biXPelsPerMeter);
    image.SetXDpi(-2147483647 - 1);
    EXPECT_EQ(-2147483647 - 1, image.GetHeader().biXPelsPerMeter);

    // Fresh pixels are zero, whatever the heap held before.
    ASSERT_NE(nullptr, image.Create(1, 3, 24, IMAGE_FORMAT_PNG));
    EXPECT_EQ(4u, image.GetRowWidth());
    EXPECT_EQ(0u, image.GetPaletteEntries());
    EXPECT_EQ(IMAGE_FORMAT_PNG, image.GetFormat());
    for (DWORD i = 0; i < image.GetHeader().biSizeImage; i++)
        EXPECT_EQ(0, image.GetPixels()[i]);
    EXPECT_TRUE(image.IsInside(0, 2));
    EXPECT_FALSE(image.IsInside(1, 0));
    EXPECT_FALSE(image.IsInside(0, -1));

    // Sizes of nothing or above the limit give an empty image.
    EXPECT_EQ(nullptr, image.Create(0, 5, 8));
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(nullptr, image.Create(16385, 1, 8));
    CxImage made(7, 2, 1, IMAGE_FORMAT_GIF);
    EXPECT_EQ(IMAGE_FORMAT_BMP, made.GetFormat());
    EXPECT_EQ(2u, made.GetPaletteEntries());
}

TEST(ImageObject, CopiesGhostsAndTransfersKeepOwnersIntact)
{
    CxImage owner(5, 4, 8);
    owner.SetGrayPalette();
    owner.SetPixelIndex(2, 3, 77);
    owner.SetTransIndex(3);
    ASSERT_TRUE(owner.CreateAlpha());
    owner.SetAlpha(1, 1, 99);

    CxImage copy(owner);
    EXPECT_EQ(77, copy.GetPixelIndex(2, 3));
    EXPECT_EQ(99, copy.GetAlpha(1, 1));
    EXPECT_EQ(3, copy.GetTransIndex());
    EXPECT_NE(owner.GetPixels(), copy.GetPixels());
    CxImage paletteOnly(owner, false, false, false);
    EXPECT_EQ(0, paletteOnly.GetPixelIndex(2, 3));
    EXPECT_EQ(200, paletteOnly.GetPaletteEntry(200).rgbGreen);
    EXPECT_FALSE(paletteOnly.HasAlpha());
    CxImage assigned;
    assigned = owner;
    CxImage& self = assigned;
    assigned = self;
    EXPECT_EQ(77, assigned.GetPixelIndex(2, 3));

    // A ghost borrows the buffers and leaves them to their owner.
    {
        CxImage ghost;
        ghost.Ghost(owner);
        EXPECT_EQ(owner.GetPixels(), ghost.GetPixels());
        ghost.SetPixelIndex(0, 0, 5);
        ghost.DeleteAlpha();
    }
    EXPECT_EQ(5, owner.GetPixelIndex(0, 0));
    EXPECT_EQ(99, owner.GetAlpha(1, 1));

    // A transfer moves the buffers and leaves the source empty.
    BYTE* pixels = copy.GetPixels();
    CxImage taker;
    taker.TakeBuffers(copy);
    EXPECT_EQ(pixels, taker.GetPixels());
    EXPECT_FALSE(copy.IsValid());
    EXPECT_FALSE(copy.HasAlpha());
    EXPECT_EQ(99, taker.GetAlpha(1, 1));
}

TEST(ImageObject, RowCursorStaysInsideThePicture)
{
    CxImage image(3, 2, 24);
    CImageRowCursor cursor(image);
    EXPECT_EQ(1, cursor.GetRowIndex());
    BYTE row[32];
    std::memset(row, 0xAB, sizeof row);
    // At most the row width is stored: the row above keeps its zeros.
    ASSERT_TRUE(cursor.ToRow(0));
    cursor.StoreRow(row, LONG(sizeof row));
    EXPECT_EQ(0xAB, image.GetRow(0)[11]);
    EXPECT_EQ(0, image.GetRow(1)[0]);
    EXPECT_FALSE(cursor.ToPreviousRow());
    EXPECT_EQ(-1, cursor.GetRowIndex());
    cursor.StoreRow(row);
    EXPECT_FALSE(cursor.ToRow(2));
    cursor.ToTopRow();
    BYTE fetched[32] = {};
    cursor.FetchRow(fetched, 32);
    EXPECT_EQ(0, fetched[0]);
    ASSERT_TRUE(cursor.ToPreviousRow());
    cursor.FetchRow(fetched, 32);
    EXPECT_EQ(0xAB, fetched[11]);
    EXPECT_EQ(0, fetched[12]);
}
