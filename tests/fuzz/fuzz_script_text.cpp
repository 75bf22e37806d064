// The script editor's text model driven by arbitrary commands: every edit,
// move and undo keeps the caret, the anchor and the first visible line
// inside the text, and undoing an insertion right after it gives the text
// back as it was
// when it merged with no earlier insertion.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/ScriptText.h"

namespace {

void CheckInside(const CScriptText& text)
{
    ScriptPos places[] = {text.GetCaret(), text.GetAnchor()};
    for (const ScriptPos& pos : places) {
        if (pos.line < 0 || pos.line >= text.GetLineCount() || pos.col < 0 ||
            pos.col > text.GetLineLength(pos.line))
            abort();
    }
    if (text.GetFirstVisible() < 0 || text.GetFirstVisible() >= text.GetLineCount())
        abort();
    if (text.GetText().size() != text.GetTextLength())
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CScriptText text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        uint8_t command = data[i];
        uint8_t value = data[i + 1];
        bool extend = (value & 1) != 0;
        switch (command % 24) {
        case 0: text.TypeChar(value, 1 + value % 3); break;
        case 1: {
            std::string before = text.GetText();
            // Undo takes back exactly this insertion unless it merged with
            // the one before.
            bool alone = !text.HasSelection() && text.GetUndo().m_kind != CScriptUndo::UNDO_INSERT;
            std::string piece(reinterpret_cast<const char*>(data + i + 1), std::min<size_t>(value % 8, size - i - 1));
            text.InsertText(piece);
            if (alone && !piece.empty()) {
                text.Undo();
                if (text.GetText() != before)
                    abort();
                text.Undo();
            }
            break;
        }
        case 2: text.DeleteForward(); break;
        case 3: text.DeleteBackward(); break;
        case 4: text.Undo(); break;
        case 5: text.MoveLeft(extend); break;
        case 6: text.MoveRight(extend); break;
        case 7: text.MoveWordLeft(extend); break;
        case 8: text.MoveWordRight(extend); break;
        case 9: text.MoveUp(extend); break;
        case 10: text.MoveDown(extend); break;
        case 11: text.MovePageUp(value % 40, extend); break;
        case 12: text.MovePageDown(value % 40, extend); break;
        case 13: text.ScrollLineDown(value % 40); break;
        case 14: text.ScrollLineUp(); break;
        case 15: text.SelectAll(); break;
        case 16: text.SetSingleLine((value & 2) != 0); break;
        case 17: text.ToggleInsertMode(); break;
        case 18: text.InsertTab(); break;
        case 19: text.SetCaret(ScriptPos{int32_t(value) - 100, int32_t(value % 7) - 2}, extend); break;
        case 20: text.SetText(std::string(reinterpret_cast<const char*>(data + i), size - i).substr(0, value)); break;
        case 21: text.MoveHome(extend); text.MoveTextEnd(extend); break;
        case 22: text.ScrollCaretIntoView(value % 30); break;
        default: text.DeleteSelection(); break;
        }
        CheckInside(text);
    }
    return 0;
}
