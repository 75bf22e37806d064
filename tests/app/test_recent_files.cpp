// The recent-files list: its profile entries and the File menu it builds
// (the real menu, read from the built program's resources).
#ifdef _WIN32

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <memory>
#include <string>

#include "ProgramRun.h"
#include "app/RecentFiles.h"
#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {

class RecentFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char unique[96];
        std::snprintf(unique, sizeof(unique), "VistrelRecentTest-%lu-%lu", GetCurrentProcessId(),
                      GetTickCount());
        m_company = unique;
        m_app.reset(new CWinApp("Vistrel"));
        m_app->SetRegistryKey(m_company.c_str());
    }
    void TearDown() override
    {
        m_app.reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, ("Software\\" + m_company).c_str());
    }

    void SetEntries(std::initializer_list<const char*> paths)
    {
        int number = 1;
        for (const char* path : paths)
            m_app->WriteProfileString("open", CRecentFileList::EntryName(number++).c_str(), path);
    }
    std::string Entry(int number)
    {
        return m_app->GetProfileString("open", CRecentFileList::EntryName(number).c_str(), "<none>");
    }

    std::string m_company;
    std::unique_ptr<CWinApp> m_app;
};

TEST_F(RecentFilesTest, EntryNamesAndTheClampedCount)
{
    EXPECT_EQ("recent1", CRecentFileList::EntryName(1));
    EXPECT_EQ("recent9", CRecentFileList::EntryName(9));
    EXPECT_EQ("recent:", CRecentFileList::EntryName(10));

    CRecentFileList list(m_app.get());
    EXPECT_EQ(4, list.GetSize());
    m_app->WriteProfileInt("open", "recent", 15);
    EXPECT_EQ(10, list.GetSize());
    m_app->WriteProfileInt("open", "recent", -3);
    EXPECT_EQ(0, list.GetSize());
}

TEST_F(RecentFilesTest, AddingPutsTheFileFirstAndListsItOnce)
{
    CRecentFileList list(m_app.get());
    SetEntries({ "C:\\a.vdb", "C:\\B.VDB", "c:\\b.vdb", "C:\\c.vdb" });
    // Equal ignoring case, and all of its entries go, side by side or not.
    list.Add("C:\\b.vdb");
    EXPECT_EQ("C:\\b.vdb", Entry(1));
    EXPECT_EQ("C:\\a.vdb", Entry(2));
    EXPECT_EQ("C:\\c.vdb", Entry(3));
    EXPECT_EQ("", Entry(4));

    // A file of the same name elsewhere is another file.
    SetEntries({ "C:\\old\\movies.vdb", "", "", "" });
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, folder);
    char previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder));
    list.Add("movies.vdb");
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(std::string(folder) + "movies.vdb", Entry(1));
    EXPECT_EQ("C:\\old\\movies.vdb", Entry(2));
}

TEST_F(RecentFilesTest, TheTenthEntryIsRecentColonAndAnEleventhFileFallsOff)
{
    CRecentFileList list(m_app.get());
    m_app->WriteProfileInt("open", "recent", 15);
    for (int i = 1; i <= 11; ++i)
        list.Add(("C:\\file" + std::to_string(i) + ".vdb").c_str());
    EXPECT_EQ("C:\\file11.vdb", Entry(1));
    EXPECT_EQ("C:\\file2.vdb", Entry(10));
    EXPECT_EQ("C:\\file2.vdb", m_app->GetProfileString("open", "recent:", ""));
    EXPECT_EQ("<none>", Entry(11));
}

TEST_F(RecentFilesTest, RemovingTakesOutEveryEntryOfTheFile)
{
    CRecentFileList list(m_app.get());
    SetEntries({ "C:\\a.vdb", "C:\\B.vdb", "C:\\b.vdb", "C:\\xb.vdb" });
    list.Remove("c:\\b.VDB");
    EXPECT_EQ("C:\\a.vdb", Entry(1));
    EXPECT_EQ("C:\\xb.vdb", Entry(2));
    EXPECT_EQ("", Entry(3));
    EXPECT_EQ("", Entry(4));
}

