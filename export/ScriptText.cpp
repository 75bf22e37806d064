// The script editor's text model and its undo record.
#include "export/ScriptText.h"

#include <algorithm>
#include <iterator>

namespace {

const char kTabToken[] = "%tab";

// Where a place that lay at or behind the insertion point start lies once
// the text from start to end was inserted.
ScriptPos ShiftByInsert(ScriptPos pos, ScriptPos start, ScriptPos end)
{
    if (pos < start)
        return pos;
    if (pos.line == start.line)
        return ScriptPos{end.col + (pos.col - start.col), end.line};
    return ScriptPos{pos.col, pos.line + (end.line - start.line)};
}

// The pieces of a text between its line breaks. Typed text breaks at CR LF
// and at a lone CR and gets "%tab" for TAB; a restored or set text breaks at
// CR LF only and stays as it was. A single line never breaks.
std::vector<std::string> SplitLines(const std::string& text, bool typed, bool singleLine)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c == '\r' && !singleLine) {
            bool pair = i + 1 < text.size() && text[i + 1] == '\n';
            if (pair || typed) {
                if (pair)
                    i++;
                pieces.emplace_back();
                continue;
            }
        }
        if (c == '\t' && typed)
            pieces.back() += kTabToken;
        else
            pieces.back() += c;
    }
    return pieces;
}

} // namespace

// ---------------------------------------------------------------------------
// Line formats

const char* LineEndOf(int format)
{
    switch (format) {
    case LINE_FORMAT_UNIX:
        return "\n";
    case LINE_FORMAT_MAC:
        return "\r";
    default:
        return "\r\n";
    }
}

const char* LineFormatName(int format)
{
    return format == LINE_FORMAT_UNIX ? "UNIX" : (format == LINE_FORMAT_MAC ? "MAC" : "PC");
}

