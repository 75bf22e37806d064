// The main program as a whole, started under Wine from a copy in a folder
// of its own with a profile of its own: one copy at a time, which database
// opens at start-up, crash recovery, the recent-files list and the view and
// sort settings it writes back at the end.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <shlwapi.h>

#include "ProgramRun.h"
#include "resources/resource.h"

namespace {

const char kUnsavedQuestion[] = "You have not saved the current database.";
const char kCrashQuestion[] = "It seams you had a crash last time.";

// Closes the program through its close box and waits for its end.
void CloseNormally(CProgramRun& run)
{
    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitExit());
}

std::string Full(const std::string& path)
{
    char full[MAX_PATH + 1] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, NULL);
    return full;
}

TEST(ProgramStart, SecondStartBringsTheFirstForwardAndEndsWithoutAWindow)
{
    CProgramRun first("single");
    HWND main = first.StartToMainWindow();
    ASSERT_NE(main, nullptr);

    for (bool minimised : { false, true }) {
        if (minimised) {
            ShowWindow(main, SW_MINIMIZE);
            ASSERT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }));
        }
        CProgramRun second("single-second");
        ASSERT_TRUE(second.Start());
        bool sawWindow = false;
        ASSERT_TRUE(WaitFor([&] {
            sawWindow = sawWindow || second.HasVisibleWindow();
            return !second.IsRunning();
        }));
        EXPECT_FALSE(sawWindow) << "minimised: " << minimised;
        EXPECT_TRUE(first.IsRunning());
        EXPECT_TRUE(WaitFor([&] { return IsIconic(main) == FALSE; }))
            << "minimised: " << minimised;
    }
    CloseNormally(first);
}

TEST(ProgramStart, RegistersBothFileTypesWithTheirTerminatingZero)
{
    CProgramRun run("filetypes");
    ASSERT_NE(run.StartToMainWindow(), nullptr);

    struct Expected {
        const char* key;
        std::string value;
    };
    char program[MAX_PATH + 1] = {};
    GetLongPathNameA(run.PathOf("vistrel.exe").c_str(), program, MAX_PATH);
    const Expected expected[] = {
        { ".vdb", "Vistrel Database file" },
        { ".vsc", "Vistrel Export Script file" },
        { "Vistrel Database file", "Vistrel Database file" },
        { "Vistrel Database file\\DefaultIcon", std::string(program) + ",1" },
        { "Vistrel Database file\\Shell", "Open" },
        { "Vistrel Database file\\Shell\\Open\\command",
          std::string("\"") + program + "\" \"%1\"" },
        { "Vistrel Export Script file\\DefaultIcon", std::string(program) + ",4" },
        { "Vistrel Export Script file\\Shell\\Open\\command", "\"notepad.exe\" \"%1\"" },
    };
    for (const Expected& e : expected) {
        HKEY key = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, e.key, 0, KEY_READ, &key)) << e.key;
        char data[1024] = {};
        DWORD type = 0, size = sizeof(data);
        LONG rc = RegQueryValueExA(key, NULL, NULL, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, rc) << e.key;
        EXPECT_EQ(DWORD(REG_SZ), type) << e.key;
        EXPECT_EQ(e.value.size() + 1, size) << e.key;
        EXPECT_EQ('\0', data[e.value.size()]) << e.key;
        EXPECT_EQ(0, lstrcmpiA(e.value.c_str(), data)) << e.key << ": " << data;
    }
    CloseNormally(run);
}

// "open"/"autoload_last": only exactly 1 opens the last database.
class AutoloadLast : public ::testing::TestWithParam<int> {};

TEST_P(AutoloadLast, OpensTheLastDatabaseOnlyWhenSetToOne)
{
    CProgramRun run("autoload");
    std::string last = run.PathOf("last.vdb");
    ASSERT_TRUE(WriteCatalogue(last, 2));
    run.SetString("open", "last", last);
    run.SetInt("open", "autoload_last", DWORD(GetParam()));
    ASSERT_NE(run.StartToMainWindow(), nullptr);
    CloseNormally(run);

    if (GetParam() == 1) {
        EXPECT_EQ(Full(last), run.String("open", "recent1"));
        EXPECT_EQ(last, run.String("open", "last"));
    } else {
        EXPECT_EQ("<none>", run.String("open", "recent1"));
        EXPECT_EQ("<none>", run.String("open", "last"));  // no database at the end
    }
}

INSTANTIATE_TEST_SUITE_P(Values, AutoloadLast, ::testing::Values(0, 1, 7));

