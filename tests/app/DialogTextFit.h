// Measures the texts of a dialog template's buttons, check boxes, radio
// buttons, group boxes and labels with the font the dialog gives them and
// tells which ones their control cuts. Shared by the program's and the
// installer's tests.
#ifndef VISTREL_TESTS_DIALOG_TEXT_FIT_H
#define VISTREL_TESTS_DIALOG_TEXT_FIT_H

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// A text that the code puts into a control at run time, in place of the
// template's (a wizard's "Finish", a status line). `font`, when given, is
// the font the code sets on the control.
struct RuntimeText {
    int dialog;
    int control;
    std::vector<std::string> texts;
    HFONT (*font)();
};

namespace dialog_text_fit {

inline INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

inline BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(int(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

inline std::string Text(HWND control)
{
    char text[1024] = {};
    ::GetWindowTextA(control, text, sizeof(text));
    return text;
}

// What a control of this kind needs around its text, and how the text is
// laid out in it.
struct Layout {
    int extraWidth = 0;
    int extraHeight = 0;
    UINT format = 0;
};

// False for controls that show no text of their own (pictures, frames,
// owner-drawn, ellipsis labels that are meant to shorten).
inline bool TextLayout(HWND control, const TEXTMETRICA& metrics, Layout* layout)
{
    char cls[32] = {};
    ::GetClassNameA(control, cls, sizeof(cls));
    LONG style = ::GetWindowLongA(control, GWL_STYLE);
    // Disabled text is drawn twice, the second copy one pixel right and down.
    const int emboss = 1;
    if (lstrcmpiA(cls, "Button") == 0) {
        if (style & (BS_ICON | BS_BITMAP))
            return false;
        LONG type = style & BS_TYPEMASK;
        bool pushLike = (style & BS_PUSHLIKE) != 0;
        bool wraps = (style & BS_MULTILINE) != 0;
        layout->format = wraps ? DT_WORDBREAK : DT_SINGLELINE;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || pushLike) {
            // Across: the raised edge and, inside it, the focus rectangle,
            // which must not touch the text. Down: the edge.
            int edgeX = 2 * ::GetSystemMetrics(SM_CXEDGE), edgeY = ::GetSystemMetrics(SM_CYEDGE);
            layout->extraWidth = 2 * edgeX + emboss;
            layout->extraHeight = 2 * edgeY + emboss;
            return true;
        }
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
            type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            // The glyph, the gap after it, and the focus rectangle round the text.
            int glyph = ::GetSystemMetrics(SM_CXMENUCHECK);
            layout->extraWidth = glyph + metrics.tmAveCharWidth / 2 + 2 + emboss;
            layout->extraHeight = emboss;
            return true;
        }
        if (type == BS_GROUPBOX) {
            // The caption sits on the frame, indented and padded by about a character.
            layout->format = DT_SINGLELINE;
            layout->extraWidth = 2 * metrics.tmAveCharWidth + emboss;
            return true;
        }
        return false;
    }
    if (lstrcmpiA(cls, "Static") == 0) {
        if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS))
            return false;
        LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
            layout->format = DT_WORDBREAK;
        else if (type == SS_LEFTNOWORDWRAP)
            layout->format = 0;
        else if (type == SS_SIMPLE)
            layout->format = DT_SINGLELINE;
        else
            return false;
        layout->format |= DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        layout->extraWidth = emboss;
        return true;
    }
    return false;
}

// The right and bottom edges of the pixels `text` really inks when drawn
// in `rect`: hinted glyphs can reach past the width the font reports.
inline SIZE InkedSize(HDC reference, const std::string& text, UINT format, RECT rect)
{
    const int width = rect.right + 32, height = rect.bottom + 16;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(reference);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetCurrentObject(reference, OBJ_FONT));
    RECT all = {0, 0, width, height};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextA(dc, text.c_str(), -1, &rect, format | DT_NOCLIP);
    ::GdiFlush();
    SIZE inked = {0, 0};
    const DWORD* pixel = static_cast<const DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, ++pixel) {
            if ((*pixel & 0xFFFFFF) != 0xFFFFFF) {
                inked.cx = std::max<LONG>(inked.cx, x + 1);
                inked.cy = std::max<LONG>(inked.cy, y + 1);
            }
        }
    }
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return inked;
}

// Empty when `text` fits `control` in `font`; otherwise what it needs.
inline std::string Misfit(HWND control, const std::string& text, HFONT font)
{
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);
    Layout layout;
    std::string result;
    RECT client;
    ::GetClientRect(control, &client);
    if (TextLayout(control, metrics, &layout)) {
        int width = client.right - layout.extraWidth;
        int height = client.bottom - layout.extraHeight;
        // A wrapping text is laid out in the width it has and must fit its
        // height; a word wider than that comes back wider than the width.
        RECT needed = {0, 0, (layout.format & DT_WORDBREAK) ? width : 0, 0};
        ::DrawTextA(dc, text.c_str(), -1, &needed, layout.format | DT_CALCRECT);
        SIZE inked = InkedSize(dc, text, layout.format, needed);
        needed.right = std::max(needed.right, inked.cx);
        needed.bottom = std::max(needed.bottom, inked.cy);
        if (needed.right > width || needed.bottom > height) {
            result = "needs " + std::to_string(needed.right + layout.extraWidth) + "x" +
                     std::to_string(needed.bottom + layout.extraHeight) + " px, has " +
                     std::to_string(client.right) + "x" + std::to_string(client.bottom);
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return result;
}

} // namespace dialog_text_fit

// The ids of every dialog template in `module`.
inline std::vector<int> DialogTemplateIds(HMODULE module)
{
    std::vector<int> ids;
    ::EnumResourceNamesA(module, RT_DIALOG, dialog_text_fit::CollectId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// Creates dialog `id` of `module` hidden, with the fonts of its template, and
// lists each control whose text, the template's or one set at run time,
// does not fit: "dialog D, control C "text": needs WxH px, has WxH".
inline std::vector<std::string> CutDialogTexts(HMODULE module, int id, const std::vector<RuntimeText>& runtime)
{
    using namespace dialog_text_fit;
    std::vector<std::string> cut;
    // Child templates (wizard and tab pages) need a parent; popups take it as owner.
    HWND parent = ::CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    HWND dialog = ::CreateDialogParamA(module, MAKEINTRESOURCEA(id), parent, QuietProc, 0);
    if (dialog == nullptr) {
        cut.push_back("dialog " + std::to_string(id) + " could not be created (error " +
                      std::to_string(::GetLastError()) + ")");
        ::DestroyWindow(parent);
        return cut;
    }
    HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        int controlId = short(::GetDlgCtrlID(control));
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
        std::vector<std::pair<std::string, HFONT>> texts = {{Text(control), font ? font : dialogFont}};
        for (const RuntimeText& entry : runtime) {
            if (entry.dialog != id || entry.control != controlId)
                continue;
            HFONT runtimeFont = entry.font != nullptr ? entry.font() : texts[0].second;
            for (const std::string& text : entry.texts) {
                if (text != texts[0].first || runtimeFont != texts[0].second)
                    texts.emplace_back(text, runtimeFont);
            }
        }
        for (const auto& text : texts) {
            if (text.first.empty())
                continue;
            std::string misfit = Misfit(control, text.first, text.second);
            if (!misfit.empty())
                cut.push_back("dialog " + std::to_string(id) + ", control " + std::to_string(controlId) + " \"" +
                              text.first + "\": " + misfit);
        }
    }
    ::DestroyWindow(dialog);
    ::DestroyWindow(parent);
    return cut;
}

#endif
