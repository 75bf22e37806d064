#include "image/ImageRowCursor.h"

#include <cstring>

CImageRowCursor::CImageRowCursor(CxImage& image) : m_image(image), m_row(-1), m_rowPointer(nullptr)
{
    ToTopRow();
}

void CImageRowCursor::ToTopRow()
{
    ToRow(LONG(m_image.GetHeight()) - 1);
}

bool CImageRowCursor::ToPreviousRow()
{
    if (m_row < 0)
        return false;
    return ToRow(m_row - 1);
}

bool CImageRowCursor::ToRow(LONG y)
{
    m_rowPointer = m_image.GetRow(y);
    m_row = m_rowPointer != nullptr ? y : -1;
    return m_rowPointer != nullptr;
}

void CImageRowCursor::StoreRow(const BYTE* data, LONG n)
{
    if (m_rowPointer == nullptr || data == nullptr)
        return;
    DWORD width = m_image.GetRowWidth();
    size_t count = n < 0 || DWORD(n) > width ? width : size_t(n);
    std::memcpy(m_rowPointer, data, count);
}

void CImageRowCursor::FetchRow(BYTE* data, LONG n) const
{
    if (m_rowPointer == nullptr || data == nullptr || n < 1)
        return;
    DWORD width = m_image.GetRowWidth();
    std::memcpy(data, m_rowPointer, DWORD(n) > width ? width : size_t(n));
}
