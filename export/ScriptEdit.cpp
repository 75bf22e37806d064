// The script editor control.
#include "export/ScriptEdit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/DC.h"
#include "core/ErrorBox.h"
#include "core/Movie.h"
#include "core/StrUtil.h"
#include "export/ScriptFiles.h"
#include "export/TokenEngine.h"
#include "resources/resource.h"

namespace {

const int kLeftMargin = 2;
const int kTopMargin = 2;
const int kWheelLines = 3;
const COLORREF kTokenColor = RGB(255, 0, 0);
const COLORREF kDisabledTokenColor = RGB(196, 96, 96);

// The bitmap of a line in view: the visible part of the line, drawn at the
// horizontal offset it was made for. It grows to the widest view and never
// shrinks; lines leaving the view drop it.
class CLinePaint : public IScriptLinePaint {
public:
    CLinePaint(HDC dc, int width, int height)
        : m_bitmap(::CreateCompatibleBitmap(dc, width, height)), m_width(width), m_offset(-1)
    {
    }
    ~CLinePaint() override
    {
        if (m_bitmap != NULL)
            ::DeleteObject(m_bitmap);
    }

    HBITMAP m_bitmap;
    int m_width;
    int m_offset;  // -1: not drawn yet
};

CLinePaint* PaintOf(const CScriptLine& line)
{
    return static_cast<CLinePaint*>(line.m_paint.get());
}

// The window's device context with the editor's font selected.
class CFontDC : public CClientDC {
public:
    CFontDC(HWND window, HFONT font) : CClientDC(window), m_old(NULL)
    {
        if (m_hDC != NULL && font != NULL)
            m_old = SelectObject(font);
    }
    ~CFontDC() override
    {
        if (m_old != NULL)
            SelectObject(m_old);
    }

private:
    HGDIOBJ m_old;
};

// Draws n characters at x in a line bitmap that is right pixels wide,
// leaving out what lies outside it, so that a line of any length costs no
// more than what shows.
void DrawRunClipped(HDC dc, int x, const char* text, int n, int right)
{
    SIZE size;
    int fit = 0;
    if (x < 0 && n > 1 && ::GetTextExtentExPointA(dc, text, n, -x, &fit, NULL, &size) && fit > 0) {
        SIZE skipped;
        ::GetTextExtentPoint32A(dc, text, fit, &skipped);
        x += skipped.cx;
        text += fit;
        n -= fit;
    }
    if (n > 1 && ::GetTextExtentExPointA(dc, text, n, std::max(right - x, 0), &fit, NULL, &size))
        n = std::min(n, fit + 1);
    ::ExtTextOutA(dc, x, 0, 0, NULL, text, UINT(n), NULL);
}

} // namespace

BEGIN_MESSAGE_MAP(CScriptEdit, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CHAR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEWHEEL()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_SETCURSOR()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_ENABLE()
    ON_WM_SIZE()
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
    ON_COMMAND_RANGE(ID_SCRIPT_LEFT, ID_SCRIPT_SEL_TEXT_END, OnMoveCommand)
    ON_COMMAND(ID_SCRIPT_DELETE, OnDelete)
    ON_COMMAND(ID_SCRIPT_BACKSPACE, OnBackspace)
    ON_COMMAND(ID_SCRIPT_TAB, OnTab)
    ON_COMMAND(ID_SCRIPT_INSERT, OnToggleInsert)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
END_MESSAGE_MAP()

CScriptEdit::CScriptEdit()
    : m_lineHeight(16), m_hOffset(0), m_widest(0), m_enabled(true), m_hasCaret(false),
      m_dragging(false), m_notifiedChanges(0),
      m_accelerators(::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_SCRIPT_EDIT)))
{
    m_notifiedChanges = m_text.GetChangeCount();
}

CScriptEdit::~CScriptEdit()
{
    if (m_hasCaret)
        ::DestroyCaret();
}

// ---------------------------------------------------------------------------
// Context, font and the text as a whole

void CScriptEdit::SetMovieContext(bool noMovie, bool singleLine)
{
    if (noMovie)
        m_sampleMovie.reset();
    else if (m_sampleMovie == nullptr)
        m_sampleMovie.reset(new CMovie);
    if (singleLine != m_text.IsSingleLine()) {
        m_text.SetSingleLine(singleLine);
        DropFont();
        if (singleLine && m_hWnd != NULL)
            ShowScrollBar(SB_BOTH, FALSE);
    }
    DropLinePaints();
    if (m_hWnd != NULL)
        Refresh();
}

