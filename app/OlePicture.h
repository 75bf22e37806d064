// A picture (cover or background) shown through the system's OLE picture
// object, loaded from the program's resources, a file or bytes in memory.
// The picture keeps the bytes it was loaded from and saves exactly those, so
// a saved picture stays in its own format. The host build has no picture
// decoder: there every load fails and the picture stays empty.
#pragma once

#include <cstddef>
#include <vector>

#include "core/WinTypes.h"

#ifdef _WIN32
#include <ole2.h>
#include <olectl.h>
#endif

class COlePicture {
public:
    COlePicture();
    virtual ~COlePicture();

    // Each load releases the current picture first; false leaves it empty.
    bool LoadFromResource(const char* type, UINT id);
    bool LoadFromFile(const char* path);
    bool LoadFromMemory(const BYTE* bytes, DWORD count);
    // Writes the bytes the picture was loaded from; false when empty or when
    // the file cannot be written.
    bool SaveToFile(const char* path) const;
    void Release();

    bool IsEmpty() const { return m_bytes.empty(); }
    const std::vector<BYTE>& GetBytes() const { return m_bytes; }

#ifdef _WIN32
    // The whole picture into the rectangle; false when empty or on failure.
    bool Render(HDC dc, int x, int y, int width, int height) const;
    // At the picture's own size in device pixels.
    bool Draw(HDC dc, int x, int y) const;
    bool DrawStretched(HDC dc, const RECT& rect) const;
    // The size in the context's pixels; 0 x 0 when empty.
    SIZE GetPixelSize(HDC dc) const;
    IPicture* GetPicture() const { return m_picture; }
#endif

private:
    COlePicture(const COlePicture&) = delete;
    COlePicture& operator=(const COlePicture&) = delete;

#ifdef _WIN32
    IPicture* m_picture;
#endif
    std::vector<BYTE> m_bytes;  // as loaded; empty exactly when there is no picture
};
