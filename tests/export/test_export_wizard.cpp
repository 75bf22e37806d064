// The export wizard under Wine: its steps both ways, when Next is enabled,
// the summary, settings stored only by Finish and read back, the run with
// its files, a click queued during the run, and the real program's command.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ProgramRun.h"
#include "WinTestSupport.h"
#include "TestFiles.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/SmallBlockHeap.h"
#include "core/StrUtil.h"
#include "export/ExportDlg.h"
#include "export/ExportPaths.h"
#include "resources/resource.h"

namespace {

std::string ItemText(HWND window, int id)
{
    char text[2048] = {};
    ::GetDlgItemTextA(window, id, text, sizeof(text));
    return text;
}

void AddMovie(DWORD id, const char* title, bool cover = false)
{
    CMovie movie(id);
    StrSet(&movie.m_title, title);
    if (cover) {
        movie.m_imdbInfo.reset(new CImdbInfo);
        movie.m_imdbInfo->m_cover = {'J', 'P', 'G'};
        StrSet(&movie.m_imdbInfo->m_coverType, "jpg");
    }
    theCollection.AddMovie(&movie, true);
}

void SelectTab(CExportBigScriptPage& page, int tab)
{
    page.m_tabs.SetCurSel(tab);
    NMHDR notice = {page.m_tabs.m_hWnd, IDC_EXPORT_SCRIPT_TABS, UINT(TCN_SELCHANGE)};
    ::SendMessage(page.m_hWnd, WM_NOTIFY, IDC_EXPORT_SCRIPT_TABS, LPARAM(&notice));
}

bool HasContextHelp(HWND wizard)
{
    return (::GetWindowLongPtr(wizard, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
}

class ExportWizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theCollection.Clear();
        SetRecordedAnswer(IDOK);
        // No working copies from an earlier test.
        remove(WorkingCopyPath(kCurrentSmallScript).c_str());
        remove(WorkingCopyPath(kCurrentBigScript).c_str());
    }
    void TearDown() override
    {
        theCollection.Clear();
        SetRecordedAnswer(IDOK);
    }

    HWND Wizard() { return dlg->m_hWnd; }
    bool NextEnabled() { return ::IsWindowEnabled(::GetDlgItem(Wizard(), IDC_EXPORT_NEXT)) != FALSE; }
    std::string Title() { return ItemText(Wizard(), IDC_EXPORT_TITLE); }
    // Whether Next is enabled once the page's control holds the text.
    bool NextWith(HWND page, int id, const std::string& text)
    {
        ::SetDlgItemTextA(page, id, text.c_str());
        return NextEnabled();
    }
    std::function<bool()> Next()
    {
        return [this] { Click(Wizard(), IDC_EXPORT_NEXT); return true; };
    }
    std::function<bool()> Back()
    {
        return [this] { Click(Wizard(), IDC_EXPORT_BACK); return true; };
    }
    std::function<bool()> CoverFolder(const std::string& folder)
    {
        return [this, folder] {
            ::SetDlgItemTextA(dlg->m_coversPage.m_hWnd, IDC_EXPORT_COVER_FOLDER, folder.c_str());
            return true;
        };
    }

    CExportDlg* dlg = nullptr;
};

} // namespace

TEST(ExportWizardHelp, TopicsFollowTheStep)
{
    EXPECT_EQ("dialog/export_2_1.html", CExportDlg::HelpTopic(1, 0));
    EXPECT_EQ("dialog/export_2_2_1.html", CExportDlg::HelpTopic(2, 1));
    EXPECT_EQ("dialog/export_2_3_2.html", CExportDlg::HelpTopic(3, 2));
    EXPECT_EQ("dialog/export_2_5.html", CExportDlg::HelpTopic(5, 0));
}

