// The in-memory image: a device-independent bitmap in one heap block (the
// 40-byte header, the palette and the pixel rows, bottom row first), with an
// information block, an optional selection mask and an optional alpha layer.
// Files are read and written through the four codec subclasses; the codecs
// never copy pixels: a decoded image hands its buffers over, and an encoder
// works on a ghost that borrows the source's buffers.
//
// An object is used by one thread at a time; only the progress and escape
// fields may be read or set by another thread while a long operation runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "image/ImageTypes.h"

// Image formats, as the codecs know them.
enum {
    IMAGE_FORMAT_BMP = 0,
    IMAGE_FORMAT_GIF = 1,
    IMAGE_FORMAT_JPEG = 2,
    IMAGE_FORMAT_PNG = 3
};

// Colour kinds; their values are the bits of a PNG colour type.
enum {
    IMAGE_KIND_PALETTE = 1,
    IMAGE_KIND_RGB = 2,
    IMAGE_KIND_ALPHA = 4
};

// No side of an image may be longer, and no image may have more pixels (a
// cover never needs that many): a bigger picture is refused before any
// allocation, whatever its file claims.
const DWORD kMaxImageSide = 16384;
const uint64_t kMaxImagePixels = 64 * 1024 * 1024;

// Whether a picture of this size may be made: no empty side, no side above
// kMaxImageSide and no more than kMaxImagePixels pixels.
inline bool IsImageSizeAllowed(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

// A 32-bit value that another thread may read or set while a long operation
// runs (the progress and escape fields). Copies take the current value.
class CImageCounter {
public:
    CImageCounter() : m_value(0) {}
    CImageCounter(const CImageCounter& other) : m_value(other.Get()) {}
    CImageCounter& operator=(const CImageCounter& other)
    {
        Set(other.Get());
        return *this;
    }
    int32_t Get() const { return m_value.load(); }
    void Set(int32_t value) { m_value.store(value); }

private:
    std::atomic<int32_t> m_value;
};

class CxImage;

// Everything about an image besides its buffers; copies and transfers take
// it whole.
struct CxImageInfo {
    DWORD rowWidth = 0;          // bytes per row, a multiple of 4
    BYTE* pixels = nullptr;      // the rows inside the DIB block
    const CxImage* ghost = nullptr;  // the owner of borrowed buffers, or none
    DWORD format = 0;
    BYTE colorKind = 0;
    char lastError[256] = {};
    CImageCounter progress;      // percent of a long operation done
    CImageCounter escape;        // non-zero asks a long operation to stop
    int32_t transIndex = 0;      // -1 none
    RGBQUAD transColor = {};     // also the background alpha is blended against
    BYTE jpegQuality = 0;
    int32_t frame = 0;           // the GIF image to load, 0 = the first
    int32_t frameDelay = 0;      // hundredths of a second
    int32_t xDpi = 0;
    int32_t yDpi = 0;
    RECT selectionBox = {};      // rows counted from the bottom: top > bottom
    BYTE alphaMax = 0;           // scales the whole alpha layer
    BYTE paletteAlpha = 0;       // palette entries' fourth bytes are alpha
    BYTE enabled = 0;            // drawing does nothing while 0
};

class CxImage {
public:
    explicit CxImage(DWORD format = IMAGE_FORMAT_BMP);
    // A created image of format 0.
    CxImage(DWORD width, DWORD height, DWORD bpp, DWORD format = IMAGE_FORMAT_BMP);
    CxImage(const CxImage& source, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    CxImage(const char* fileName, DWORD format);
    CxImage(FILE* file, DWORD format);
    virtual ~CxImage();
    CxImage& operator=(const CxImage& source);

    // Takes the source's information, size, bits and format; its pixels (or
    // else only its palette), selection and alpha layer when asked.
    void Copy(const CxImage& source, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);
    // A new zero-filled picture: bpp becomes 1, 4, 8 or 24. Returns the DIB
    // block, or NULL (and an empty image) when the size is refused or the
    // memory can't be had. An existing selection or alpha layer is made anew.
    BYTE* Create(DWORD width, DWORD height, DWORD bpp, DWORD format = IMAGE_FORMAT_BMP);
    // Frees this image's buffers and takes over the source's header,
    // information and buffers; the source is left empty.
    void TakeBuffers(CxImage& source);
    // Borrows the source's buffers; a ghost never frees them.
    void Ghost(const CxImage& source);

    bool Load(const char* fileName, DWORD format);
    bool Save(const char* fileName, DWORD format);
    // Reads the stream through the format's codec; a failure leaves the
    // picture as it was and sets the last error text.
    bool Decode(FILE* file, DWORD format);
    bool Encode(FILE* file, DWORD format);

#ifdef _WIN32
    bool Load(const wchar_t* fileName, DWORD format);
    bool Save(const wchar_t* fileName, DWORD format);
    bool LoadFromResource(HRSRC resource, DWORD format, HMODULE module = NULL);
    // From and to a DIB in global memory, from a bitmap and to a bitmap.
    bool CreateFromHandle(HGLOBAL dib);
    bool CreateFromBitmap(HBITMAP bitmap);
    HGLOBAL CopyToHandle() const;
    HBITMAP MakeBitmap(HDC dc) const;

    // Drawing; each does nothing while the enabled flag is 0. A width or
    // height of -1 means the image's own.
    bool Draw(HDC dc, LONG x, LONG y, LONG width = -1, LONG height = -1);
    bool DrawTransparent(HDC dc, LONG x, LONG y, LONG width = -1, LONG height = -1);
    bool DrawStretched(HDC dc, LONG x, LONG y, LONG width, LONG height);
    bool DrawTiled(HDC dc, const RECT& area);
#endif

    // Accessors.
    bool IsValid() const { return m_dib != nullptr; }
    DWORD GetWidth() const { return DWORD(m_header.biWidth); }
    DWORD GetHeight() const { return DWORD(m_header.biHeight); }
    WORD GetBpp() const { return m_header.biBitCount; }
    DWORD GetFormat() const { return m_info.format; }
    const char* GetLastError() const { return m_info.lastError; }
    DWORD GetRowWidth() const { return m_info.rowWidth; }
    DWORD GetPaletteEntries() const { return m_header.biClrUsed; }
    bool HasAlpha() const { return m_alpha != nullptr; }
    BYTE GetColorKind() const { return m_info.colorKind; }
    DWORD GetDibSize() const;
    bool IsInside(LONG x, LONG y) const;
    BYTE* GetDib() const { return m_dib; }
    BYTE* GetPixels() const { return m_info.pixels; }
    // Stored row y (0 = the bottom row), NULL outside the picture.
    BYTE* GetRow(LONG y) const;
    const BITMAPINFOHEADER& GetHeader() const { return m_header; }

    void SetXDpi(int32_t dpi);
    void SetYDpi(int32_t dpi);
    int32_t GetXDpi() const { return m_info.xDpi; }
    int32_t GetYDpi() const { return m_info.yDpi; }
    int32_t GetProgress() const { return m_info.progress.Get(); }
    void SetProgress(int32_t percent) { m_info.progress.Set(percent); }
    int32_t GetEscape() const { return m_info.escape.Get(); }
    void SetEscape(int32_t escape) { m_info.escape.Set(escape); }
    int32_t GetTransIndex() const { return m_info.transIndex; }
    void SetTransIndex(int32_t index) { m_info.transIndex = index; }
    void SetTransColor(RGBQUAD color) { m_info.transColor = color; }
    BYTE GetJpegQuality() const { return m_info.jpegQuality; }
    void SetJpegQuality(BYTE quality) { m_info.jpegQuality = quality; }
    int32_t GetFrame() const { return m_info.frame; }
    void SetFrame(int32_t frame) { m_info.frame = frame; }
    int32_t GetFrameDelay() const { return m_info.frameDelay; }
    void SetFrameDelay(int32_t delay) { m_info.frameDelay = delay; }
    BYTE GetAlphaMax() const { return m_info.alphaMax; }
    void SetAlphaMax(BYTE value) { m_info.alphaMax = value; }
    bool GetPaletteAlphaFlag() const { return m_info.paletteAlpha != 0; }
    void SetPaletteAlphaFlag(bool on) { m_info.paletteAlpha = on ? 1 : 0; }
    bool IsEnabled() const { return m_info.enabled != 0; }
    void Enable(bool on) { m_info.enabled = on ? 1 : 0; }
    const RECT& GetSelectionBox() const { return m_info.selectionBox; }

    // Palette and pixels (x from the left, y from the bottom row; outside
    // the picture nothing is read or written).
    bool SetPaletteEntry(DWORD index, BYTE red, BYTE green, BYTE blue, BYTE extra = 0);
    bool SetPaletteColor(DWORD index, COLORREF color);
    RGBQUAD GetPaletteEntry(DWORD index) const;
    bool GetPaletteEntry(DWORD index, BYTE* red, BYTE* green, BYTE* blue) const;
    RGBQUAD* GetPalette() const;
    void SetPalette(DWORD count, const BYTE* red, const BYTE* green, const BYTE* blue);
    void SetPalette(const BYTE* rgbTriples, DWORD count);
    void SetPalette(const RGBQUAD* entries, DWORD count);
    // Entry i of n is the grey i * 255 / (n - 1): black to white.
    void SetGrayPalette();
    bool IsGrayScale() const;
    void SetStandardPalette();
    BYTE NearestIndex(RGBQUAD color) const;
    void BlendPalette(COLORREF color, long percent);
    void SwapIndex(BYTE a, BYTE b);
    BYTE GetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE index);
    RGBQUAD GetPixelColor(LONG x, LONG y) const;
    void SetPixelColor(LONG x, LONG y, RGBQUAD color);
    RGBQUAD GetTransColor() const;
    void Clear(BYTE value = 0);

    // Transforms; false when the image is empty.
    bool Flip();
    bool Mirror();
    bool Negative();
    bool GrayScale();
    bool Rotate(double angle, CxImage* destination = nullptr);
    bool DecreaseBpp(DWORD bits, bool errorDiffusion, const RGBQUAD* palette = nullptr);
    bool IncreaseBpp(DWORD bits);
    bool Dither(long method = 0);
    // The rectangle, in rows counted from the top, is clamped to the image.
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, CxImage* destination = nullptr);
    // Mode 0 averages areas (24 bits, smaller both ways) or interpolates;
    // any other mode takes the nearest pixel. Stops on the escape field.
    bool Resize(DWORD newWidth, DWORD newHeight, int mode = 0);

    // Alpha layer.
    bool CreateAlpha();
    void DeleteAlpha();
    void ClearAlpha() { SetAllAlpha(0); }
    void SetAllAlpha(BYTE value);
    void InvertAlpha();
    bool CopyAlpha(const CxImage& from);
    BYTE GetAlpha(LONG x, LONG y) const;
    void SetAlpha(LONG x, LONG y, BYTE value);
    void FlipAlpha();
    void MirrorAlpha();
    bool HasPaletteAlpha() const;
    // Blends the alpha into the pixels against the transparent colour.
    void StripAlpha();
    BYTE* GetAlphaLayer() const { return m_alpha; }

    // Selection mask.
    bool CreateSelection();
    void DeleteSelection();
    void ClearSelection();
    bool IsSelected(LONG x, LONG y) const;
    bool AddSelectionRect(LONG left, LONG top, LONG right, LONG bottom);
    bool AddSelectionEllipse(const RECT& rect);
    bool AddSelectionPolygon(const POINT* points, long count);
    void InvertSelection();
    bool CopySelection(const CxImage& from);
    BYTE* GetSelectionMask() const { return m_selection; }

protected:
    void SetLastError(const char* text);
    // The resolution of a file or DIB, given in pels per metre.
    void SetResolution(LONG xPelsPerMetre, LONG yPelsPerMetre);
    // Takes the source's information block, minus its buffers, ready for a
    // Create of another size.
    void CopyInfo(const CxImage& source);

    BYTE* m_dib;
    BITMAPINFOHEADER m_header;
    CxImageInfo m_info;
    BYTE* m_selection;
    BYTE* m_alpha;

private:
    void Reset(DWORD format);
    void FreeBuffers();
    // Read or write an opened file and close it; NULL (a file that could not
    // be opened) fails.
    bool LoadFile(FILE* file, DWORD format);
    bool SaveFile(FILE* file, DWORD format);
    // Decodes into this image, or encodes it, through the format's codec.
    bool RunCodec(FILE* file, DWORD format, bool decode);
    template <class Codec>
    bool RunCodec(FILE* file, bool decode);
};