std::string ConvertLineEnds(const std::string& text, int format)
{
    if (format != LINE_FORMAT_UNIX && format != LINE_FORMAT_MAC)
        return text;
    char end = format == LINE_FORMAT_UNIX ? '\n' : '\r';
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += end;
            i++;
        } else {
            result += text[i];
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Undo record

CScriptUndo::CScriptUndo()
{
    Clear();
}

CScriptUndo::~CScriptUndo()
{
}

void CScriptUndo::Clear()
{
    m_kind = UNDO_NONE;
    m_start = ScriptPos{0, 0};
    m_end = ScriptPos{0, 0};
    m_text.clear();
}

void CScriptUndo::RecordInsert(ScriptPos start, ScriptPos end)
{
    if (m_kind == UNDO_INSERT) {
        if (start == m_start) {
            // Typed in front of the recorded text, which moved behind it.
            m_end = ShiftByInsert(m_end, start, end);
            return;
        }
        if (start == m_end) {
            m_end = end;
            return;
        }
    }
    m_kind = UNDO_INSERT;
    m_start = start;
    m_end = end;
    m_text.clear();
}

void CScriptUndo::RecordDelete(ScriptPos start, ScriptPos end, const std::string& text)
{
    if (m_kind == UNDO_DELETE) {
        if (end == m_start) {  // Backspace
            m_text = text + m_text;
            m_start = start;
            return;
        }
        if (start == m_start) {  // Delete
            m_text += text;
            return;
        }
    }
    m_kind = UNDO_DELETE;
    m_start = start;
    m_end = end;
    m_text = text;
}

// ---------------------------------------------------------------------------
// The text

CScriptText::CScriptText()
    : m_caret{0, 0}, m_anchor{0, 0}, m_preferredCol(-1), m_firstVisible(0), m_singleLine(true),
      m_insertMode(true), m_changes(0)
{
    m_lines.emplace_back(new CScriptLine);
}

CScriptText::~CScriptText()
{
}

ScriptPos CScriptText::Clamp(ScriptPos pos) const
{
    pos.line = std::max<int32_t>(0, std::min<int32_t>(pos.line, GetLineCount() - 1));
    pos.col = std::max<int32_t>(0, std::min<int32_t>(pos.col, GetLineLength(pos.line)));
    return pos;
}

void CScriptText::SetLines(const std::string& text)
{
    std::vector<std::string> pieces = SplitLines(text, false, m_singleLine);
    m_lines.clear();
    m_lines.reserve(pieces.size());
    for (std::string& piece : pieces)
        m_lines.emplace_back(new CScriptLine(piece));
}

void CScriptText::SetText(const std::string& text)
{
    SetLines(text);
    m_caret = TextEnd();
    m_anchor = m_caret;
    m_preferredCol = -1;
    m_firstVisible = std::min(m_firstVisible, GetLineCount() - 1);
    m_undo.Clear();
    Changed();
}

std::string CScriptText::GetText(int format) const
{
    std::string text;
    text.reserve(GetTextLength());
    for (size_t i = 0; i < m_lines.size(); i++) {
        if (i > 0)
            text += "\r\n";
        text += m_lines[i]->m_text;
    }
    return ConvertLineEnds(text, format);
}

size_t CScriptText::GetTextLength() const
{
    size_t length = 2 * (m_lines.size() - 1);
    for (const auto& line : m_lines)
        length += line->m_text.size();
    return length;
}

void CScriptText::SetSingleLine(bool singleLine)
{
    if (singleLine == m_singleLine)
        return;
    if (singleLine) {
        m_lines.resize(1);
        m_singleLine = true;
        m_firstVisible = 0;
    } else {
        std::string text = m_lines[0]->m_text;
        m_singleLine = false;
        SetLines(text);
    }
    m_lines[0]->m_paint.reset();
    m_caret = Clamp(m_caret);
    m_anchor = Clamp(m_anchor);
    m_preferredCol = -1;
    m_undo.Clear();
    Changed();
}

ScriptPos CScriptText::SelectionStart() const
{
    return m_anchor < m_caret ? m_anchor : m_caret;
}

ScriptPos CScriptText::SelectionEnd() const
{
    return m_anchor < m_caret ? m_caret : m_anchor;
}

void CScriptText::SetCaret(ScriptPos pos, bool extend)
{
    m_caret = Clamp(pos);
    m_preferredCol = -1;
    Collapse(extend);
}

void CScriptText::Collapse(bool extend)
{
    if (!extend)
        m_anchor = m_caret;
}

void CScriptText::SelectAll()
{
    m_anchor = ScriptPos{0, 0};
    m_caret = TextEnd();
    m_preferredCol = -1;
}

std::string CScriptText::GetRange(ScriptPos a, ScriptPos b) const
{
    a = Clamp(a);
    b = Clamp(b);
    if (b < a)
        std::swap(a, b);
    if (a.line == b.line)
        return GetLine(a.line).substr(size_t(a.col), size_t(b.col - a.col));
    std::string text = GetLine(a.line).substr(size_t(a.col));
    for (int32_t line = a.line + 1; line < b.line; line++) {
        text += "\r\n";
        text += GetLine(line);
    }
    text += "\r\n";
    text += GetLine(b.line).substr(0, size_t(b.col));
    return text;
}

// ---------------------------------------------------------------------------
// Edits

ScriptPos CScriptText::RawInsert(ScriptPos at, const std::string& text, bool typed)
{
    at = Clamp(at);
    std::vector<std::string> pieces = SplitLines(text, typed, m_singleLine);
    CScriptLine& first = *m_lines[size_t(at.line)];
    std::string tail = first.m_text.substr(size_t(at.col));
    if (pieces.size() == 1) {
        first.SetText(first.m_text.substr(0, size_t(at.col)) + pieces[0] + tail);
        return ScriptPos{at.col + int32_t(pieces[0].size()), at.line};
    }
    first.SetText(first.m_text.substr(0, size_t(at.col)) + pieces[0]);
    std::vector<std::unique_ptr<CScriptLine>> added;
    added.reserve(pieces.size() - 1);
    for (size_t i = 1; i < pieces.size(); i++)
        added.emplace_back(new CScriptLine(pieces[i]));
    int32_t lastCol = int32_t(pieces.back().size());
    added.back()->m_text += tail;
    // Every line behind the insertion moves: their bitmaps show other rows now.
    for (size_t i = size_t(at.line) + 1; i < m_lines.size(); i++)
        m_lines[i]->m_paint.reset();
    m_lines.insert(m_lines.begin() + at.line + 1, std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.end()));
    return ScriptPos{lastCol, at.line + int32_t(pieces.size()) - 1};
}

