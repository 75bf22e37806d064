// The script editor control under Wine: token colours in both contexts,
// the window text, every key of its accelerator table, the clipboard, the
// mouse and the limits of a long script.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "WinTestSupport.h"
#include "export/ScriptEdit.h"
#include "resources/resource.h"

namespace {

ScriptPos Caret(CScriptEdit& edit)
{
    return edit.GetModel().GetCaret();
}

std::string Where(CScriptEdit& edit)
{
    ScriptPos caret = edit.GetModel().GetCaret();
    ScriptPos anchor = edit.GetModel().GetAnchor();
    return std::to_string(caret.col) + "," + std::to_string(caret.line) + " from " +
           std::to_string(anchor.col) + "," + std::to_string(anchor.line);
}

int LinesWithBitmaps(CScriptEdit& edit)
{
    int n = 0;
    for (int32_t i = 0; i < edit.GetModel().GetLineCount(); i++)
        n += edit.GetModel().GetLineObject(i)->m_paint != nullptr ? 1 : 0;
    return n;
}

} // namespace

TEST(ScriptEdit, TokensAreRedOnlyWhereTheContextKnowsThem)
{
    CEditorHost body(false, false);
    CEditorHost head(true, false);
    HWND b = body.edit.m_hWnd;
    HWND h = head.edit.m_hWnd;

    ::SetWindowTextA(b, "%movie_name and");
    ::SetWindowTextA(h, "%movie_name and");
    int name = LastRedColumn(b);
    EXPECT_GT(name, 20);
    EXPECT_EQ(-1, LastRedColumn(h));

    // Date tokens need no movie; a real token takes its width digits along,
    // a text token leaves them black.
    ::SetWindowTextA(h, "%date_day and");
    EXPECT_GT(LastRedColumn(h), 20);
    ::SetWindowTextA(b, "%movie_rate2.1 and");
    int rate = LastRedColumn(b);
    ::SetWindowTextA(b, "%movie_rate and");
    int plainRate = LastRedColumn(b);
    EXPECT_GT(rate, plainRate + plainRate / 5);
    EXPECT_LT(rate, plainRate + plainRate / 2);
    ::SetWindowTextA(b, "%movie_name2 and");
    EXPECT_EQ(name, LastRedColumn(b));

    // Disabled, tokens keep a colour of their own.
    ::SetWindowTextA(b, "%movie_name");
    ::EnableWindow(b, FALSE);
    EXPECT_GT(LastRedColumn(b), 20);
}