bool CScriptEdit::EnsureFont()
{
    if (m_font.m_hObject != NULL)
        return true;
    if (m_hWnd == NULL)
        return false;
    HDC dc = ::GetDC(m_hWnd);
    if (dc == NULL) {
        ::OutputDebugStringA("Error getting DC for Window");
        ShowSystemError(::GetLastError(), "Error getting DC for Window");
        return false;
    }
    BOOL made;
    if (m_text.IsSingleLine()) {
        RECT client;
        GetClientRect(&client);
        made = m_font.CreateFont(-(client.bottom / 2), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, "MS Sans Serif");
    } else {
        made = m_font.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 FIXED_PITCH | FF_MODERN, "Lucida Console");
    }
    if (!made) {
        ::ReleaseDC(m_hWnd, dc);
        ::OutputDebugStringA("Error creating font");
        ShowSystemError(::GetLastError(), "Error creating font");
        return false;
    }
    HGDIOBJ old = ::SelectObject(dc, m_font);
    TEXTMETRICA metrics;
    if (::GetTextMetricsA(dc, &metrics))
        m_lineHeight = std::max<int>(1, metrics.tmHeight);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return true;
}

void CScriptEdit::DropFont()
{
    m_font.DeleteObject();
    m_widest = 0;
    DropLinePaints();
}

void CScriptEdit::DropLinePaints()
{
    for (int32_t i = 0; i < m_text.GetLineCount(); i++)
        m_text.GetLineObject(i)->m_paint.reset();
}

bool CScriptEdit::LoadScriptFile(const char* path, bool showMessages)
{
    std::string text;
    if (!LoadSingleScriptFile(path, showMessages, &text))
        return false;
    m_text.SetText(text);
    m_scriptPath = path;
    Refresh();
    return true;
}

bool CScriptEdit::SaveScriptFile(const char* path, int lineFormat, bool showMessages)
{
    return SaveSingleScriptFile(path, m_text.GetText(lineFormat), showMessages);
}

void CScriptEdit::GetText(char** text, int lineFormat) const
{
    StrAssign(text, m_text.GetText(lineFormat).c_str());
}

LRESULT CScriptEdit::OnSetText(WPARAM, LPARAM lParam)
{
    const char* text = reinterpret_cast<const char*>(lParam);
    m_text.SetText(text != NULL ? text : "");
    SetHorizontalOffset(0);
    Refresh();
    return TRUE;
}

LRESULT CScriptEdit::OnGetText(WPARAM wParam, LPARAM lParam)
{
    char* buffer = reinterpret_cast<char*>(lParam);
    if (buffer == NULL || wParam == 0)
        return 0;
    std::string text = m_text.GetText();
    size_t n = std::min(text.size(), size_t(wParam) - 1);
    memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return LRESULT(n);
}

LRESULT CScriptEdit::OnGetTextLength(WPARAM, LPARAM)
{
    return LRESULT(m_text.GetTextLength());
}

// ---------------------------------------------------------------------------
// Painting

int CScriptEdit::TextWidth(HDC dc, const std::string& text, int32_t count) const
{
    count = std::min<int32_t>(count, int32_t(text.size()));
    if (count <= 0)
        return 0;
    SIZE size;
    if (!::GetTextExtentPoint32A(dc, text.c_str(), count, &size))
        return 0;
    return size.cx;
}

int32_t CScriptEdit::PageLines() const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    return std::max<int32_t>(1, (client.bottom - kTopMargin) / m_lineHeight);
}

