#include "app/OlePicture.h"

#include <cstdio>
#include <cstring>

#include "app/SafeFileWriter.h"

COlePicture::COlePicture()
#ifdef _WIN32
    : m_picture(NULL)
#endif
{
}

COlePicture::~COlePicture()
{
    Release();
}

void COlePicture::Release()
{
#ifdef _WIN32
    if (m_picture != NULL)
        m_picture->Release();
    m_picture = NULL;
#endif
    m_bytes.clear();
    m_bytes.shrink_to_fit();
}

bool COlePicture::LoadFromFile(const char* path)
{
    Release();
    FILE* f = path != NULL ? fopen(path, "rb") : NULL;
    if (f == NULL)
        return false;
    std::vector<BYTE> bytes;
    BYTE buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool ok = !ferror(f);
    fclose(f);
    if (!ok || bytes.empty() || bytes.size() > 0xFFFFFFFFu)
        return false;
    return LoadFromMemory(bytes.data(), DWORD(bytes.size()));
}

bool COlePicture::SaveToFile(const char* path) const
{
    if (IsEmpty())
        return false;
    CSafeFileWriter writer;
    FILE* f = writer.Open(path);
    if (f == NULL)
        return false;
    return fwrite(m_bytes.data(), 1, m_bytes.size(), f) == m_bytes.size() && writer.Commit();
}

#ifdef _WIN32

bool COlePicture::LoadFromResource(const char* type, UINT id)
{
    Release();
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == NULL)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const BYTE* bytes = loaded != NULL ? static_cast<const BYTE*>(LockResource(loaded)) : NULL;
    if (bytes == NULL || size == 0)
        return false;
    return LoadFromMemory(bytes, size);
}

bool COlePicture::LoadFromMemory(const BYTE* bytes, DWORD count)
{
    Release();
    if (bytes == NULL || count == 0)
        return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, count);
    if (memory == NULL)
        return false;
    void* place = GlobalLock(memory);
    if (place == NULL) {
        GlobalFree(memory);
        return false;
    }
    memcpy(place, bytes, count);
    GlobalUnlock(memory);

    IStream* stream = NULL;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || stream == NULL) {
        GlobalFree(memory);
        return false;
    }
    IPicture* picture = NULL;
    HRESULT hr = OleLoadPicture(stream, LONG(count), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr) || picture == NULL)
        return false;
    m_picture = picture;
    m_bytes.assign(bytes, bytes + count);
    return true;
}

bool COlePicture::Render(HDC dc, int x, int y, int width, int height) const
{
    if (m_picture == NULL || dc == NULL)
        return false;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    m_picture->get_Width(&hmWidth);
    m_picture->get_Height(&hmHeight);
    // Bottom-up source rectangle, the picture's usual orientation.
    return SUCCEEDED(m_picture->Render(dc, x, y, width, height, 0, hmHeight, hmWidth, -hmHeight,
                                       NULL));
}

bool COlePicture::Draw(HDC dc, int x, int y) const
{
    SIZE size = GetPixelSize(dc);
    return Render(dc, x, y, size.cx, size.cy);
}

bool COlePicture::DrawStretched(HDC dc, const RECT& rect) const
{
    return Render(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

SIZE COlePicture::GetPixelSize(HDC dc) const
{
    SIZE size = { 0, 0 };
    if (m_picture == NULL || dc == NULL)
        return size;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    m_picture->get_Width(&hmWidth);
    m_picture->get_Height(&hmHeight);
    size.cx = MulDiv(hmWidth, GetDeviceCaps(dc, LOGPIXELSX), 2540);
    size.cy = MulDiv(hmHeight, GetDeviceCaps(dc, LOGPIXELSY), 2540);
    return size;
}

#else  // no picture decoder in the host build

bool COlePicture::LoadFromResource(const char*, UINT)
{
    Release();
    return false;
}

bool COlePicture::LoadFromMemory(const BYTE*, DWORD)
{
    Release();
    return false;
}

#endif