TEST(ScriptEdit, WindowTextNotificationsAndFields)
{
    CEditorHost host(false, false);
    HWND edit = host.edit.m_hWnd;
    int before = host.changes;
    ::SetWindowTextA(edit, "one\r\ntwo\nthree");
    EXPECT_EQ(before + 1, host.changes);
    EXPECT_EQ(2, host.edit.GetModel().GetLineCount());
    EXPECT_EQ("two\nthree", host.edit.GetModel().GetLine(1));
    EXPECT_EQ(14, ::GetWindowTextLengthA(edit));

    // The copy ends inside the caller's buffer.
    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(4, ::SendMessageA(edit, WM_GETTEXT, 5, LPARAM(buffer)));
    EXPECT_STREQ("one\r", buffer);
    EXPECT_EQ('#', buffer[5]);
    EXPECT_EQ(0, ::SendMessageA(edit, WM_GETTEXT, 0, LPARAM(buffer)));

    char* text = nullptr;
    host.edit.GetText(&text, LINE_FORMAT_UNIX);
    EXPECT_STREQ("one\ntwo\nthree", text);
    free(text);

    TypeText(edit, "!");
    EXPECT_EQ(before + 2, host.changes);
    EXPECT_EQ("one\r\ntwo\nthree!", WindowText(edit));

    // The dialog passes a script every key but Escape; a field no Enter.
    MSG escape = {};
    escape.hwnd = edit;
    escape.message = WM_KEYDOWN;
    escape.wParam = VK_ESCAPE;
    EXPECT_TRUE(::SendMessageA(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
    EXPECT_FALSE(::SendMessageA(edit, WM_GETDLGCODE, 0, LPARAM(&escape)) & DLGC_WANTALLKEYS);
    host.edit.SetMovieContext(false, true);
    EXPECT_EQ(DLGC_WANTCHARS | DLGC_WANTARROWS, ::SendMessageA(edit, WM_GETDLGCODE, 0, 0));
    EXPECT_EQ("one", WindowText(edit));

    // A field takes neither Enter nor Tab, nor vertical moves.
    PressKey(edit, VK_RETURN);
    PressKey(edit, VK_TAB);
    TypeText(edit, "\r\t");
    PressKey(edit, VK_DOWN);
    EXPECT_EQ("one", WindowText(edit));
    EXPECT_EQ(3, Caret(host.edit).col);
}

TEST(ScriptEdit, EveryKeyOfTheTable)
{
    CEditorHost host(false, false);
    HWND edit = host.edit.m_hWnd;
    CScriptEdit& e = host.edit;
    ::SetWindowTextA(edit, "alpha beta\r\ngamma\r\ndelta epsilon");

    struct Step {
        UINT vk;
        int modifiers;
        const char* where;  // caret, then anchor
    } moves[] = {
        {VK_HOME, KEY_CONTROL, "0,0 from 0,0"},
        {VK_RIGHT, 0, "1,0 from 1,0"},
        {VK_RIGHT, KEY_SHIFT, "2,0 from 1,0"},
        {VK_LEFT, 0, "1,0 from 1,0"},
        {VK_LEFT, KEY_SHIFT, "0,0 from 1,0"},
        {VK_RIGHT, KEY_CONTROL, "6,0 from 6,0"},
        {VK_RIGHT, KEY_CONTROL | KEY_SHIFT, "10,0 from 6,0"},
        {VK_LEFT, KEY_CONTROL, "6,0 from 6,0"},
        {VK_LEFT, KEY_CONTROL | KEY_SHIFT, "0,0 from 6,0"},
        {VK_DOWN, 0, "0,1 from 0,1"},
        {VK_DOWN, KEY_SHIFT, "0,2 from 0,1"},
        {VK_UP, 0, "0,1 from 0,1"},
        {VK_UP, KEY_SHIFT, "0,0 from 0,1"},
        {VK_END, 0, "10,0 from 10,0"},
        {VK_HOME, KEY_SHIFT, "0,0 from 10,0"},
        {VK_HOME, 0, "0,0 from 0,0"},
        {VK_END, KEY_SHIFT, "10,0 from 0,0"},
        {VK_END, KEY_CONTROL, "13,2 from 13,2"},
        {VK_HOME, KEY_CONTROL | KEY_SHIFT, "0,0 from 13,2"},
        {VK_END, KEY_CONTROL | KEY_SHIFT, "13,2 from 13,2"},
        {VK_PRIOR, 0, "10,0 from 10,0"},
        {VK_NEXT, KEY_SHIFT, "13,2 from 10,0"},
        {VK_PRIOR, KEY_SHIFT, "10,0 from 10,0"},
        {VK_NEXT, 0, "13,2 from 13,2"},
        {VK_HOME, 0, "0,2 from 0,2"},
    };
    for (const Step& step : moves) {
        PressKey(edit, step.vk, step.modifiers);
        EXPECT_EQ(step.where, Where(e)) << "key " << step.vk << " modifiers " << step.modifiers;
    }

    // Edits: Delete, Backspace, undo by both keys, Tab, Insert (overwrite).
    PressKey(edit, VK_DELETE);
    PressKey(edit, VK_BACK);
    EXPECT_EQ("alpha beta\r\ngammaelta epsilon", WindowText(edit));
    PressKey(edit, VK_BACK, KEY_ALT);
    EXPECT_EQ("alpha beta\r\ngamma\r\ndelta epsilon", WindowText(edit));
    EXPECT_EQ("1,2 from 5,1", Where(e));
    PressKey(edit, VK_HOME);
    PressKey(edit, VK_TAB);
    EXPECT_EQ("alpha beta\r\ngamma\r\n%tabdelta epsilon", WindowText(edit));
    PressKey(edit, 'Z', KEY_CONTROL);
    EXPECT_EQ("alpha beta\r\ngamma\r\ndelta epsilon", WindowText(edit));
    PressKey(edit, VK_INSERT);
    TypeText(edit, "D");
    PressKey(edit, VK_INSERT);
    TypeText(edit, "-");
    EXPECT_EQ("alpha beta\r\ngamma\r\nD-elta epsilon", WindowText(edit));

    // The clipboard keys, each of its two keys.
    PressKey(edit, VK_HOME, KEY_SHIFT);
    PressKey(edit, 'C', KEY_CONTROL);
    EXPECT_EQ("D-", ClipboardText());
    SetClipboardText("x");
    PressKey(edit, VK_INSERT, KEY_CONTROL);
    EXPECT_EQ("D-", ClipboardText());
    PressKey(edit, 'X', KEY_CONTROL);
    EXPECT_EQ("alpha beta\r\ngamma\r\nelta epsilon", WindowText(edit));
    PressKey(edit, 'V', KEY_CONTROL);
    PressKey(edit, VK_INSERT, KEY_SHIFT);
    EXPECT_EQ("alpha beta\r\ngamma\r\nD-D-elta epsilon", WindowText(edit));
    PressKey(edit, VK_LEFT, KEY_SHIFT);
    PressKey(edit, VK_DELETE, KEY_SHIFT);
    EXPECT_EQ("-", ClipboardText());
    EXPECT_EQ("alpha beta\r\ngamma\r\nD-Delta epsilon", WindowText(edit));
    PressKey(edit, 'A', KEY_CONTROL);
    EXPECT_EQ("15,2 from 0,0", Where(e));

    // Cut without a selection changes nothing, the clipboard included.
    PressKey(edit, VK_END, KEY_CONTROL);
    SetClipboardText("kept");
    PressKey(edit, 'X', KEY_CONTROL);
    PressKey(edit, VK_DELETE, KEY_SHIFT);
    EXPECT_EQ("kept", ClipboardText());
    EXPECT_EQ("alpha beta\r\ngamma\r\nD-Delta epsilon", WindowText(edit));

    // Pasted TAB and LF-only text: "%tab" in place, no new line.
    SetClipboardText("\tone\ntwo");
    PressKey(edit, 'V', KEY_CONTROL);
    EXPECT_EQ("alpha beta\r\ngamma\r\nD-Delta epsilon%tabone\ntwo", WindowText(edit));
    EXPECT_EQ(3, e.GetModel().GetLineCount());

    // Ctrl+Up and Ctrl+Down scroll the view, not the caret.
    ::SetWindowTextA(edit, Repeated("line\r\n", 100).c_str());
    PressKey(edit, VK_HOME, KEY_CONTROL);
    PressKey(edit, VK_DOWN, KEY_CONTROL);
    PressKey(edit, VK_DOWN, KEY_CONTROL);
    EXPECT_EQ(2, e.GetModel().GetFirstVisible());
    PressKey(edit, VK_UP, KEY_CONTROL);
    EXPECT_EQ(1, e.GetModel().GetFirstVisible());
    EXPECT_EQ("0,0 from 0,0", Where(e));
}

TEST(ScriptEdit, MouseAndWheel)
{
    CEditorHost host(true, false);
    HWND edit = host.edit.m_hWnd;
    ::SetWindowTextA(edit, Repeated("0123456789\r\n", 60).c_str());
    PressKey(edit, VK_HOME, KEY_CONTROL);
    Pump();
    // A click well into the second row, a drag to the third.
    int row = 2 + 13 + 6;
    ::PostMessage(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, row));
    ::PostMessage(edit, WM_LBUTTONUP, 0, MAKELPARAM(200, row));
    Pump();
    EXPECT_EQ(1, Caret(host.edit).line);
    EXPECT_EQ(10, Caret(host.edit).col);
    ::PostMessage(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, row));
    ::PostMessage(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, row + 13));
    ::PostMessage(edit, WM_LBUTTONUP, 0, MAKELPARAM(1, row + 13));
    Pump();
    EXPECT_EQ("0,2 from 0,1", Where(host.edit));

    ::SendMessageA(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA * 2)), 0);
    EXPECT_EQ(6, host.edit.GetModel().GetFirstVisible());
    ::SendMessageA(edit, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(host.edit.GetModel().GetFirstVisible(), 6);
    ::SendMessageA(edit, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(0, host.edit.GetModel().GetFirstVisible());
}

TEST(ScriptEdit, LongScriptsKeepBitmapsOnlyForLinesInView)
{
    CEditorHost host(false, false);
    HWND edit = host.edit.m_hWnd;
    ::SetWindowTextA(edit, Repeated("<tr><td>%movie_name</td><td>%movie_year</td></tr>\r\n", 20000).c_str());
    ::UpdateWindow(edit);
    DWORD gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    PressKey(edit, VK_HOME, KEY_CONTROL);
    for (int i = 0; i < 200; i++) {
        PressKey(edit, VK_NEXT);
        ::UpdateWindow(edit);
    }
    EXPECT_GT(Caret(host.edit).line, 2000);
    EXPECT_LE(LinesWithBitmaps(host.edit), 30);
    PressKey(edit, VK_END, KEY_CONTROL);
    ::UpdateWindow(edit);
    EXPECT_EQ(20000, Caret(host.edit).line);
    EXPECT_GT(host.edit.GetModel().GetFirstVisible(), 19950);
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), gdi + 50);

    // One line of 100,000 characters: its end is reached and painted.
    ::SetWindowTextA(edit, (std::string(100000, 'x') + "%movie_name").c_str());
    PressKey(edit, VK_END);
    ::UpdateWindow(edit);
    EXPECT_EQ(100011, Caret(host.edit).col);
    EXPECT_GT(LastRedColumn(edit), 0);
    EXPECT_EQ(1, LinesWithBitmaps(host.edit));
}

#endif