// The File menu of the program's resources.
class RecentMenuTest : public RecentFilesTest {
protected:
    void SetUp() override
    {
        RecentFilesTest::SetUp();
        m_module = LoadLibraryExA(WindowsPath(VISTREL_EXE).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr);
        m_menu = LoadMenuA(m_module, MAKEINTRESOURCEA(IDR_MAINFRAME));
        ASSERT_NE(m_menu, nullptr);
        m_file = GetSubMenu(m_menu, 0);
    }
    void TearDown() override
    {
        if (m_menu != NULL)
            DestroyMenu(m_menu);
        if (m_module != NULL)
            FreeLibrary(m_module);
        RecentFilesTest::TearDown();
    }

    int Count() { return GetMenuItemCount(m_file); }
    UINT IdAt(int position) { return GetMenuItemID(m_file, position); }
    bool SeparatorAt(int position)
    {
        return (GetMenuState(m_file, UINT(position), MF_BYPOSITION) & MF_SEPARATOR) != 0;
    }
    int RecentItems()
    {
        int n = 0;
        for (int i = 0; i < Count(); ++i) {
            UINT id = IdAt(i);
            if (id >= UINT(ID_FILE_RECENT1) && id <= UINT(ID_FILE_RECENT10))
                ++n;
        }
        return n;
    }
    std::string TextOf(UINT id)
    {
        char text[512] = {};
        GetMenuStringA(m_file, id, text, sizeof(text), MF_BYCOMMAND);
        return text;
    }

    HMODULE m_module = NULL;
    HMENU m_menu = NULL;
    HMENU m_file = NULL;
};

TEST_F(RecentMenuTest, NoEntriesShownLeavesNoSeparatorBeforeExit)
{
    SetEntries({ "C:\\a.vdb", "C:\\b.vdb" });
    m_app->WriteProfileInt("open", "recent", 0);
    CRecentFileList list(m_app.get());
    for (int pass = 0; pass < 2; ++pass) {
        list.UpdateMenu(m_file);
        EXPECT_EQ(0, RecentItems());
        EXPECT_EQ(UINT(ID_APP_EXIT), IdAt(Count() - 1));
        EXPECT_FALSE(SeparatorAt(Count() - 2));
        EXPECT_EQ(UINT(ID_FILE_PRINT_SETUP), IdAt(Count() - 2));
    }
}

TEST_F(RecentMenuTest, ShowsAtMostTenEntriesBetweenSeparatorsAboveExit)
{
    m_app->WriteProfileInt("open", "recent", 15);
    for (int i = 1; i <= 11; ++i) {
        std::string path = "C:\\movies & more\\file" + std::to_string(i) + ".vdb";
        m_app->WriteProfileString("open", CRecentFileList::EntryName(i).c_str(), path.c_str());
    }
    CRecentFileList list(m_app.get());
    list.UpdateMenu(m_file);
    list.UpdateMenu(m_file);  // rebuilding changes nothing
    ASSERT_EQ(10, RecentItems());
    int exit = Count() - 1;
    EXPECT_EQ(UINT(ID_APP_EXIT), IdAt(exit));
    EXPECT_TRUE(SeparatorAt(exit - 1));
    EXPECT_TRUE(SeparatorAt(exit - 12));
    EXPECT_EQ(12, exit - 11);  // the first entry stands at position 12
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(UINT(ID_FILE_RECENT1 + i), IdAt(12 + i));
    EXPECT_EQ("&1 C:\\movies && more\\file1.vdb", TextOf(ID_FILE_RECENT1));
    EXPECT_EQ("&10 C:\\movies && more\\file10.vdb", TextOf(ID_FILE_RECENT10));

    // Fewer entries later: the extra items go, the separators stay around the rest.
    m_app->WriteProfileInt("open", "recent", 2);
    list.UpdateMenu(m_file);
    EXPECT_EQ(2, RecentItems());
    EXPECT_TRUE(SeparatorAt(Count() - 2));
    EXPECT_TRUE(SeparatorAt(11));
}

} // namespace

#endif