void CScriptEdit::RenderLine(HDC screen, CScriptLine& line)
{
    RECT client;
    GetClientRect(&client);
    int width = std::max<int>(1, client.right - kLeftMargin);
    CLinePaint* paint = PaintOf(line);
    if (paint != NULL && paint->m_width >= width && paint->m_offset == m_hOffset)
        return;
    if (paint == NULL || paint->m_width < width) {
        line.m_paint.reset(new CLinePaint(screen, width, m_lineHeight));
        paint = PaintOf(line);
    }
    if (paint->m_bitmap == NULL)
        return;

    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ oldBitmap = ::SelectObject(dc, paint->m_bitmap);
    HGDIOBJ oldFont = ::SelectObject(dc, m_font);
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetBkMode(dc, OPAQUE);
    RECT all = {0, 0, paint->m_width, m_lineHeight};
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, "", 0, NULL);

    COLORREF textColor = ::GetSysColor(m_enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    COLORREF tokenColor = m_enabled ? kTokenColor : kDisabledTokenColor;
    const std::string& text = line.m_text;
    int x = 0;  // from the start of the text
    auto draw = [&](size_t from, size_t to, COLORREF color) {
        if (to <= from)
            return;
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc, text.c_str() + from, int(to - from), &size);
        if (x + size.cx > m_hOffset && x < m_hOffset + paint->m_width) {
            ::SetTextColor(dc, color);
            DrawRunClipped(dc, x - m_hOffset, text.c_str() + from, int(to - from), paint->m_width);
        }
        x += size.cx;
    };
    // Each "%" may start a token: drawn in the token colour over its whole
    // length, width digits included.
    size_t run = 0;
    for (size_t i = 0; i < text.size();) {
        size_t length = 0;
        if (text[i] == '%' && IsScriptToken(m_sampleMovie.get(), text.c_str() + i, &length) && length > 0) {
            length = std::min(length, text.size() - i);
            draw(run, i, textColor);
            draw(i, i + length, tokenColor);
            i += length;
            run = i;
        } else {
            i++;
        }
    }
    draw(run, text.size(), textColor);
    m_widest = std::max(m_widest, x);
    paint->m_offset = m_hOffset;

    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteDC(dc);
}

void CScriptEdit::InvertSelection(HDC dc)
{
    if (!m_text.HasSelection())
        return;
    RECT client;
    GetClientRect(&client);
    ScriptPos start = m_text.SelectionStart();
    ScriptPos end = m_text.SelectionEnd();
    int32_t first = std::max(start.line, m_text.GetFirstVisible());
    int32_t last = std::min<int32_t>(end.line, m_text.GetFirstVisible() + PageLines());
    HGDIOBJ old = ::SelectObject(dc, m_font);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    for (int32_t line = first; line <= last; line++) {
        const std::string& text = m_text.GetLine(line);
        int left = line == start.line ? TextWidth(dc, text, start.col) : 0;
        int right = line == end.line ? TextWidth(dc, text, end.col) : TextWidth(dc, text, int32_t(text.size())) + 4;
        int top = kTopMargin + (line - m_text.GetFirstVisible()) * m_lineHeight;
        HRGN part = ::CreateRectRgn(std::max(kLeftMargin, kLeftMargin + left - m_hOffset), top,
                                    std::max(kLeftMargin, kLeftMargin + right - m_hOffset),
                                    top + m_lineHeight);
        ::CombineRgn(region, region, part, RGN_OR);
        ::DeleteObject(part);
    }
    ::InvertRgn(dc, region);
    ::DeleteObject(region);
    ::SelectObject(dc, old);
}