TEST_F(ExportWizardTest, StepsBothWaysAndWhenNextIsEnabled)
{
    ScopedProfile profile("WizardSteps");
    AddMovie(1, "Brazil");
    AddMovie(2, "Alien");
    AddMovie(3, "Casino");
    CExportDlg wizard;
    dlg = &wizard;
    std::string summary;
    std::string folder = TestTempPath("wizard-steps");
    CTimedSteps steps({
        [&] {
            EXPECT_EQ("What would you like to do?", Title());
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Wizard(), IDC_EXPORT_BACK)));
            EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(wizard.m_choosePage.m_hWnd, IDC_EXPORT_ONE_BIG));
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(wizard.m_choosePage.m_hWnd, IDC_EXPORT_TEMPLATES)));
            EXPECT_TRUE(HasContextHelp(Wizard()));
            // The dialog manager's Enter and Escape never end a page.
            ::SendMessage(wizard.m_choosePage.m_hWnd, WM_COMMAND, IDOK, 0);
            ::SendMessage(wizard.m_choosePage.m_hWnd, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(wizard.m_choosePage.IsWindowVisible());
            return true;
        },
        Next(),
        [&] {
            HWND page = wizard.m_bigFilePage.m_hWnd;
            EXPECT_EQ("Export one big file", Title());
            EXPECT_EQ("0", ItemText(page, IDC_EXPORT_RANGE_FROM));
            EXPECT_EQ("3", ItemText(page, IDC_EXPORT_RANGE_TO));
            EXPECT_FALSE(NextEnabled());
            EXPECT_FALSE(NextWith(page, IDC_EXPORT_FILE, "movies.htm"));
            EXPECT_TRUE(NextWith(page, IDC_EXPORT_FILE, folder + "\\list\\movies.htm"));
            Click(page, IDC_EXPORT_USE_RANGE);
            return true;
        },
        [&] {
            HWND page = wizard.m_bigFilePage.m_hWnd;
            ::SetDlgItemTextA(page, IDC_EXPORT_RANGE_FROM, "2");
            EXPECT_FALSE(NextWith(page, IDC_EXPORT_RANGE_TO, "2"));
            EXPECT_FALSE(NextWith(page, IDC_EXPORT_RANGE_TO, "99999999999"));
            EXPECT_TRUE(NextWith(page, IDC_EXPORT_RANGE_TO, "3"));
            return true;
        },
        Next(),
        [&] {
            EXPECT_EQ("Edit scripts for big list", Title());
            CExportBigScriptPage& page = wizard.m_bigScriptPage;
            ::SetWindowTextA(page.m_edit.m_hWnd, "H");
            SelectTab(page, 1);
            ::SetWindowTextA(page.m_edit.m_hWnd, "%movie_name;");
            SelectTab(page, 2);
            ::SetWindowTextA(page.m_edit.m_hWnd, "F");
            SelectTab(page, 1);
            EXPECT_EQ("%movie_name;", WindowText(page.m_edit.m_hWnd));
            return true;
        },
        Next(),
        [&] {
            HWND page = wizard.m_coversPage.m_hWnd;
            EXPECT_EQ("Export cover images", Title());
            // The covers take the movies' range.
            EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(page, IDC_EXPORT_USE_RANGE));
            EXPECT_EQ("2", ItemText(page, IDC_EXPORT_RANGE_FROM));
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_EXPORT_RANGE_TO)));
            ::SetDlgItemTextA(page, IDC_EXPORT_COVER_FOLDER, (folder + "\\covers").c_str());
            return true;
        },
        Next(),
        [&] {
            EXPECT_EQ("You are about to export the movies", Title());
            EXPECT_EQ("&Finish", ItemText(Wizard(), IDC_EXPORT_NEXT));
            EXPECT_FALSE(HasContextHelp(Wizard()));
            summary = ItemText(wizard.m_summaryPage.m_hWnd, IDC_EXPORT_SUMMARY);
            return true;
        },
        Back(),
        [&] {
            EXPECT_EQ(4, wizard.m_step);
            EXPECT_EQ("&Next >", ItemText(Wizard(), IDC_EXPORT_NEXT));
            EXPECT_TRUE(HasContextHelp(Wizard()));
            return true;
        },
        Back(),
        [&] { return wizard.m_step == 3 && wizard.m_alternative == 2; },
        Back(),
        [&] { return wizard.m_step == 2 && wizard.m_alternative == 1; },
        Back(),
        [&] {
            EXPECT_EQ(1, wizard.m_step);
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Wizard(), IDC_EXPORT_BACK)));
            Click(Wizard(), IDCANCEL);
            return true;
        },
    });
    EXPECT_EQ(IDCANCEL, wizard.DoModal());
    std::string expected =
        "Export movies to one big file.\r\n"
        "\toutput file: " + folder + "\\list\\movies.htm\r\n"
        "\toutput format: PC\r\n"
        "\tsort movies by title ascending\r\n"
        "export only in range of movie Id's\r\n"
        "\tfrom: 2 to: 3\r\n"
        "Export cover images for movies.\r\n"
        "\tcover directory: " + folder + "\\covers\r\n"
        "\tmovies without covers will be able to link to: no_pic.gif\r\n"
        "Total output:\r\n"
        "\tmovies: 2 in 1 file(s)\r\n"
        "\tcovers: 0 in 1 file(s)\r\n"
        "Warnings!:\r\n"
        "\t* The directory choosen to export file(s) to doesn't exist\r\n\t- I will try to create it\r\n\t\t[" +
        folder + "\\list]\r\n"
        "\t* The directory choosen to export cover images to doesn't exist\r\n\t- I will try to create it\r\n\t\t[" +
        folder + "\\covers]\r\n";
    EXPECT_EQ(expected, summary);
    // Cancel stores nothing.
    EXPECT_EQ("<none>", profile.GetString("export", "txt-path-big"));
    EXPECT_EQ(-1, profile.GetInt("export", "one_big_list", -1));
}

