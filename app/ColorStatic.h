// A static control filled with one colour: the colour swatches of the
// layout dialogs.
#pragma once

#include "classlib/Static.h"

class CColorStatic : public CStatic {
public:
    CColorStatic() : m_color(0) {}

    // Stores the colour and repaints at once.
    void SetColor(COLORREF color);

    COLORREF m_color;

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()
};
