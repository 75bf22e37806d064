// The Windows side of CxImage: wide file names, resources, DIBs in global
// memory, bitmaps and drawing to a device context.
#include "image/Image.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "image/ImageBytes.h"

namespace {

int LowestBit(DWORD mask)
{
    int shift = 0;
    while (shift < 32 && (mask & (DWORD(1) << shift)) == 0)
        shift++;
    return shift;
}

// One channel of a bit-field pixel, spread over 0..255.
BYTE Channel(DWORD pixel, DWORD mask)
{
    if (mask == 0)
        return 0;
    int shift = LowestBit(mask);
    DWORD top = mask >> shift;
    return BYTE(uint64_t((pixel & mask) >> shift) * 255 / top);
}

// The picture's BITMAPINFO: the DIB block starts with it.
const BITMAPINFO* InfoOf(const BYTE* dib)
{
    return reinterpret_cast<const BITMAPINFO*>(dib);
}

} // namespace

bool CxImage::Load(const wchar_t* fileName, DWORD format)
{
    return LoadFile(fileName != nullptr ? _wfopen(fileName, L"rb") : nullptr, format);
}

bool CxImage::Save(const wchar_t* fileName, DWORD format)
{
    return SaveFile(fileName != nullptr ? _wfopen(fileName, L"wb") : nullptr, format);
}

bool CxImage::LoadFromResource(HRSRC resource, DWORD format, HMODULE module)
{
    DWORD size = resource != nullptr ? ::SizeofResource(module, resource) : 0;
    HGLOBAL loaded = size != 0 ? ::LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        SetLastError("Unable to load resource!");
        return false;
    }
    char folder[MAX_PATH];
    char name[MAX_PATH];
    DWORD length = ::GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || ::GetTempFileNameA(folder, "IMG", 0, name) == 0)
        return false;
    bool ok = false;
    FILE* file = std::fopen(name, "w+b");
    if (file != nullptr) {
        if (std::fwrite(bytes, 1, size, file) == size) {
            std::rewind(file);
            ok = Decode(file, format);
        }
        std::fclose(file);
    }
    ::DeleteFileA(name);
    return ok;
}

