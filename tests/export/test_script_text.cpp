// The script editor's text model: whole texts and line formats, typing,
// deleting and undo, and the caret moves.
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "export/ScriptText.h"

namespace {

// A multi-line text holding the given window text.
void Fill(CScriptText& text, const char* content)
{
    text.SetSingleLine(false);
    text.SetText(content);
}

void Type(CScriptText& text, const char* typed)
{
    for (const char* p = typed; *p != '\0'; p++)
        text.TypeChar((unsigned char)*p, 1);
}

ScriptPos At(int32_t col, int32_t line)
{
    return ScriptPos{col, line};
}

} // namespace

TEST(ScriptText, WholeTextsSplitAtCrLfOnlyAndConvertToEveryLineFormat)
{
    CScriptText text;
    EXPECT_TRUE(text.IsSingleLine());
    Fill(text, "head\r\nlone\nlf\tand cr\r\r\n");
    ASSERT_EQ(3, text.GetLineCount());
    EXPECT_EQ("lone\nlf\tand cr\r", text.GetLine(1));
    EXPECT_EQ("", text.GetLine(2));
    EXPECT_TRUE(At(0, 2) == text.GetCaret() && !text.HasSelection());
    EXPECT_EQ(text.GetText().size(), text.GetTextLength());
    EXPECT_EQ("head\nlone\nlf\tand cr\r\n", text.GetText(LINE_FORMAT_UNIX));
    EXPECT_EQ("head\rlone\nlf\tand cr\r\r", text.GetText(LINE_FORMAT_MAC));
    EXPECT_EQ(text.GetText(LINE_FORMAT_PC), text.GetText(99));

    // A single line keeps only the first line; leaving it splits again and
    // keeps caret and anchor inside the text.
    Fill(text, "one\r\ntwo words\r\nthree");
    text.SetCaret(At(3, 1), false);
    text.SetCaret(At(9, 1), true);
    text.SetSingleLine(true);
    EXPECT_EQ(1, text.GetLineCount());
    EXPECT_EQ("one", text.GetText());
    EXPECT_TRUE(At(3, 0) == text.GetCaret() && At(3, 0) == text.GetAnchor());
    text.SetText("a\r\nb");
    EXPECT_EQ(1, text.GetLineCount());
    text.SetSingleLine(false);
    EXPECT_EQ(2, text.GetLineCount());
    EXPECT_EQ("a\r\nb", text.GetText());

    // Replacing the text forgets the record: undo can't reach the old text.
    Type(text, "xyz");
    text.SetText("new");
    text.Undo();
    EXPECT_EQ("new", text.GetText());
    EXPECT_EQ(CScriptUndo::UNDO_NONE, text.GetUndo().m_kind);
}

TEST(ScriptText, TypingPastingAndTheirUndo)
{
    CScriptText text;
    Fill(text, "");
    Type(text, "abc");
    text.Undo();
    EXPECT_EQ("", text.GetText());
    text.Undo();
    EXPECT_EQ("abc", text.GetText());
    EXPECT_EQ("abc", text.GetSelectedText());

    // Three Backspaces, one undo: the characters return in their order.
    Fill(text, "hello");
    for (int i = 0; i < 3; i++)
        text.DeleteBackward();
    EXPECT_EQ("he", text.GetText());
    text.Undo();
    EXPECT_EQ("hello", text.GetText());
    EXPECT_EQ("llo", text.GetSelectedText());

    // Delete forward across a line end merges too.
    Fill(text, "ab\r\ncd");
    text.SetCaret(At(1, 0), false);
    text.DeleteForward();
    text.DeleteForward();
    text.DeleteForward();
    EXPECT_EQ("ad", text.GetText());
    text.Undo();
    EXPECT_EQ("ab\r\ncd", text.GetText());

    // Pasted text: TAB becomes %tab, CR LF and CR break, a lone LF stays.
    Fill(text, "<>");
    text.SetCaret(At(1, 0), false);
    text.InsertText("a\tb\nc");
    EXPECT_EQ(1, text.GetLineCount());
    EXPECT_EQ("<a%tabb\nc>", text.GetText());
    text.InsertText("1\r\n2\r3");
    EXPECT_EQ("<a%tabb\nc1\r\n2\r\n3>", text.GetText());
    EXPECT_TRUE(At(1, 2) == text.GetCaret());
    // Text typed in front of the last insertion joins it, wherever it ends.
    text.SetCaret(At(0, 1), false);
    text.InsertText("x\r\ny");
    text.SetCaret(At(0, 1), false);
    text.InsertText("<");
    EXPECT_EQ("<a%tabb\nc1\r\n<x\r\ny2\r\n3>", text.GetText());
    text.Undo();
    EXPECT_EQ("<a%tabb\nc1\r\n2\r\n3>", text.GetText());

    // Undo of a deletion puts lines back exactly as they were, their lone
    // CR and TAB characters included.
    Fill(text, "a\tb\rc\r\nd");
    text.SelectAll();
    text.DeleteSelection();
    text.Undo();
    EXPECT_EQ("a\tb\rc\r\nd", text.GetText());
    EXPECT_EQ(2, text.GetLineCount());
}