BOOL CScriptEdit::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CScriptEdit::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(&client);
    HBRUSH background = ::GetSysColorBrush(COLOR_WINDOW);
    if (!EnsureFont()) {
        ::FillRect(dc, &client, background);
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    RECT top = {0, 0, client.right, kTopMargin};
    RECT left = {0, 0, kLeftMargin, client.bottom};
    ::FillRect(dc, &top, background);
    ::FillRect(dc, &left, background);

    int width = std::max<int>(1, client.right - kLeftMargin);
    int32_t first = m_text.GetFirstVisible();
    int32_t last = first;
    HDC memory = ::CreateCompatibleDC(dc);
    int y = kTopMargin;
    for (int32_t line = first; y < client.bottom; line++, y += m_lineHeight) {
        RECT row = {kLeftMargin, y, client.right, y + m_lineHeight};
        if (line >= m_text.GetLineCount()) {
            row.bottom = client.bottom;
            ::FillRect(dc, &row, background);
            break;
        }
        last = line;
        CScriptLine& object = *m_text.GetLineObject(line);
        RenderLine(dc, object);
        CLinePaint* paint = PaintOf(object);
        if (paint == NULL || paint->m_bitmap == NULL) {
            ::FillRect(dc, &row, background);
            continue;
        }
        HGDIOBJ old = ::SelectObject(memory, paint->m_bitmap);
        ::BitBlt(dc, kLeftMargin, y, width, m_lineHeight, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    }
    ::DeleteDC(memory);
    InvertSelection(dc);
    ::EndPaint(m_hWnd, &ps);

    // Only the lines in view keep a bitmap, whatever the length of the text.
    for (int32_t i = 0; i < m_text.GetLineCount(); i++) {
        if (i < first || i > last)
            m_text.GetLineObject(i)->m_paint.reset();
    }
    UpdateScrollBars();
}

// ---------------------------------------------------------------------------
// Caret, scrolling and refreshing

void CScriptEdit::SetHorizontalOffset(int offset)
{
    m_hOffset = std::max(0, offset);
}

void CScriptEdit::PlaceCaret()
{
    if (!m_hasCaret || !EnsureFont())
        return;
    ScriptPos caret = m_text.GetCaret();
    CFontDC dc(m_hWnd, m_font);
    int x = kLeftMargin + TextWidth(dc, m_text.GetLine(caret.line), caret.col) - m_hOffset;
    int y = kTopMargin + (caret.line - m_text.GetFirstVisible()) * m_lineHeight;
    ::SetCaretPos(x, y);
}

void CScriptEdit::UpdateScrollBars()
{
    if (m_text.IsSingleLine() || m_hWnd == NULL)
        return;
    RECT client;
    GetClientRect(&client);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = m_text.GetLineCount() - 1;
    info.nPage = UINT(PageLines());
    info.nPos = m_text.GetFirstVisible();
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    info.nMax = std::max(m_widest, m_hOffset) + kLeftMargin;
    info.nPage = UINT(std::max<LONG>(1, client.right));
    info.nPos = m_hOffset;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
}

void CScriptEdit::Refresh(bool followCaret)
{
    if (m_hWnd == NULL)
        return;
    if (followCaret && EnsureFont()) {
        m_text.ScrollCaretIntoView(PageLines());
        RECT client;
        GetClientRect(&client);
        int width = std::max<int>(1, client.right - kLeftMargin);
        ScriptPos caret = m_text.GetCaret();
        CFontDC dc(m_hWnd, m_font);
        int x = TextWidth(dc, m_text.GetLine(caret.line), caret.col);
        if (x < m_hOffset)
            SetHorizontalOffset(x - width / 4);
        else if (x > m_hOffset + width - 2)
            SetHorizontalOffset(x - width * 3 / 4);
    }
    UpdateScrollBars();
    ::InvalidateRect(m_hWnd, NULL, FALSE);
    PlaceCaret();
    if (m_text.GetChangeCount() != m_notifiedChanges) {
        m_notifiedChanges = m_text.GetChangeCount();
        HWND parent = ::GetParent(m_hWnd);
        if (parent != NULL)
            ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), EN_CHANGE), LPARAM(m_hWnd));
    }
}

void CScriptEdit::OnVScroll(UINT nSBCode, UINT, CWnd*)
{
    int32_t page = PageLines();
    int32_t first = m_text.GetFirstVisible();
    int64_t last = std::max<int64_t>(0, int64_t(m_text.GetLineCount()) - page);
    int64_t target = first;
    switch (nSBCode) {
    case SB_LINEUP: target = first - 1; break;
    case SB_LINEDOWN: target = first + 1; break;
    case SB_PAGEUP: target = int64_t(first) - page; break;
    case SB_PAGEDOWN: target = int64_t(first) + page; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = last; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        GetScrollInfo(SB_VERT, &info, SIF_TRACKPOS);
        target = info.nTrackPos;
        break;
    }
    default: return;
    }
    m_text.SetFirstVisible(int32_t(std::max<int64_t>(0, std::min(target, last))));
    Refresh(false);
}

void CScriptEdit::OnHScroll(UINT nSBCode, UINT, CWnd*)
{
    RECT client;
    GetClientRect(&client);
    int page = std::max<int>(1, client.right - kLeftMargin);
    int step = std::max(1, m_lineHeight / 2);
    int target = m_hOffset;
    switch (nSBCode) {
    case SB_LINELEFT: target -= step; break;
    case SB_LINERIGHT: target += step; break;
    case SB_PAGELEFT: target -= page; break;
    case SB_PAGERIGHT: target += page; break;
    case SB_LEFT: target = 0; break;
    case SB_RIGHT: target = m_widest; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        GetScrollInfo(SB_HORZ, &info, SIF_TRACKPOS);
        target = info.nTrackPos;
        break;
    }
    default: return;
    }
    SetHorizontalOffset(std::min(target, std::max(0, m_widest + kLeftMargin - page)));
    Refresh(false);
}

