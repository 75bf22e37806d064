// The running program's Import and Configure plugins commands.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "resources/resource.h"

TEST(ImportCommand, ImportsAFixtureIntoTheOpenCatalogue)
{
    CProgramRun run("import-command");
    std::string catalogue = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(catalogue, 2));
    run.SetString("import", "textdiv", ";");
    run.SetString("import", "stringdiv", "\"");
    run.SetString("import_text", "field1", "[skip]");
    run.SetString("import_text", "field2", "Title");
    run.SetString("import_text", "field3", "Movie genre");
    ASSERT_NE(run.StartToMainWindow("\"" + catalogue + "\""), nullptr);

    run.PostCommand(ID_FILE_IMPORT);
    HWND import = run.WaitDialog("Import");
    ASSERT_NE(import, nullptr);
    std::string fixture = WindowsPath(std::string(VISTREL_TEST_DATA) + "/import/semicolon.txt");
    SetDlgItemTextA(import, IDC_IMPORT_FILE, fixture.c_str());
    CProgramRun::Press(import, IDC_IMPORT_RUN);
    HWND fields = run.WaitDialog("Import text");
    ASSERT_NE(fields, nullptr);
    CProgramRun::Press(fields, IDOK);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(import, IDC_IMPORT_ADD_ALL)) != FALSE; }));
    CProgramRun::Press(import, IDC_IMPORT_ADD_ALL);
    CProgramRun::Press(import, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(import); }));

    // The plug-in dialog opens from its command too.
    run.PostCommand(ID_CONFIGURE_PLUGINS);
    HWND plugins = run.WaitDialog("Configure plugins");
    ASSERT_NE(plugins, nullptr);
    CProgramRun::Press(plugins, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(plugins); }));

    run.SendCommand(ID_FILE_SAVE);
    EXPECT_EQ(CatalogueMovieCount(catalogue), 5);
    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.WaitExit());
}

#endif
