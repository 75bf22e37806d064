// One layout element as measured and placed for one movie-box: the expanded
// text, the cover picture with its drawn size and place, and the element's
// rectangles.
#pragma once

#include <cstdint>

#include "app/OlePicture.h"
#include "core/StrUtil.h"
#include "core/WinTypes.h"

class CLaidOutItem {
public:
    CLaidOutItem() {}
    virtual ~CLaidOutItem()
    {
        StrSet(&m_text, NULL);
        ReleasePicture();
    }

    // Deletes the picture when the element owns it.
    void ReleasePicture()
    {
        if (!m_pictureNotOwned)
            delete m_picture;
        m_picture = NULL;
        m_pictureNotOwned = 0;
    }

    char* m_text = NULL;          // the expanded template (text) or the template
    int32_t m_pictureWidth = 0;   // the size a cover is drawn at
    int32_t m_pictureHeight = 0;
    BYTE m_pictureNotOwned = 0;   // the layout's default cover
    COlePicture* m_picture = NULL;
    int32_t m_pictureOffsetX = 0; // inside the element
    int32_t m_pictureOffsetY = 0;
    POINT m_pictureOrigin = {0, 0};  // in the box
    RECT m_measured = {0, 0, 0, 0};  // origin 0, 0
    RECT m_placed = {0, 0, 0, 0};    // in the box
    int32_t m_rightCorrection = 0;
    int32_t m_bottomCorrection = 0;

private:
    CLaidOutItem(const CLaidOutItem&) = delete;
    CLaidOutItem& operator=(const CLaidOutItem&) = delete;
};