TEST_F(ExportWizardTest, TheTemplatesChoiceKeepsTheFirstPage)
{
    ScopedProfile profile("WizardTemplates");
    profile.SetInt("export", "one_big_list", 0);
    profile.SetInt("export", "templates", 1);
    CExportDlg wizard;
    dlg = &wizard;
    CTimedSteps steps({
        [&] {
            HWND page = wizard.m_choosePage.m_hWnd;
            EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(page, IDC_EXPORT_TEMPLATES));
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_EXPORT_TEMPLATES)));
            return true;
        },
        Next(),
        [&] {
            EXPECT_EQ(1, wizard.m_step);
            EXPECT_TRUE(wizard.m_choosePage.IsWindowVisible());
            Click(wizard.m_choosePage.m_hWnd, IDC_EXPORT_PER_MOVIE);
            return true;
        },
        Next(),
        [&] {
            EXPECT_EQ(2, wizard.m_step);
            EXPECT_EQ(2, wizard.m_alternative);
            Click(Wizard(), IDCANCEL);
            return true;
        },
    });
    EXPECT_EQ(IDCANCEL, wizard.DoModal());
}

TEST_F(ExportWizardTest, FinishWritesTheFilesAndStoresEverySetting)
{
    ScopedProfile profile("WizardFinish");
    AddMovie(4, "Brazil", true);
    AddMovie(7, "Alien");
    std::string folder = TestTempPath("wizard-finish");
    CExportDlg wizard;
    dlg = &wizard;
    std::string summary;
    CTimedSteps steps({
        [&] { Click(wizard.m_choosePage.m_hWnd, IDC_EXPORT_PER_MOVIE); return true; },
        Next(),
        [&] {
            HWND page = wizard.m_smallFilesPage.m_hWnd;
            ::SetDlgItemTextA(page, IDC_EXPORT_FOLDER, (folder + "\\files").c_str());
            EXPECT_FALSE(NextWith(page, IDC_EXPORT_EXTENSION, ""));
            EXPECT_FALSE(NextWith(page, IDC_EXPORT_EXTENSION, "h|m"));
            EXPECT_TRUE(NextWith(page, IDC_EXPORT_EXTENSION, ".htm"));
            ::SendDlgItemMessageA(page, IDC_EXPORT_NAMED_BY, CB_SETCURSEL, 1, 0);
            ::SendDlgItemMessageA(page, IDC_EXPORT_FORMAT, CB_SETCURSEL, 1, 0);
            return true;
        },
        Next(),
        [&] {
            // An empty script is asked about; Cancel keeps the page.
            EXPECT_EQ("Enter export script for small files", Title());
            SetRecordedAnswer(IDCANCEL);
            Click(Wizard(), IDC_EXPORT_NEXT);
            return true;
        },
        [&] {
            EXPECT_EQ(3, wizard.m_step);
            EXPECT_EQ("The export script is empty. This will generate no output what so ever.", LastErrorBoxText());
            SetRecordedAnswer(IDOK);
            ::SetWindowTextA(wizard.m_smallScriptPage.m_edit.m_hWnd, "<p>%movie_name</p>\r\n<img src=\"%movie_cover_file\">");
            return true;
        },
        Next(),
        CoverFolder(folder + "\\covers"),
        Next(),
        [&] {
            summary = ItemText(wizard.m_summaryPage.m_hWnd, IDC_EXPORT_SUMMARY);
            return true;
        },
        Next(),
    });
    EXPECT_EQ(IDOK, wizard.DoModal());
    EXPECT_NE(std::string::npos, summary.find("Export one file for each movie.\r\n\toutput directory: " + folder + "\\files\r\n"
                                              "\toutput files format: UNIX\r\n\toutput files named by: movie id\r\n"
                                              "\toutput files type: htm\r\n"));
    EXPECT_NE(std::string::npos, summary.find("\tmovies: 2 in 2 file(s)\r\n\tcovers: 1 in 2 file(s)\r\n"));

    // The files, in the chosen line format, with the cover linked across.
    EXPECT_EQ("<p>Brazil</p>\n<img src=\"../covers/4.jpg\">", ReadAll(folder + "\\files\\4.htm"));
    EXPECT_EQ("<p>Alien</p>\n<img src=\"../covers/no_pic.gif\">", ReadAll(folder + "\\files\\7.htm"));
    EXPECT_EQ("JPG", ReadAll(folder + "\\covers\\4.jpg"));
    EXPECT_EQ("GIF", ReadAll(folder + "\\covers\\no_pic.gif").substr(0, 3));

    // Every setting of the pages taken, the working copy in CR LF.
    EXPECT_EQ(0, profile.GetInt("export", "one_big_list", -1));
    EXPECT_EQ(0, profile.GetInt("export", "templates", -1));
    EXPECT_EQ(folder + "\\files", profile.GetString("export", "txt-path-small"));
    EXPECT_EQ("htm", profile.GetString("export", "txt-type"));
    EXPECT_EQ(14, profile.GetInt("export", "txt-file_name", -1));
    EXPECT_EQ(13, profile.GetInt("export", "txt-format-small", -1));
    EXPECT_EQ(folder + "\\covers", profile.GetString("export", "img_path"));
    EXPECT_EQ("<none>", profile.GetString("export", "txt-path-big"));
    EXPECT_EQ("<p>%movie_name</p>\r\n<img src=\"%movie_cover_file\">",
              ReadAll(WorkingCopyPath(kCurrentSmallScript)));

    // The next wizard comes back with them.
    CExportDlg again;
    EXPECT_EQ(0, again.m_choosePage.m_oneBigList);
    EXPECT_EQ(folder + "\\files", again.m_smallFilesPage.m_folder);
    EXPECT_EQ(14, again.m_smallFilesPage.m_nameKind);
    EXPECT_EQ(13, again.m_smallFilesPage.m_format);
    EXPECT_EQ(folder + "\\covers", again.m_coversPage.m_folder);
}

