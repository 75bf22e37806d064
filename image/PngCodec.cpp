#include "image/PngCodec.h"

#include <cstdlib>
#include <cstring>

#include <png.h>

#include "image/ImageBytes.h"

namespace {

// Four 2-bit values of each byte become two bytes of two 4-bit values; the
// row is widened in place from its end.
void WidenTwoBitRow(BYTE* row, size_t sourceBytes)
{
    for (size_t i = sourceBytes; i-- > 0;) {
        BYTE b = row[i];
        row[2 * i + 1] = BYTE((((b >> 2) & 3) << 4) | (b & 3));
        row[2 * i] = BYTE(((b >> 6) << 4) | ((b >> 4) & 3));
    }
}

BYTE EightBits(png_uint_16 value, int bitDepth)
{
    return BYTE(bitDepth == 16 ? value >> 8 : value);
}

} // namespace

void CPngCodec::FreeRows()
{
    std::free(m_rows);
    m_rows = nullptr;
}

bool CPngCodec::Decode(FILE* file)
{
    if (file == nullptr)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    m_rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        FreeRows();
        SetLastError("Error reading PNG file");
        return false;
    }
    png_init_io(png, file);
    // The library's own size limits would refuse a huge header with its own
    // text; the check below refuses it as every codec does.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    const int pixelDepth = png_get_channels(png, info) * bitDepth;
    // Before any row is allocated.
    if (!IsImageSizeAllowed(width, height)) {
        png_destroy_read_struct(&png, &info, nullptr);
        SetLastError("Can't allocate memory");
        return false;
    }

    // The palette and its transparency as the file has them, before the
    // background below is composed into the library's copy.
    png_colorp filePalette = nullptr;
    int paletteCount = 0;
    RGBQUAD palette[256] = {};
    if (png_get_PLTE(png, info, &filePalette, &paletteCount) == 0)
        paletteCount = 0;
    paletteCount = paletteCount > 256 ? 256 : paletteCount;
    for (int i = 0; i < paletteCount; i++) {
        palette[i].rgbRed = filePalette[i].red;
        palette[i].rgbGreen = filePalette[i].green;
        palette[i].rgbBlue = filePalette[i].blue;
    }
    png_bytep fileAlpha = nullptr;
    int transCount = 0;
    BYTE transAlpha[256] = {};
    if (colorType == PNG_COLOR_TYPE_PALETTE && png_get_tRNS(png, info, &fileAlpha, &transCount, nullptr) != 0 &&
        fileAlpha != nullptr) {
        transCount = transCount > paletteCount ? paletteCount : transCount;
        std::memcpy(transAlpha, fileAlpha, size_t(transCount));
    } else {
        transCount = 0;
    }

    // Transparency of all but RGBA files is composed against the file's
    // background colour, or else light grey.
    png_color_16p background = nullptr;
    bool hasBackground = png_get_bKGD(png, info, &background) != 0 && background != nullptr;
    if (pixelDepth != 32) {
        if (hasBackground) {
            png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            png_color_16 grey = { 0, 192, 192, 192, 192 };
            png_set_background(png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    } else if (hasBackground) {
        RGBQUAD color = {};
        bool colour = (colorType & PNG_COLOR_MASK_COLOR) != 0;
        color.rgbRed = EightBits(colour ? background->red : background->gray, bitDepth);
        color.rgbGreen = EightBits(colour ? background->green : background->gray, bitDepth);
        color.rgbBlue = EightBits(colour ? background->blue : background->gray, bitDepth);
        SetTransColor(color);
    }
    if (bitDepth == 16)
        png_set_strip_16(png);
    const bool alpha = pixelDepth == 32 && (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    if (alpha) {
        if ((colorType & PNG_COLOR_MASK_COLOR) == 0)
            png_set_gray_to_rgb(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    const int passes = interlace != PNG_INTERLACE_NONE ? png_set_interlace_handling(png) : 1;
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);

    DWORD bpp = pixelDepth > 16 ? 24 : pixelDepth == 16 ? 8 : DWORD(bitDepth);
    if (Create(width, height, bpp, IMAGE_FORMAT_PNG) == nullptr)
        png_error(png, "no memory for the picture");
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        SetPalette(palette, DWORD(paletteCount));
        RGBQUAD* entries = GetPalette();
        for (int i = 0; i < transCount && DWORD(i) < GetPaletteEntries(); i++)
            entries[i].rgbReserved = transAlpha[i];
        if (transCount == 1 && transAlpha[0] == 0) {
            SetTransIndex(0);
        } else if (transCount > 0) {
            SetPaletteAlphaFlag(true);
            for (DWORD i = DWORD(transCount); i < GetPaletteEntries(); i++)
                entries[i].rgbReserved = 255;
        }
    } else if (bitDepth == 2) {
        static const BYTE kGreys[4] = { 0, 0x55, 0xAA, 0xFF };
        for (DWORD i = 0; i < 4; i++)
            SetPaletteEntry(i, kGreys[i], kGreys[i], kGreys[i]);
    } else if (GetBpp() <= 8) {
        SetGrayPalette();
    }
    if (alpha && !CreateAlpha())
        png_error(png, "no memory for the alpha layer");

    // Interlaced RGBA rows can't wait in the 24-bit picture between passes:
    // they get a buffer of their own.
    const bool wholeImage = alpha && passes > 1;
    size_t bufferSize = rowBytes > GetRowWidth() ? rowBytes : GetRowWidth();
    m_rows = static_cast<BYTE*>(std::malloc(wholeImage ? rowBytes * height : bufferSize + 16));
    if (m_rows == nullptr)
        png_error(png, "no memory for the rows");
    BYTE* alphaLayer = GetAlphaLayer();
    for (int pass = 0; pass < passes; pass++) {
        const bool last = pass == passes - 1;
        for (png_uint_32 top = 0; top < height; top++) {
            const LONG y = LONG(height - 1 - top);
            BYTE* target = GetRow(y);
            if (alpha) {
                BYTE* row = wholeImage ? m_rows + rowBytes * top : m_rows;
                png_read_row(png, row, nullptr);
                if (!last)
                    continue;
                BYTE* rowAlpha = alphaLayer + size_t(y) * width;
                for (png_uint_32 x = 0; x < width; x++) {
                    const BYTE* pixel = row + 4 * x;
                    target[3 * x] = pixel[2];
                    target[3 * x + 1] = pixel[1];
                    target[3 * x + 2] = pixel[0];
                    rowAlpha[x] = pixel[3];
                }
                continue;
            }
            // Later passes complete the row stored by the earlier ones.
            if (pass > 0)
                std::memcpy(m_rows, target, rowBytes < GetRowWidth() ? rowBytes : GetRowWidth());
            png_read_row(png, m_rows, nullptr);
            size_t stored = rowBytes;
            if (last && bpp == 24) {
                CopySwappingRedBlue(m_rows, m_rows, width);
            } else if (last && bpp == 2) {
                WidenTwoBitRow(m_rows, rowBytes);
                stored = 2 * rowBytes;
            }
            std::memcpy(target, m_rows, stored < GetRowWidth() ? stored : GetRowWidth());
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    FreeRows();
    return true;
}

bool CPngCodec::Encode(FILE* file)
{
    if (file == nullptr || !IsValid())
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    m_rows = nullptr;
    m_swappedIndex = -1;
    if (setjmp(png_jmpbuf(png))) {
        if (m_swappedIndex > 0)
            SwapIndex(0, BYTE(m_swappedIndex));
        png_destroy_write_struct(&png, &info);
        FreeRows();
        SetLastError("Error saving PNG file");
        return false;
    }
    png_init_io(png, file);
    const png_uint_32 width = GetWidth();
    const png_uint_32 height = GetHeight();
    const bool paletted = GetBpp() <= 8;
    const int32_t transIndex = GetTransIndex();
    const DWORD entries = GetPaletteEntries();
    // A 24-bit picture with a transparent colour is written with alpha 0
    // for that colour; the picture itself gets no layer.
    const bool alpha = !paletted && (HasAlpha() || transIndex >= 0);
    if (paletted) {
        png_set_IHDR(png, info, width, height, GetBpp(), PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        // The transparent entry goes first, so that one tRNS byte names it.
        // The exchange is undone once the file is written.
        if (transIndex > 0 && DWORD(transIndex) < entries) {
            SwapIndex(0, BYTE(transIndex));
            m_swappedIndex = transIndex;
        }
        png_color plte[256];
        png_byte trans[256];
        const RGBQUAD* colors = GetPalette();
        for (DWORD i = 0; i < entries; i++) {
            plte[i].red = colors[i].rgbRed;
            plte[i].green = colors[i].rgbGreen;
            plte[i].blue = colors[i].rgbBlue;
            trans[i] = colors[i].rgbReserved;
        }
        png_set_PLTE(png, info, plte, int(entries));
        if (GetPaletteAlphaFlag()) {
            png_set_tRNS(png, info, trans, int(entries), nullptr);
        } else if (transIndex >= 0 && DWORD(transIndex) < entries) {
            trans[0] = 0;
            png_set_tRNS(png, info, trans, 1, nullptr);
        }
    } else {
        png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    }
    png_write_info(png, info);

    m_rows = static_cast<BYTE*>(std::malloc(size_t(alpha ? 4 * width : GetRowWidth()) + 8));
    if (m_rows == nullptr)
        png_error(png, "no memory for the rows");
    const RGBQUAD key = GetTransColor();
    const BYTE* alphaLayer = GetAlphaLayer();
    for (png_uint_32 top = 0; top < height; top++) {
        const LONG y = LONG(height - 1 - top);
        const BYTE* source = GetRow(y);
        if (alpha) {
            for (png_uint_32 x = 0; x < width; x++) {
                const BYTE* pixel = source + 3 * x;
                BYTE* out = m_rows + 4 * x;
                out[0] = pixel[2];
                out[1] = pixel[1];
                out[2] = pixel[0];
                out[3] = alphaLayer != nullptr ? BYTE(alphaLayer[size_t(y) * width + x] * GetAlphaMax() / 255) : 255;
                if (transIndex >= 0 && pixel[0] == key.rgbBlue && pixel[1] == key.rgbGreen && pixel[2] == key.rgbRed)
                    out[3] = 0;
            }
        } else if (!paletted) {
            CopySwappingRedBlue(m_rows, source, width);
        } else {
            std::memcpy(m_rows, source, GetRowWidth());
        }
        png_write_row(png, m_rows);
    }
    png_write_end(png, info);
    if (m_swappedIndex > 0)
        SwapIndex(0, BYTE(m_swappedIndex));
    m_swappedIndex = -1;
    png_destroy_write_struct(&png, &info);
    FreeRows();
    return true;
}