BOOL CScriptEdit::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (m_text.IsSingleLine())
        return TRUE;
    int64_t lines = -int64_t(zDelta) * kWheelLines / WHEEL_DELTA;
    int64_t last = std::max<int64_t>(0, int64_t(m_text.GetLineCount()) - PageLines());
    int64_t target = std::max<int64_t>(0, std::min<int64_t>(m_text.GetFirstVisible() + lines, last));
    m_text.SetFirstVisible(int32_t(target));
    Refresh(false);
    return TRUE;
}

void CScriptEdit::OnSize(UINT, int, int)
{
    // A field's font follows its height.
    if (m_text.IsSingleLine())
        DropFont();
    Refresh(false);
}

void CScriptEdit::OnEnable(BOOL bEnable)
{
    m_enabled = bEnable != FALSE;
    DropLinePaints();
    ::InvalidateRect(m_hWnd, NULL, FALSE);
}

// ---------------------------------------------------------------------------
// Keyboard and mouse

BOOL CScriptEdit::PreTranslateMessage(MSG* pMsg)
{
    if (m_accelerators == NULL || pMsg->hwnd != m_hWnd)
        return FALSE;
    if (pMsg->message != WM_KEYDOWN && pMsg->message != WM_SYSKEYDOWN)
        return FALSE;
    // A field leaves Tab to the dialog, which moves on to the next control.
    if (m_text.IsSingleLine() && pMsg->wParam == VK_TAB)
        return FALSE;
    return ::TranslateAcceleratorA(m_hWnd, m_accelerators, pMsg);
}

LRESULT CScriptEdit::OnGetDlgCode(WPARAM, LPARAM lParam)
{
    LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS;
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    bool escape = msg != NULL && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
    // A script takes Enter for its line breaks; Escape still cancels.
    if (!m_text.IsSingleLine() && !escape)
        code |= DLGC_WANTALLKEYS;
    return code;
}

void CScriptEdit::OnChar(UINT nChar, UINT nRepCnt, UINT)
{
    if (!m_enabled || (nChar < 31 && nChar != '\r')) {
        Default();
        return;
    }
    m_text.TypeChar((unsigned char)nChar, int(std::max<UINT>(nRepCnt, 1)));
    Refresh();
}

ScriptPos CScriptEdit::PosFromPoint(CPoint point)
{
    ScriptPos pos = {0, 0};
    if (!EnsureFont())
        return m_text.GetCaret();
    int row = point.y >= kTopMargin ? (point.y - kTopMargin) / m_lineHeight : -1;
    int64_t line = int64_t(m_text.GetFirstVisible()) + row;
    pos.line = int32_t(std::max<int64_t>(0, std::min<int64_t>(line, m_text.GetLineCount() - 1)));
    const std::string& text = m_text.GetLine(pos.line);
    int x = point.x - kLeftMargin + m_hOffset;
    if (x <= 0 || text.empty())
        return pos;
    CFontDC dc(m_hWnd, m_font);
    std::vector<int> ends(text.size());
    int fit = 0;
    SIZE size;
    if (!::GetTextExtentExPointA(dc, text.c_str(), int(text.size()), x, &fit, ends.data(), &size))
        return pos;
    // The nearer edge of the character under the pointer.
    if (fit < int(text.size())) {
        int left = fit > 0 ? ends[size_t(fit) - 1] : 0;
        if (x - left > ends[size_t(fit)] - x)
            fit++;
    }
    pos.col = fit;
    return pos;
}

void CScriptEdit::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    SetCapture();
    m_dragging = true;
    m_text.SetCaret(PosFromPoint(point), (nFlags & MK_SHIFT) != 0);
    Refresh();
}

void CScriptEdit::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging)
        return;
    m_text.SetCaret(PosFromPoint(point), true);
    Refresh();
}

void CScriptEdit::OnLButtonUp(UINT, CPoint point)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_text.SetCaret(PosFromPoint(point), true);
    ::ReleaseCapture();
    Refresh();
}

void CScriptEdit::OnLButtonDblClk(UINT, CPoint point)
{
    // The word under the pointer, between blanks.
    ScriptPos pos = PosFromPoint(point);
    const std::string& text = m_text.GetLine(pos.line);
    int32_t start = pos.col;
    int32_t end = pos.col;
    while (start > 0 && text[size_t(start) - 1] != ' ')
        start--;
    while (end < int32_t(text.size()) && text[size_t(end)] != ' ')
        end++;
    m_text.SetCaret(ScriptPos{start, pos.line}, false);
    m_text.SetCaret(ScriptPos{end, pos.line}, true);
    Refresh();
}

