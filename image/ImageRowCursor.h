// Walks the stored rows of an image for the codecs, from the top row of the
// picture (the last stored row) downwards, and copies whole rows in and out.
// A row outside the picture is never touched.
#pragma once

#include "image/Image.h"

class CImageRowCursor {
public:
    explicit CImageRowCursor(CxImage& image);

    // To the top row of the picture.
    void ToTopRow();
    // One row down the picture; false below the bottom row.
    bool ToPreviousRow();
    // To stored row y (0 = bottom); false outside the picture.
    bool ToRow(LONG y);
    LONG GetRowIndex() const { return m_row; }
    BYTE* GetRowPointer() const { return m_rowPointer; }

    // Copies n bytes into the current row (n below 0: the whole row); never
    // more than the row width.
    void StoreRow(const BYTE* data, LONG n = -1);
    // Copies n bytes of the current row out, at most the row width.
    void FetchRow(BYTE* data, LONG n) const;

private:
    CxImage& m_image;
    LONG m_row;
    BYTE* m_rowPointer;
};