// The run with one allocation failing, at each allocation in turn: the
// wizard's Finish never meets an exception, and a run that fails for want of
// memory says so.
TEST_F(ExportWizardTest, NoMemoryInTheRunIsTold)
{
    ScopedProfile profile("WizardNoMemory");
    AddMovie(4, "Brazil", true);
    AddMovie(7, "Alien");
    std::string folder = TestTempPath("wizard-memory");
    CExportDlg wizard;
    dlg = &wizard;
    int outOfMemory = 0;
    CTimedSteps steps({
        [&] { Click(wizard.m_choosePage.m_hWnd, IDC_EXPORT_PER_MOVIE); return true; },
        Next(),
        [&] {
            HWND page = wizard.m_smallFilesPage.m_hWnd;
            ::SetDlgItemTextA(page, IDC_EXPORT_FOLDER, (folder + "\\files").c_str());
            ::SetDlgItemTextA(page, IDC_EXPORT_EXTENSION, "htm");
            return true;
        },
        Next(),
        [&] {
            ::SetWindowTextA(wizard.m_smallScriptPage.m_edit.m_hWnd, "<p>%movie_name</p>");
            return true;
        },
        Next(),
        CoverFolder(folder + "\\covers"),
        Next(),
        [&] {
            EXPECT_EQ(5, wizard.m_step);
            for (long n = 1; n < 100000; n++) {
                int boxes = ErrorBoxCount();
                FailAllocationForTest(n);
                bool threw = false;
                try {
                    wizard.m_summaryPage.Apply();
                } catch (...) {
                    threw = true;
                }
                bool met = AllocationFailedForTest();
                FailAllocationForTest(0);
                EXPECT_FALSE(threw) << "at " << n;
                if (!met || threw)
                    break;
                if (boxes < ErrorBoxCount() && LastErrorBoxText() == "Out of memory.")
                    outOfMemory++;
            }
            return true;
        },
        [&] { Click(Wizard(), IDCANCEL); return true; },
    });
    wizard.DoModal();
    EXPECT_GT(outOfMemory, 0);
    EXPECT_EQ("<p>Brazil</p>", ReadAll(folder + "\\files\\Brazil.htm"));
}