BOOL CScriptEdit::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    ::SetCursor(::LoadCursor(NULL, nHitTest == HTCLIENT ? IDC_IBEAM : IDC_ARROW));
    return TRUE;
}

LRESULT CScriptEdit::OnNcHitTest(WPARAM wParam, LPARAM lParam)
{
    // A static control lets the mouse through to its parent; the editor
    // takes it.
    return ::DefWindowProcA(m_hWnd, WM_NCHITTEST, wParam, lParam);
}

void CScriptEdit::OnSetFocus(CWnd*)
{
    if (!EnsureFont())
        return;
    ::CreateCaret(m_hWnd, NULL, 2, m_lineHeight);
    m_hasCaret = true;
    PlaceCaret();
    ::ShowCaret(m_hWnd);
}

void CScriptEdit::OnKillFocus(CWnd*)
{
    if (m_hasCaret) {
        ::DestroyCaret();
        m_hasCaret = false;
    }
    if (m_dragging) {
        m_dragging = false;
        ::ReleaseCapture();
    }
}

// ---------------------------------------------------------------------------
// Commands

void CScriptEdit::OnMoveCommand(UINT nID)
{
    UINT command = nID - ID_SCRIPT_LEFT;
    bool extend = (command & 1) != 0;
    int32_t page = PageLines();
    switch (command / 2) {
    case 0: m_text.MoveLeft(extend); break;
    case 1: m_text.MoveRight(extend); break;
    case 2: m_text.MoveWordLeft(extend); break;
    case 3: m_text.MoveWordRight(extend); break;
    case 4: m_text.MoveUp(extend); break;
    case 5: m_text.MoveDown(extend); break;
    case 6:
        // Ctrl+Up and Ctrl+Down scroll the view; the caret stays.
        if (extend)
            m_text.ScrollLineDown(page);
        else
            m_text.ScrollLineUp();
        Refresh(false);
        return;
    case 7: m_text.MovePageUp(page, extend); break;
    case 8: m_text.MovePageDown(page, extend); break;
    case 9: m_text.MoveEnd(extend); break;
    case 10: m_text.MoveHome(extend); break;
    case 11: m_text.MoveTextStart(extend); break;
    case 12: m_text.MoveTextEnd(extend); break;
    default: return;
    }
    Refresh();
}

void CScriptEdit::OnDelete()
{
    m_text.DeleteForward();
    Refresh();
}

void CScriptEdit::OnBackspace()
{
    m_text.DeleteBackward();
    Refresh();
}

void CScriptEdit::OnTab()
{
    m_text.InsertTab();
    Refresh();
}

void CScriptEdit::OnToggleInsert()
{
    m_text.ToggleInsertMode();
}

void CScriptEdit::OnEditCopy()
{
    if (!m_text.HasSelection() || !::OpenClipboard(m_hWnd))
        return;
    ::EmptyClipboard();
    std::string text = m_text.GetSelectedText();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    char* bytes = block != NULL ? static_cast<char*>(::GlobalLock(block)) : NULL;
    if (bytes != NULL) {
        memcpy(bytes, text.c_str(), text.size() + 1);
        ::GlobalUnlock(block);
        if (::SetClipboardData(CF_TEXT, block) == NULL)
            ::GlobalFree(block);
    } else if (block != NULL) {
        ::GlobalFree(block);
    }
    ::CloseClipboard();
}

void CScriptEdit::OnEditCut()
{
    if (!m_text.HasSelection())
        return;
    OnEditCopy();
    m_text.DeleteSelection();
    Refresh();
}

void CScriptEdit::OnEditPaste()
{
    if (!::OpenClipboard(m_hWnd))
        return;
    std::string text;
    bool got = false;
    HANDLE block = ::GetClipboardData(CF_TEXT);
    const char* bytes = block != NULL ? static_cast<const char*>(::GlobalLock(block)) : NULL;
    if (bytes != NULL) {
        // The text ends at its NUL, and never beyond the block.
        size_t size = ::GlobalSize(block);
        text.assign(bytes, strnlen(bytes, size));
        ::GlobalUnlock(block);
        got = true;
    }
    ::CloseClipboard();
    if (!got)
        return;
    m_text.InsertText(text);
    Refresh();
}

void CScriptEdit::OnEditSelectAll()
{
    m_text.SelectAll();
    Refresh();
}

void CScriptEdit::OnEditUndo()
{
    m_text.Undo();
    Refresh();
}