TEST(ProgramStart, CommandLineDatabaseWinsOverTheLastOne)
{
    CProgramRun run("cmdline");
    std::string last = run.PathOf("last.vdb"), named = run.PathOf("named.vdb");
    ASSERT_TRUE(WriteCatalogue(last, 2));
    ASSERT_TRUE(WriteCatalogue(named, 3));
    run.SetString("open", "last", last);
    run.SetInt("open", "autoload_last", 1);
    // Named relative to the program's current folder, which is its own.
    ASSERT_NE(run.StartToMainWindow("named.vdb"), nullptr);
    // The crash copy is the opened database.
    EXPECT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 3; }))
        << run.Describe();
    CloseNormally(run);

    EXPECT_EQ(Full(named), run.String("open", "recent1"));
    EXPECT_EQ("", run.String("open", "recent2"));
    EXPECT_EQ(Full(named), run.String("open", "last"));  // absolute, to be found again
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak")));  // a normal end removes it
}

// ---------------------------------------------------------------------------
// Crash recovery

TEST(CrashRecovery, AcceptedCopyIsRestoredWithoutAFileNameAndCountsAsUnsaved)
{
    CProgramRun run("crash-ok");
    std::string named = run.PathOf("named.vdb");
    ASSERT_TRUE(WriteCatalogue(run.PathOf("saved.bak"), 3));
    ASSERT_TRUE(WriteCatalogue(named, 5));
    ASSERT_TRUE(run.Start("\"" + named + "\""));
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND question = run.WaitDialog(kCrashQuestion);
    ASSERT_NE(question, nullptr);
    CProgramRun::Press(question, IDOK);
    ASSERT_NE(run.MainWindow(), nullptr);

    // Save has no file name to use: it asks for one.
    run.PostCommand(ID_FILE_SAVE);
    HWND saveAs = run.WaitDialog("Save As");
    ASSERT_NE(saveAs, nullptr);
    std::string target = run.PathOf("rescued.vdb");
    ASSERT_TRUE(CProgramRun::ChooseFile(saveAs, target));
    ASSERT_TRUE(WaitFor([&] { return CatalogueMovieCount(target) == 3; })) << run.Describe();

    // Saved now: the close box ends the program without a question.
    CloseNormally(run);
    EXPECT_EQ(Full(target), run.String("open", "recent1"));
    EXPECT_EQ("", run.String("open", "recent2"));  // the named file was never opened
    EXPECT_EQ(target, run.String("open", "last"));
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak")));
}

TEST(CrashRecovery, ExitAfterRecoveryAsksFirstAndKeepsTheCopyUntilConfirmed)
{
    CProgramRun run("crash-exit");
    ASSERT_TRUE(WriteCatalogue(run.PathOf("saved.bak"), 3));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND question = run.WaitDialog(kCrashQuestion);
    ASSERT_NE(question, nullptr);
    CProgramRun::Press(question, IDOK);
    ASSERT_NE(run.MainWindow(), nullptr);

    run.PostCommand(ID_APP_EXIT);
    HWND unsaved = run.WaitDialog(kUnsavedQuestion);
    ASSERT_NE(unsaved, nullptr);
    CProgramRun::Press(unsaved, IDCANCEL);
    EXPECT_FALSE(run.WaitExit(500));
    EXPECT_EQ(3, CatalogueMovieCount(run.PathOf("saved.bak")));

    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    unsaved = run.WaitDialog(kUnsavedQuestion);
    ASSERT_NE(unsaved, nullptr);
    CProgramRun::Press(unsaved, IDOK);
    ASSERT_TRUE(run.WaitExit());
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak")));
    // The crash copy is no database of the user's: it is not the last one.
    EXPECT_EQ("<none>", run.String("open", "last"));
}

TEST(CrashRecovery, DeclinedCopyStaysUntilTheNextOpen)
{
    CProgramRun run("crash-cancel");
    std::string named = run.PathOf("named.vdb");
    ASSERT_TRUE(WriteCatalogue(run.PathOf("saved.bak"), 3));
    ASSERT_TRUE(WriteCatalogue(named, 5));
    run.SetInt("open", "autoload_last", 0);
    run.SetString("open", "recent1", named);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND question = run.WaitDialog(kCrashQuestion);
    ASSERT_NE(question, nullptr);
    CProgramRun::Press(question, IDCANCEL);
    ASSERT_NE(run.MainWindow(), nullptr);
    EXPECT_EQ(3, CatalogueMovieCount(run.PathOf("saved.bak")));

    // Opening a database (here through the recent list) overwrites it.
    run.PostCommand(ID_FILE_RECENT1);
    EXPECT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 5; }))
        << run.Describe();
    CloseNormally(run);
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak")));
}