TEST(ScriptText, EnterTabAndOverwrite)
{
    CScriptText text;
    Fill(text, "ab");
    text.TypeChar('\r', 2);
    text.InsertTab();
    EXPECT_EQ("ab\r\n\r\n%tab", text.GetText());

    // Overwriting replaces under the caret, grows the line at its end and
    // leaves nothing to undo; Enter then only moves down.
    Fill(text, "abcd\r\nxy");
    text.SetCaret(At(2, 0), false);
    Type(text, "Q");
    text.ToggleInsertMode();
    EXPECT_FALSE(text.IsInsertMode());
    text.TypeChar('Z', 3);
    EXPECT_EQ("abQZZZ\r\nxy", text.GetText());
    EXPECT_TRUE(At(6, 0) == text.GetCaret());
    text.Undo();
    EXPECT_EQ("abQZZZ\r\nxy", text.GetText());
    text.TypeChar('\r', 1);
    EXPECT_TRUE(At(0, 1) == text.GetCaret());
    EXPECT_EQ(2, text.GetLineCount());
    // At the end of the line typing appends; on the last line Enter breaks.
    text.MoveEnd(false);
    Type(text, "!\r");
    EXPECT_EQ("abQZZZ\r\nxy!\r\n", text.GetText());
}

TEST(ScriptText, CaretMovesAndScrolling)
{
    CScriptText text;
    Fill(text, "0123456789\r\nabc\r\n0123456789");
    text.SetCaret(At(8, 0), false);
    text.MoveDown(false);
    EXPECT_TRUE(At(3, 1) == text.GetCaret());
    text.MoveDown(false);
    EXPECT_TRUE(At(8, 2) == text.GetCaret());
    text.MoveUp(true);
    text.MoveUp(true);
    EXPECT_TRUE(At(8, 0) == text.GetCaret() && At(8, 2) == text.GetAnchor());
    EXPECT_EQ("89\r\nabc\r\n01234567", text.GetSelectedText());

    // Words: just behind a blank, and line ends on the way.
    Fill(text, "one two  three\r\nfour");
    text.SetCaret(At(7, 0), false);
    text.MoveWordLeft(false);
    EXPECT_EQ(4, text.GetCaret().col);
    text.MoveWordLeft(false);
    EXPECT_EQ(0, text.GetCaret().col);
    text.MoveWordRight(false);
    EXPECT_EQ(4, text.GetCaret().col);
    text.MoveWordRight(false);
    EXPECT_EQ(8, text.GetCaret().col);
    text.MoveWordRight(false);
    EXPECT_EQ(9, text.GetCaret().col);
    text.MoveWordRight(false);
    EXPECT_TRUE(At(14, 0) == text.GetCaret());
    text.MoveWordRight(false);
    EXPECT_TRUE(At(0, 1) == text.GetCaret());
    text.MoveWordLeft(false);
    EXPECT_TRUE(At(14, 0) == text.GetCaret());

    // Pages move caret and view, never past a full last page; the view
    // scrolls down only while lines remain below a page.
    Fill(text, Repeated("line\r\n", 25).c_str());
    text.MoveTextStart(false);
    text.MovePageDown(10, false);
    text.MovePageDown(10, false);
    EXPECT_EQ(20, text.GetCaret().line);
    EXPECT_EQ(16, text.GetFirstVisible());
    text.MovePageDown(10, false);
    EXPECT_EQ(25, text.GetCaret().line);
    text.MovePageUp(30, true);
    EXPECT_TRUE(At(0, 0) == text.GetCaret() && text.GetFirstVisible() == 0);
    for (int i = 0; i < 40; i++)
        text.ScrollLineDown(10);
    EXPECT_EQ(15, text.GetFirstVisible());
    Fill(text, "short\r\ntext");
    text.ScrollLineDown(10);
    text.ScrollLineUp();
    EXPECT_EQ(0, text.GetFirstVisible());
}