void CScriptText::RawDelete(ScriptPos start, ScriptPos end)
{
    CScriptLine& first = *m_lines[size_t(start.line)];
    if (start.line == end.line) {
        std::string text = first.m_text;
        text.erase(size_t(start.col), size_t(end.col - start.col));
        first.SetText(text);
        return;
    }
    first.SetText(first.m_text.substr(0, size_t(start.col)) + GetLine(end.line).substr(size_t(end.col)));
    m_lines.erase(m_lines.begin() + start.line + 1, m_lines.begin() + end.line + 1);
    for (size_t i = size_t(start.line) + 1; i < m_lines.size(); i++)
        m_lines[i]->m_paint.reset();
}

void CScriptText::DeleteRange(ScriptPos start, ScriptPos end)
{
    start = Clamp(start);
    end = Clamp(end);
    if (end < start)
        std::swap(start, end);
    m_undo.RecordDelete(start, end, GetRange(start, end));
    RawDelete(start, end);
    SetCaret(start, false);
    m_firstVisible = std::min(m_firstVisible, GetLineCount() - 1);
    Changed();
}

void CScriptText::InsertText(const std::string& text)
{
    DeleteSelection();
    if (text.empty())
        return;
    ScriptPos start = m_caret;
    ScriptPos end = RawInsert(start, text, true);
    if (end != start)
        m_undo.RecordInsert(start, end);
    SetCaret(end, false);
    Changed();
}

void CScriptText::InsertTab()
{
    if (!m_singleLine)
        InsertText(kTabToken);
}

void CScriptText::TypeChar(unsigned char c, int repeat)
{
    repeat = std::max(repeat, 1);
    if (c == '\r') {
        if (m_singleLine)
            return;
        if (!m_insertMode && m_caret.line < GetLineCount() - 1) {
            SetCaret(ScriptPos{0, m_caret.line + repeat}, false);
            return;
        }
        InsertText(std::string(size_t(repeat), '\r'));
        return;
    }
    if (c < 31)
        return;
    std::string typed = std::string(size_t(repeat), char(c));
    CScriptLine& line = *m_lines[size_t(m_caret.line)];
    if (!m_insertMode && !HasSelection() && m_caret.col < int32_t(line.m_text.size())) {
        std::string text = line.m_text;
        text.replace(size_t(m_caret.col), std::min(typed.size(), text.size() - size_t(m_caret.col)), typed);
        line.SetText(text);
        SetCaret(ScriptPos{m_caret.col + repeat, m_caret.line}, false);
        // Nothing records an overwrite, so an older record no longer fits
        // the text: undoing it would change the wrong characters.
        m_undo.Clear();
        Changed();
        return;
    }
    InsertText(typed);
}

bool CScriptText::DeleteSelection()
{
    if (!HasSelection())
        return false;
    DeleteRange(m_anchor, m_caret);
    return true;
}

bool CScriptText::DeleteForward()
{
    if (DeleteSelection())
        return true;
    if (m_caret.col < GetLineLength(m_caret.line)) {
        DeleteRange(m_caret, ScriptPos{m_caret.col + 1, m_caret.line});
        return true;
    }
    if (m_caret.line < GetLineCount() - 1) {
        DeleteRange(m_caret, ScriptPos{0, m_caret.line + 1});
        return true;
    }
    return false;
}

bool CScriptText::DeleteBackward()
{
    if (DeleteSelection())
        return true;
    if (m_caret.col > 0) {
        DeleteRange(ScriptPos{m_caret.col - 1, m_caret.line}, m_caret);
        return true;
    }
    if (m_caret.line > 0) {
        DeleteRange(LineEnd(m_caret.line - 1), m_caret);
        return true;
    }
    return false;
}

void CScriptText::Undo()
{
    if (m_undo.m_kind == CScriptUndo::UNDO_INSERT) {
        // Deleting records a deletion, so the next undo brings the text back.
        DeleteRange(m_undo.m_start, m_undo.m_end);
    } else if (m_undo.m_kind == CScriptUndo::UNDO_DELETE) {
        ScriptPos start = Clamp(m_undo.m_start);
        std::string text = m_undo.m_text;
        ScriptPos end = RawInsert(start, text, false);
        m_undo.RecordInsert(start, end);
        // The restored text comes back selected.
        m_anchor = start;
        m_caret = end;
        m_preferredCol = -1;
        Changed();
    }
}

// ---------------------------------------------------------------------------
// Moves