TEST(CrashRecovery, UnreadableCopyLetsTheNamedDatabaseOpen)
{
    CProgramRun run("crash-broken");
    std::string named = run.PathOf("named.vdb");
    ASSERT_TRUE(WriteCatalogue(named, 5));
    FILE* junk = fopen(run.PathOf("saved.bak").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    fputs("not a database", junk);
    fclose(junk);

    ASSERT_TRUE(run.Start("\"" + named + "\""));
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND question = run.WaitDialog(kCrashQuestion);
    ASSERT_NE(question, nullptr);
    CProgramRun::Press(question, IDOK);
    HWND error = run.WaitDialog("not a Vistrel file");
    ASSERT_NE(error, nullptr);
    CProgramRun::Press(error, IDOK);
    ASSERT_NE(run.MainWindow(), nullptr);

    // Nothing was restored, so the named database opens and nothing is unsaved.
    EXPECT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 5; }))
        << run.Describe();
    CloseNormally(run);
    EXPECT_EQ(Full(named), run.String("open", "recent1"));
}

// ---------------------------------------------------------------------------
// Recent files and settings through the program

TEST(RecentFiles, ReopeningMovesToTheTopAndAFailedOpenDropsTheEntry)
{
    CProgramRun run("recent");
    std::string first = run.PathOf("first.vdb");
    std::string second = run.PathOf("Tom & Jerry.vdb");  // '&' and a blank in the name
    std::string missing = run.PathOf("missing.vdb");
    ASSERT_TRUE(WriteCatalogue(first, 1));
    ASSERT_TRUE(WriteCatalogue(second, 2));
    run.SetInt("open", "autoload_last", 0);
    run.SetInt("open", "recent", 4);
    run.SetString("open", "recent1", first);
    run.SetString("open", "recent2", second);
    run.SetString("open", "recent3", missing);
    ASSERT_NE(run.StartToMainWindow(), nullptr);

    run.PostCommand(ID_FILE_RECENT1 + 1);
    // The entries are written one after another: wait for the whole list.
    EXPECT_TRUE(WaitFor([&] {
        return run.String("open", "recent1") == Full(second) && run.String("open", "recent2") == first;
    }));
    EXPECT_EQ(missing, run.String("open", "recent3"));
    EXPECT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 2; }))
        << run.Describe();

    run.PostCommand(ID_FILE_RECENT1 + 2);
    for (const char* text : { "Error opening file", "Unable to load database from file" }) {
        HWND error = run.WaitDialog(text);
        ASSERT_NE(error, nullptr) << text;
        CProgramRun::Press(error, IDOK);
    }
    EXPECT_TRUE(WaitFor([&] {
        return run.String("open", "recent3").empty() && run.String("open", "recent1") == Full(second);
    }));
    EXPECT_EQ(first, run.String("open", "recent2"));
    CloseNormally(run);
}

TEST(ViewSettings, StoredSortOutOfRangeComesBackAsTitleAndDescending)
{
    CProgramRun run("sort-range");
    run.SetInt("menu", "loadstyle", 1);
    run.SetInt("menu", "loadsort", 99);
    run.SetInt("menu", "loadsortasc", 7);
    ASSERT_NE(run.StartToMainWindow(), nullptr);
    CloseNormally(run);
    DWORD style = 0, sort = 0, ascending = 1;
    EXPECT_TRUE(run.GetInt("menu", "loadstyle", &style));
    EXPECT_TRUE(run.GetInt("menu", "loadsort", &sort));
    EXPECT_TRUE(run.GetInt("menu", "loadsortasc", &ascending));
    EXPECT_EQ(1u, style);
    EXPECT_EQ(55u, sort);
    EXPECT_EQ(0u, ascending);
}

TEST(ViewSettings, SortCommandsWorkOnlyInThePaintedList)
{
    for (DWORD style : { 0u, 1u }) {
        CProgramRun run("sort-view");
        run.SetInt("menu", "loadstyle", style);
        ASSERT_NE(run.StartToMainWindow(), nullptr);
        run.SendCommand(ID_SORT_ID);
        run.SendCommand(ID_SORT_DESCENDING);
        CloseNormally(run);
        DWORD sort = 0, ascending = 0;
        EXPECT_TRUE(run.GetInt("menu", "loadsort", &sort));
        EXPECT_TRUE(run.GetInt("menu", "loadsortasc", &ascending));
        EXPECT_EQ(style == 1 ? 44u : 55u, sort) << "style " << style;
        EXPECT_EQ(style == 1 ? 0u : 1u, ascending) << "style " << style;
    }
}

} // namespace

#endif
