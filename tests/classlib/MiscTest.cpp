// The command line, the file dialog's result, message boxes in tests and
// window classes.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"

TEST(CommandLine, FirstFileArgumentIsTakenAndFlagsAreSkipped)
{
    CCommandLineInfo info;
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    info.ParseParam("nologo", TRUE, FALSE);
    EXPECT_TRUE(info.m_strFileName.empty());
    info.ParseParam("C:\\movies\\my.vdb", FALSE, FALSE);
    info.ParseParam("C:\\other.vdb", FALSE, TRUE);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "C:\\movies\\my.vdb");

    // The test program has no file argument.
    CCommandLineInfo none;
    theTestApp.ParseCommandLine(none);
    EXPECT_EQ(none.m_nShellCommand, CCommandLineInfo::FileNew);
}

TEST(FileDialog, ChosenPathsAreReadFromTheBuffer)
{
    char buffer[64];
    CFileDialog multi(TRUE, "avi", nullptr, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST);
    multi.m_ofn.lpstrFile = buffer;
    multi.m_ofn.nMaxFile = sizeof(buffer);

    std::memcpy(buffer, "C:\\films\0a.avi\0b.mpg\0\0", 23);
    std::vector<std::string> paths = multi.GetPathNames();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], "C:\\films\\a.avi");
    EXPECT_EQ(paths[1], "C:\\films\\b.mpg");

    std::memcpy(buffer, "C:\\films\\one.avi\0\0", 18);
    paths = multi.GetPathNames();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(multi.GetFileName(), "one.avi");
    EXPECT_EQ(multi.GetFileExt(), "avi");
    EXPECT_EQ(multi.GetFileTitle(), "one");

    // A buffer without its closing zeros yields no unterminated name.
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_TRUE(multi.GetPathNames().empty());
    std::memcpy(buffer, "C:\\d\0name", 9);   // the name runs to the end
    EXPECT_TRUE(multi.GetPathNames().empty());
    EXPECT_EQ(multi.GetPathName(), "");
}

TEST(MessageBoxes, AreRecordedInsteadOfShownDuringTests)
{
    EXPECT_EQ(AfxMessageBox("Unable to load database"), IDOK);
    EXPECT_EQ(AfxLastMessageBoxText(), "Unable to load database");
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "box owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr));
    AfxSetMessageBoxRecording(true, IDCANCEL);
    EXPECT_EQ(wnd.MessageBox("Really?", "Question", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(AfxLastMessageBoxText(), "Really?");
    AfxSetMessageBoxRecording(true, IDOK);
    wnd.DestroyWindow();
}

TEST(WindowClasses, SameAttributesGiveTheSameRegisteredClass)
{
    LPCSTR a = AfxRegisterWndClass(0);
    LPCSTR b = AfxRegisterWndClass(0);
    LPCSTR c = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(a, b);
    EXPECT_STRNE(a, c);
    WNDCLASS wc = {};
    EXPECT_TRUE(::GetClassInfo(AfxGetInstanceHandle(), c, &wc));
    EXPECT_EQ(wc.style, (UINT)CS_DBLCLKS);
}