bool CxImage::CreateFromHandle(HGLOBAL dib)
{
    const BYTE* block = dib != nullptr ? static_cast<const BYTE*>(::GlobalLock(dib)) : nullptr;
    if (block == nullptr)
        return false;
    const size_t available = ::GlobalSize(dib);
    BITMAPINFOHEADER head = {};
    bool ok = available >= sizeof head;
    if (ok)
        std::memcpy(&head, block, sizeof head);
    ok = ok && head.biSize >= sizeof head && head.biSize <= available && head.biWidth > 0 && head.biHeight > 0 &&
         head.biPlanes == 1 && (head.biCompression == BI_RGB || head.biCompression == BI_BITFIELDS);
    const WORD bits = head.biBitCount;
    const bool wide = bits == 16 || bits == 32;
    ok = ok && (bits == 1 || bits == 4 || bits == 8 || bits == 24 || wide);
    // Masks of 16- and 32-bit pixels: their bit fields, or the plain layouts.
    DWORD masks[3] = { 0x7C00, 0x03E0, 0x001F };
    if (bits == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    size_t offset = head.biSize;
    if (ok && head.biCompression == BI_BITFIELDS) {
        ok = wide && offset + 12 <= available;
        if (ok) {
            std::memcpy(masks, block + (head.biSize >= 52 ? 40 : offset), 12);
            if (head.biSize < 52)
                offset += 12;
        }
    }
    // The palette and every row must lie inside the memory block.
    const DWORD listed = head.biClrUsed != 0 ? head.biClrUsed : bits <= 8 ? DWORD(1) << bits : 0;
    const size_t sourceRow = (size_t(bits) * size_t(head.biWidth) + 31) / 32 * 4;
    const size_t pixelsAt = offset + size_t(listed) * 4;
    ok = ok && DWORD(head.biWidth) <= kMaxImageSide && DWORD(head.biHeight) <= kMaxImageSide && listed <= 65536 &&
         pixelsAt <= available && sourceRow * size_t(head.biHeight) <= available - pixelsAt &&
         Create(DWORD(head.biWidth), DWORD(head.biHeight), bits, IMAGE_FORMAT_BMP) != nullptr;
    if (ok) {
        SetResolution(head.biXPelsPerMeter, head.biYPelsPerMeter);
        SetPalette(reinterpret_cast<const RGBQUAD*>(block + offset), listed);
        const BYTE* pixels = block + pixelsAt;
        if (!wide) {
            std::memcpy(GetPixels(), pixels, m_header.biSizeImage);
        } else {
            for (DWORD y = 0; y < GetHeight(); y++) {
                const BYTE* source = pixels + sourceRow * y;
                BYTE* target = GetRow(LONG(y));
                for (DWORD x = 0; x < GetWidth(); x++) {
                    DWORD p = bits == 16 ? ReadLe16(source + 2 * x) : ReadLe32(source + 4 * x);
                    target[3 * x] = Channel(p, masks[2]);
                    target[3 * x + 1] = Channel(p, masks[1]);
                    target[3 * x + 2] = Channel(p, masks[0]);
                }
            }
        }
    }
    ::GlobalUnlock(dib);
    return ok;
}

bool CxImage::CreateFromBitmap(HBITMAP bitmap)
{
    BITMAP object = {};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof object, &object) == 0 || object.bmHeight <= 0)
        return false;
    if (Create(DWORD(object.bmWidth), DWORD(object.bmHeight), DWORD(object.bmBitsPixel * object.bmPlanes),
               IMAGE_FORMAT_BMP) == nullptr)
        return false;
    // The DIB block begins with a BITMAPINFO whose palette GetDIBits fills.
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, bitmap, 0, GetHeight(), GetPixels(), reinterpret_cast<BITMAPINFO*>(m_dib),
                           DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    std::memcpy(m_dib, &m_header, sizeof m_header);
    if (rows == 0) {
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

HGLOBAL CxImage::CopyToHandle() const
{
    if (m_dib == nullptr)
        return nullptr;
    HGLOBAL handle = ::GlobalAlloc(GHND, GetDibSize());
    if (handle == nullptr)
        return nullptr;
    void* target = ::GlobalLock(handle);
    if (target == nullptr) {
        ::GlobalFree(handle);
        return nullptr;
    }
    std::memcpy(target, m_dib, GetDibSize());
    ::GlobalUnlock(handle);
    return handle;
}

HBITMAP CxImage::MakeBitmap(HDC dc) const
{
    if (m_dib == nullptr)
        return nullptr;
    HDC screen = dc == nullptr ? ::GetDC(nullptr) : nullptr;
    HBITMAP bitmap = ::CreateDIBitmap(dc != nullptr ? dc : screen, &m_header, CBM_INIT, GetPixels(), InfoOf(m_dib),
                                      DIB_RGB_COLORS);
    if (screen != nullptr)
        ::ReleaseDC(nullptr, screen);
    return bitmap;
}

bool CxImage::Draw(HDC dc, LONG x, LONG y, LONG width, LONG height)
{
    if (m_dib == nullptr || dc == nullptr)
        return false;
    if (!IsEnabled())
        return true;
    const LONG imageWidth = LONG(GetWidth());
    const LONG imageHeight = LONG(GetHeight());
    width = width < 0 ? imageWidth : width;
    height = height < 0 ? imageHeight : height;
    const bool blended = HasAlpha() || (GetBpp() <= 8 && GetPaletteAlphaFlag());
    if (!blended) {
        if (width == imageWidth && height == imageHeight)
            return ::SetDIBitsToDevice(dc, x, y, DWORD(width), DWORD(height), 0, 0, 0, DWORD(imageHeight),
                                       GetPixels(), InfoOf(m_dib), DIB_RGB_COLORS) != 0;
        return DrawStretched(dc, x, y, width, height);
    }
    // Only the visible part is composed, from the destination's pixels and
    // the image's, in a 24-bit DIB section.
    RECT clip;
    if (::GetClipBox(dc, &clip) == ERROR)
        return false;
    RECT area = { x, y, x + width, y + height };
    RECT visible;
    if (!::IntersectRect(&visible, &area, &clip))
        return true;
    const LONG cw = visible.right - visible.left;
    const LONG ch = visible.bottom - visible.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cw;
    info.bmiHeader.biHeight = ch;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr)
        return false;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, section);
    ::BitBlt(memory, 0, 0, cw, ch, dc, visible.left, visible.top, SRCCOPY);
    ::GdiFlush();
    const size_t rowBytes = (size_t(cw) * 3 + 3) / 4 * 4;
    const BYTE alphaMax = GetAlphaMax();
    for (LONG j = 0; j < ch; j++) {
        // Section row 0 is the bottom of the visible part.
        LONG fromTop = visible.bottom - 1 - j - y;
        LONG sy = imageHeight - 1 - LONG(int64_t(fromTop) * imageHeight / height);
        BYTE* target = static_cast<BYTE*>(bits) + rowBytes * size_t(j);
        for (LONG i = 0; i < cw; i++, target += 3) {
            LONG sx = LONG(int64_t(visible.left + i - x) * imageWidth / width);
            RGBQUAD color = GetPixelColor(sx, sy);
            unsigned a = unsigned(GetAlpha(sx, sy)) * alphaMax / 255;
            if (GetBpp() <= 8 && GetPaletteAlphaFlag())
                a = a * color.rgbReserved / 255;
            target[0] = BYTE((color.rgbBlue * a + target[0] * (255 - a)) / 255);
            target[1] = BYTE((color.rgbGreen * a + target[1] * (255 - a)) / 255);
            target[2] = BYTE((color.rgbRed * a + target[2] * (255 - a)) / 255);
        }
    }
    bool ok = ::SetDIBitsToDevice(dc, visible.left, visible.top, DWORD(cw), DWORD(ch), 0, 0, 0, DWORD(ch), bits,
                                  &info, DIB_RGB_COLORS) != 0;
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(section);
    return ok;
}

