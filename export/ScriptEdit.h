// The script editor: a static control that a dialog subclasses and that
// then paints and edits a template itself, drawing the tokens of the
// template language in red. It is one line (a field) or many (a script).
//
// Use: put a "Static" control with SS_NOTIFY | WS_TABSTOP (and WS_BORDER,
// WS_VSCROLL | WS_HSCROLL for a script) in the dialog, then in
// OnInitDialog call SubclassDlgItem(id, this) and SetMovieContext. The text
// is set and read through the window text (SetDlgItemText, GetDlgItemText);
// every change of the text, a new window text included, reaches the parent
// as EN_CHANGE from the control's id, and EnableWindow greys it. Keys come
// from the accelerator table IDR_SCRIPT_EDIT (resources/scriptedit.rc),
// which the program's resources must hold.
#pragma once

#include <memory>
#include <string>

#include "classlib/GdiObject.h"
#include "classlib/Static.h"
#include "export/ScriptText.h"

class CMovie;

class CScriptEdit : public CStatic {
public:
    CScriptEdit();
    ~CScriptEdit() override;

    // noMovie true: the head and foot of a list, where only the tokens that
    // need no movie count; false: the body, with movie tokens. A change of
    // the line mode makes the font anew (single line: "MS Sans Serif" half
    // as high as the control; script: "Lucida Console").
    void SetMovieContext(bool noMovie, bool singleLine);

    // A single script file into the editor; false leaves the text as it was.
    bool LoadScriptFile(const char* path, bool showMessages);
    // The text in the line format into a single script file.
    bool SaveScriptFile(const char* path, int lineFormat, bool showMessages);
    // The lines joined with CR LF, converted to the line format; *text
    // becomes a heap string the caller owns.
    void GetText(char** text, int lineFormat) const;
    std::string GetText(int lineFormat) const { return m_text.GetText(lineFormat); }
    // The last script file loaded, "" before.
    const std::string& GetScriptPath() const { return m_scriptPath; }

    // The text model, for callers that place the caret or select.
    CScriptText& GetModel() { return m_text; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    void OnEnable(BOOL bEnable);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    void OnMoveCommand(UINT nID);
    void OnDelete();
    void OnBackspace();
    void OnTab();
    void OnToggleInsert();
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditSelectAll();
    void OnEditUndo();
    DECLARE_MESSAGE_MAP()

private:
    bool EnsureFont();
    void DropFont();
    void DropLinePaints();
    // Full lines shown, at least 1.
    int32_t PageLines() const;
    int TextWidth(HDC dc, const std::string& text, int32_t count) const;
    ScriptPos PosFromPoint(CPoint point);
    void RenderLine(HDC screen, CScriptLine& line);
    void InvertSelection(HDC dc);
    // The end of every command: caret into view, scroll bars, repaint, and
    // EN_CHANGE when the text changed.
    void Refresh(bool followCaret = true);
    void UpdateScrollBars();
    void PlaceCaret();
    void SetHorizontalOffset(int offset);

    CScriptText m_text;
    std::unique_ptr<CMovie> m_sampleMovie;  // body context only
    CFont m_font;
    int m_lineHeight;
    int m_hOffset;     // horizontal scroll, pixels
    int m_widest;      // the widest line painted so far, pixels
    bool m_enabled;
    bool m_hasCaret;
    bool m_dragging;
    uint32_t m_notifiedChanges;
    HACCEL m_accelerators;
    std::string m_scriptPath;
};