TEST_F(ExportWizardTest, ClicksQueuedDuringTheRunDoNothing)
{
    ScopedProfile profile("WizardRun");
    AddMovie(1, "Brazil");
    AddMovie(2, "Alien");
    std::string folder = TestTempPath("wizard-run");
    ASSERT_TRUE(CreatePath(folder.c_str()));
    std::string output = folder + "\\movies.txt";
    profile.SetString("export", "txt-path-big", output.c_str());
    profile.SetInt("export", "txt-sort", 88);
    profile.SetInt("export", "savecovers", 0);
    CExportDlg wizard;
    dlg = &wizard;
    CTimedSteps steps({
        Next(),
        Next(),
        [&] {
            SelectTab(wizard.m_bigScriptPage, 1);
            ::SetWindowTextA(wizard.m_bigScriptPage.m_edit.m_hWnd, "%movie_id ");
            return true;
        },
        Next(),
        [&] { return wizard.m_step == 5; },
        Next(),
        [&] {
            // The run waits on the custom sort dialog, whose loop handles
            // whatever is queued for the wizard.
            HWND sort = FindThreadDialog("Sort by custom");
            if (sort == NULL)
                return false;
            EXPECT_TRUE(wizard.IsRunning());
            EXPECT_FALSE(::IsWindowEnabled(Wizard()));
            Click(Wizard(), IDCANCEL);
            Click(Wizard(), IDC_EXPORT_BACK);
            Click(Wizard(), IDC_EXPORT_NEXT);
            ::SetDlgItemTextA(sort, IDC_SORT_SCRIPT, "%movie_name");
            return true;
        },
        [&] {
            HWND sort = FindThreadDialog("Sort by custom");
            EXPECT_TRUE(wizard.IsRunning());
            Click(sort, IDOK);
            return true;
        },
    });
    EXPECT_EQ(IDOK, wizard.DoModal());
    EXPECT_EQ("2 1 ", ReadAll(output));
    EXPECT_EQ(88, profile.GetInt("export", "txt-sort", -1));
}

