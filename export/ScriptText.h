// The text model of the script editor: its lines, the caret and the
// selection, the edits and moves of its commands, and the one-level undo
// record. It knows nothing of windows; the editor control (ScriptEdit.h)
// paints it and feeds it keys, mouse clicks and the clipboard.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A place in the text: a character index in a line, and the line.
struct ScriptPos {
    int32_t col;
    int32_t line;
};

inline bool operator==(const ScriptPos& a, const ScriptPos& b)
{
    return a.col == b.col && a.line == b.line;
}
inline bool operator!=(const ScriptPos& a, const ScriptPos& b)
{
    return !(a == b);
}
inline bool operator<(const ScriptPos& a, const ScriptPos& b)
{
    return a.line < b.line || (a.line == b.line && a.col < b.col);
}

// What the view keeps for a line it shows (its bitmap); the model drops it
// whenever the line's text changes.
class IScriptLinePaint {
public:
    virtual ~IScriptLinePaint() {}
};

class CScriptLine {
public:
    explicit CScriptLine(const std::string& text = std::string()) : m_text(text) {}
    virtual ~CScriptLine() {}

    void SetText(const std::string& text)
    {
        m_text = text;
        m_paint.reset();
    }

    std::string m_text;
    std::unique_ptr<IScriptLinePaint> m_paint;  // only while the line is in view
};

// The last change, so that it can be taken back. Continued typing and
// continued deleting merge into one record.
class CScriptUndo {
public:
    enum Kind { UNDO_NONE = 0, UNDO_INSERT = 5, UNDO_DELETE = 0x19 };

    CScriptUndo();
    virtual ~CScriptUndo();

    void Clear();
    // Text was inserted from start to end (positions after the insertion).
    void RecordInsert(ScriptPos start, ScriptPos end);
    // The text between start and end (lines joined with CR LF) is about to
    // be deleted.
    void RecordDelete(ScriptPos start, ScriptPos end, const std::string& text);

    int m_kind;
    ScriptPos m_start;
    ScriptPos m_end;
    std::string m_text;  // deletions only
};

// Line format codes shared by the export settings, the script files and
// the editor; any other value counts as PC.
enum LineFormat {
    LINE_FORMAT_PC = 12,    // CR LF
    LINE_FORMAT_UNIX = 13,  // LF
    LINE_FORMAT_MAC = 14    // CR
};

// The line end of a format code, and its name: "PC", "UNIX" or "MAC".
const char* LineEndOf(int format);
const char* LineFormatName(int format);
// Every CR LF of the text becomes the format's line end.
std::string ConvertLineEnds(const std::string& text, int format);

class CScriptText {
public:
    CScriptText();
    virtual ~CScriptText();

    // ---- the whole text
    // Replaces every line (split at CR LF only; a single-line text keeps
    // everything in its one line). The caret and the anchor go to the end,
    // the undo record is cleared.
    void SetText(const std::string& text);
    // The lines joined with CR LF, then converted to the line format.
    std::string GetText(int format = LINE_FORMAT_PC) const;
    size_t GetTextLength() const;

    // Single-line mode keeps only the first line; leaving it splits the text
    // into lines again. Either way the undo record is cleared.
    void SetSingleLine(bool singleLine);
    bool IsSingleLine() const { return m_singleLine; }
    bool IsInsertMode() const { return m_insertMode; }
    void ToggleInsertMode() { m_insertMode = !m_insertMode; }

    int32_t GetLineCount() const { return int32_t(m_lines.size()); }
    const std::string& GetLine(int32_t line) const { return m_lines[size_t(line)]->m_text; }
    CScriptLine* GetLineObject(int32_t line) const { return m_lines[size_t(line)].get(); }
    int32_t GetLineLength(int32_t line) const { return int32_t(GetLine(line).size()); }

    // ---- caret and selection
    ScriptPos GetCaret() const { return m_caret; }
    ScriptPos GetAnchor() const { return m_anchor; }
    bool HasSelection() const { return m_caret != m_anchor; }
    // The selection's first and last place.
    ScriptPos SelectionStart() const;
    ScriptPos SelectionEnd() const;
    // Places the caret (clamped into the text); extend keeps the anchor.
    void SetCaret(ScriptPos pos, bool extend);
    void SelectAll();
    // The text between two places (in either order, clamped), lines joined
    // with CR LF.
    std::string GetRange(ScriptPos a, ScriptPos b) const;
    std::string GetSelectedText() const { return GetRange(m_anchor, m_caret); }

    // ---- edits
    // Characters typed (code >= 31, repeated): overwritten at the caret when
    // insert mode is off, else inserted. A CR is the Enter key.
    void TypeChar(unsigned char c, int repeat);
    // Inserts text at the caret, replacing the selection: CR LF and CR break
    // lines, a lone LF stays a character, TAB becomes "%tab".
    void InsertText(const std::string& text);
    void InsertTab();
    // Delete and Backspace: the selection, else one character (joining
    // lines at a line's end or start). False when nothing was deleted.
    bool DeleteForward();
    bool DeleteBackward();
    bool DeleteSelection();
    void Undo();
    const CScriptUndo& GetUndo() const { return m_undo; }

    // ---- moves (extend keeps the anchor)
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);
    void MoveUp(bool extend);
    void MoveDown(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void MoveTextStart(bool extend);
    void MoveTextEnd(bool extend);
    // By a page of lines; the first visible line moves along.
    void MovePageUp(int32_t page, bool extend);
    void MovePageDown(int32_t page, bool extend);
    // The view one line up or down; the caret stays.
    void ScrollLineUp();
    void ScrollLineDown(int32_t page);

    // The first line the view shows; kept within the text.
    int32_t GetFirstVisible() const { return m_firstVisible; }
    void SetFirstVisible(int32_t line);
    // The first visible line moved so that the caret's line is among the
    // page lines shown.
    void ScrollCaretIntoView(int32_t page);

    // Each change of the text increases the count; the control tells its
    // owner about changes by it.
    uint32_t GetChangeCount() const { return m_changes; }

private:
    CScriptText(const CScriptText&) = delete;
    CScriptText& operator=(const CScriptText&) = delete;

    ScriptPos Clamp(ScriptPos pos) const;
    ScriptPos LineEnd(int32_t line) const { return ScriptPos{GetLineLength(line), line}; }
    ScriptPos TextEnd() const { return LineEnd(GetLineCount() - 1); }
    // The lines of a whole text, split as SetText splits them.
    void SetLines(const std::string& text);
    void Collapse(bool extend);
    void MoveVertical(int64_t lines, bool extend);
    // The edits themselves, recording nothing; return the end of the
    // inserted text and delete an ordered, clamped range.
    // Typed text breaks at CR LF and lone CRs and gets "%tab" for TAB;
    // other text (undo) breaks at CR LF only and stays as it was.
    ScriptPos RawInsert(ScriptPos at, const std::string& text, bool typed);
    void RawDelete(ScriptPos start, ScriptPos end);
    void DeleteRange(ScriptPos start, ScriptPos end);
    void Changed() { m_changes++; }

    std::vector<std::unique_ptr<CScriptLine>> m_lines;  // never empty
    ScriptPos m_caret;
    ScriptPos m_anchor;
    int32_t m_preferredCol;  // -1: none
    int32_t m_firstVisible;
    bool m_singleLine;
    bool m_insertMode;
    CScriptUndo m_undo;
    uint32_t m_changes;
};
