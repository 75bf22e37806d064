// The running program's Add CD-ROM/DVD command on the test drives: the
// dialog comes back when asked to, and the views show the disc's movies.
#include <gtest/gtest.h>

#include <windows.h>

#include "../app/ProgramRun.h"
#include "resources/resource.h"

TEST(AddCdromCommand, ShowAgainBringsTheDialogBackAndTheDiscIsAdded)
{
    CProgramRun run("add-cdrom");
    CreateDirectoryA(run.PathOf("plugins").c_str(), NULL);
    CopyFileA((WindowsPath(std::string(VISTREL_SCAN_PLUGIN_DIR)) + "\\scan_test_plugin.dll").c_str(),
              run.PathOf("plugins\\scan_test_plugin.dll").c_str(), FALSE);
    std::string catalogue = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(catalogue, 0));
    run.SetInt("movie_name", "always", 0);
    run.SetInt("movie_name", "severe", 0);
    ASSERT_TRUE(run.Start("\"" + catalogue + "\""));
    ASSERT_NE(run.MainWindow(), nullptr);

    run.PostCommand(ID_ADD_CDROM);
    HWND dialog = run.WaitDialog("Add CD-ROM/DVD");
    ASSERT_NE(dialog, nullptr);
    // The CD-ROM m: with its disc, and the box asking for the next disc.
    SendDlgItemMessageA(dialog, IDC_ADDCD_DRIVES, LB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ADDCD_DRIVES, LBN_SELCHANGE), 0);
    CheckDlgButton(dialog, IDC_ADDCD_REDISPLAY, BST_CHECKED);
    CProgramRun::Press(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    HWND again = run.WaitDialog("Add CD-ROM/DVD");
    ASSERT_NE(again, nullptr);
    CProgramRun::Press(again, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(again); }));

    run.SendCommand(ID_FILE_SAVE);
    EXPECT_GT(CatalogueMovieCount(catalogue), 1);
    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit());
}

// Manage Persons, Search, Compare, Configure and About open their dialogs
// over the running program.
TEST(FrameCommands, OpenTheirDialogs)
{
    CProgramRun run("persons-search");
    std::string catalogue = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(catalogue, 20));
    ASSERT_NE(run.StartToMainWindow("\"" + catalogue + "\""), nullptr);
    const struct {
        UINT command;
        const char* caption;
        int button;
    } commands[] = { { ID_MANAGE_PERSONS, "Manage persons", IDOK },
                     { ID_SEARCH, "Search movie or file", IDCANCEL },
                     { ID_COMPARE_DATABASES, "Compare databases", IDCANCEL },
                     { ID_CONFIGURE, "Configure", IDCANCEL },
                     { ID_APP_ABOUT, "About vistrel", IDOK } };
    for (const auto& c : commands) {
        run.PostCommand(c.command);
        HWND dialog = run.WaitDialog(c.caption);
        ASSERT_NE(dialog, nullptr);
        CProgramRun::Press(dialog, c.button);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }
    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit());
}