// The running program: "&Export..." exports the demo catalogue through the
// shipped big-list script, with covers.
TEST(ExportCommand, TheProgramExportsTheDemoCatalogue)
{
    CProgramRun run("export-command");
    std::string catalogue = run.PathOf("demo.vdb");
    ASSERT_TRUE(::CopyFileA(WindowsPath(std::string(VISTREL_SOURCE_DIR) + "/samples/demo.vdb").c_str(),
                            catalogue.c_str(), FALSE));
    ::CreateDirectoryA(run.PathOf("scripts").c_str(), NULL);
    ASSERT_TRUE(::CopyFileA(
        WindowsPath(std::string(VISTREL_SOURCE_DIR) + "/resources/scripts/template-script/big.vsc").c_str(),
        run.PathOf("scripts\\current.big").c_str(), FALSE));
    std::string output = run.PathOf("site\\list\\movies.html");
    run.SetInt("export", "one_big_list", 1);
    run.SetString("export", "txt-path-big", output);
    run.SetString("export", "img_path", run.PathOf("site\\covers"));
    ASSERT_NE(run.StartToMainWindow("\"" + catalogue + "\""), nullptr);

    run.PostCommand(ID_FILE_EXPORT);
    HWND wizard = run.WaitDialog("Export data");
    ASSERT_NE(wizard, nullptr);
    const char* titles[] = {"Export one big file", "Edit scripts for big list", "Export cover images",
                            "You are about to export the movies"};
    for (const char* title : titles) {
        CProgramRun::Press(wizard, IDC_EXPORT_NEXT);
        ASSERT_TRUE(WaitFor([&] { return ItemText(wizard, IDC_EXPORT_TITLE) == title; })) << title;
    }
    CProgramRun::Press(wizard, IDC_EXPORT_NEXT);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(wizard); }));

    std::string page = ReadAll(output);
    size_t rows = 0;
    for (size_t at = page.find("<tr><td>"); at != std::string::npos; at = page.find("<tr><td>", at + 1))
        rows++;
    EXPECT_EQ(50u, rows);
    EXPECT_NE("<missing>", ReadAll(run.PathOf("site\\covers\\no_pic.gif")));
    EXPECT_EQ(output, run.String("export", "txt-path-big"));
    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    HWND question = run.WaitDialog("Warning", 3000);
    if (question != nullptr)
        CProgramRun::Press(question, IDOK);
    EXPECT_TRUE(run.WaitExit());
}

// Shown for screenshots only: SHOWCASE_EXPORT names the page (1.0, 2.1,
// 2.2, 3.1, 3.2, 4.0 or 5.0), shown with the demo catalogue and the shipped
// scripts as working copies.
TEST_F(ExportWizardTest, DISABLED_Showcase)
{
    ScopedProfile profile("WizardShowcase");
    const char* which = getenv("SHOWCASE_EXPORT");
    std::string target = which != NULL ? which : "1.0";
    ASSERT_TRUE(theCollection.Load(WindowsPath(std::string(VISTREL_SOURCE_DIR) + "/samples/demo.vdb").c_str()));
    std::string shipped = WindowsPath(std::string(VISTREL_SOURCE_DIR) + "/resources/scripts/template-script/");
    ::CopyFileA((shipped + "big.vsc").c_str(), WorkingCopyPath(kCurrentBigScript).c_str(), FALSE);
    ::CopyFileA((shipped + "small.vsc").c_str(), WorkingCopyPath(kCurrentSmallScript).c_str(), FALSE);
    profile.SetString("export", "txt-path-big", "C:\\My Movies\\movies.html");
    profile.SetString("export", "txt-path-small", "C:\\My Movies\\pages");
    profile.SetString("export", "img_path", "C:\\My Movies\\covers");
    profile.SetInt("export", "one_big_list", target == "2.2" || target == "3.1" ? 0 : 1);
    CExportDlg wizard;
    dlg = &wizard;
    std::vector<std::function<bool()>> steps;
    for (int i = 0; i < 4; i++) {
        steps.push_back([&, i] {
            char here[8];
            snprintf(here, sizeof(here), "%d.%d", wizard.m_step, wizard.m_alternative);
            if (target != here)
                Click(Wizard(), IDC_EXPORT_NEXT);
            return true;
        });
    }
    DWORD start = ::GetTickCount();
    steps.push_back([&] { return ::GetTickCount() - start > 7000; });
    steps.push_back([&] { Click(Wizard(), IDCANCEL); return true; });
    CTimedSteps run(steps);
    wizard.DoModal();
}

#endif