bool CxImage::DrawTransparent(HDC dc, LONG x, LONG y, LONG width, LONG height)
{
    if (m_dib == nullptr || dc == nullptr)
        return false;
    if (!IsEnabled())
        return true;
    if (GetTransIndex() < 0)
        return Draw(dc, x, y, width, height);
    const LONG imageWidth = LONG(GetWidth());
    const LONG imageHeight = LONG(GetHeight());
    width = width < 0 ? imageWidth : width;
    height = height < 0 ? imageHeight : height;
    HBITMAP picture = MakeBitmap(dc);
    HBITMAP mask = ::CreateBitmap(imageWidth, imageHeight, 1, 1, nullptr);
    HDC pictureDc = ::CreateCompatibleDC(dc);
    HDC maskDc = ::CreateCompatibleDC(dc);
    bool ok = picture != nullptr && mask != nullptr && pictureDc != nullptr && maskDc != nullptr;
    if (ok) {
        HGDIOBJ oldPicture = ::SelectObject(pictureDc, picture);
        HGDIOBJ oldMask = ::SelectObject(maskDc, mask);
        // The mask is white where the picture has the transparent colour.
        RGBQUAD key = GetTransColor();
        ::SetBkColor(pictureDc, RGB(key.rgbRed, key.rgbGreen, key.rgbBlue));
        ::BitBlt(maskDc, 0, 0, imageWidth, imageHeight, pictureDc, 0, 0, SRCCOPY);
        int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
        COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
        COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
        ::StretchBlt(dc, x, y, width, height, pictureDc, 0, 0, imageWidth, imageHeight, SRCINVERT);
        ::StretchBlt(dc, x, y, width, height, maskDc, 0, 0, imageWidth, imageHeight, SRCAND);
        ::StretchBlt(dc, x, y, width, height, pictureDc, 0, 0, imageWidth, imageHeight, SRCINVERT);
        ::SetBkColor(dc, oldBack);
        ::SetTextColor(dc, oldText);
        ::SetStretchBltMode(dc, oldMode);
        ::SelectObject(maskDc, oldMask);
        ::SelectObject(pictureDc, oldPicture);
    }
    if (maskDc != nullptr)
        ::DeleteDC(maskDc);
    if (pictureDc != nullptr)
        ::DeleteDC(pictureDc);
    if (mask != nullptr)
        ::DeleteObject(mask);
    if (picture != nullptr)
        ::DeleteObject(picture);
    return ok;
}

bool CxImage::DrawStretched(HDC dc, LONG x, LONG y, LONG width, LONG height)
{
    if (m_dib == nullptr || dc == nullptr)
        return false;
    if (!IsEnabled())
        return true;
    int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    int rows = ::StretchDIBits(dc, x, y, width, height, 0, 0, LONG(GetWidth()), LONG(GetHeight()), GetPixels(),
                               InfoOf(m_dib), DIB_RGB_COLORS, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
    return rows != 0 && rows != int(GDI_ERROR);
}

bool CxImage::DrawTiled(HDC dc, const RECT& area)
{
    if (m_dib == nullptr || dc == nullptr)
        return false;
    if (!IsEnabled())
        return true;
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    bool ok = true;
    for (LONG y = area.top; y < area.bottom; y += LONG(GetHeight()))
        for (LONG x = area.left; x < area.right; x += LONG(GetWidth()))
            ok = Draw(dc, x, y) && ok;
    ::RestoreDC(dc, saved);
    return ok;
}