void CScriptText::MoveLeft(bool extend)
{
    ScriptPos pos = m_caret;
    if (pos.col > 0)
        pos.col--;
    else if (pos.line > 0)
        pos = LineEnd(pos.line - 1);
    SetCaret(pos, extend);
}

void CScriptText::MoveRight(bool extend)
{
    ScriptPos pos = m_caret;
    if (pos.col < GetLineLength(pos.line))
        pos.col++;
    else if (pos.line < GetLineCount() - 1)
        pos = ScriptPos{0, pos.line + 1};
    SetCaret(pos, extend);
}

void CScriptText::MoveWordLeft(bool extend)
{
    ScriptPos pos = m_caret;
    if (pos.col == 0) {
        if (pos.line > 0)
            pos = LineEnd(pos.line - 1);
    } else {
        const std::string& text = GetLine(pos.line);
        pos.col--;
        while (pos.col > 0 && text[size_t(pos.col) - 1] != ' ')
            pos.col--;
    }
    SetCaret(pos, extend);
}

void CScriptText::MoveWordRight(bool extend)
{
    ScriptPos pos = m_caret;
    const std::string& text = GetLine(pos.line);
    int32_t length = int32_t(text.size());
    if (pos.col >= length) {
        if (pos.line < GetLineCount() - 1)
            pos = ScriptPos{0, pos.line + 1};
    } else {
        int32_t col = pos.col;
        while (col < length && text[size_t(col)] != ' ')
            col++;
        pos.col = col < length ? col + 1 : length;
    }
    SetCaret(pos, extend);
}

void CScriptText::MoveVertical(int64_t lines, bool extend)
{
    if (m_singleLine)
        return;
    if (m_preferredCol < 0)
        m_preferredCol = m_caret.col;
    int64_t line = std::max<int64_t>(0, std::min<int64_t>(m_caret.line + lines, GetLineCount() - 1));
    m_caret.line = int32_t(line);
    m_caret.col = std::min(m_preferredCol, GetLineLength(m_caret.line));
    Collapse(extend);
}

void CScriptText::MoveUp(bool extend)
{
    MoveVertical(-1, extend);
}

void CScriptText::MoveDown(bool extend)
{
    MoveVertical(1, extend);
}

void CScriptText::MovePageUp(int32_t page, bool extend)
{
    if (m_singleLine)
        return;
    page = std::max(page, 1);
    MoveVertical(-int64_t(page), extend);
    SetFirstVisible(int32_t(std::max<int64_t>(0, int64_t(m_firstVisible) - page)));
}

void CScriptText::MovePageDown(int32_t page, bool extend)
{
    if (m_singleLine)
        return;
    page = std::max(page, 1);
    MoveVertical(page, extend);
    // Not beyond a full last page.
    int64_t last = std::max<int64_t>(0, int64_t(GetLineCount()) - page);
    SetFirstVisible(int32_t(std::min<int64_t>(int64_t(m_firstVisible) + page, last)));
}

void CScriptText::ScrollLineUp()
{
    if (!m_singleLine && m_firstVisible > 0)
        m_firstVisible--;
}

void CScriptText::ScrollLineDown(int32_t page)
{
    // Signed: with fewer lines than a page the limit is below 0.
    if (!m_singleLine && int64_t(m_firstVisible) < int64_t(GetLineCount()) - page - 1)
        m_firstVisible++;
}

void CScriptText::SetFirstVisible(int32_t line)
{
    m_firstVisible = std::max<int32_t>(0, std::min<int32_t>(line, GetLineCount() - 1));
}

void CScriptText::ScrollCaretIntoView(int32_t page)
{
    page = std::max(page, 1);
    if (m_caret.line < m_firstVisible)
        m_firstVisible = m_caret.line;
    else if (int64_t(m_caret.line) >= int64_t(m_firstVisible) + page)
        m_firstVisible = m_caret.line - page + 1;
}

void CScriptText::MoveHome(bool extend)
{
    SetCaret(ScriptPos{0, m_caret.line}, extend);
}

void CScriptText::MoveEnd(bool extend)
{
    SetCaret(LineEnd(m_caret.line), extend);
}

void CScriptText::MoveTextStart(bool extend)
{
    SetCaret(ScriptPos{0, 0}, extend);
}

void CScriptText::MoveTextEnd(bool extend)
{
    SetCaret(TextEnd(), extend);
}
