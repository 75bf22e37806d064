// Comparing the open catalogue with another file: choosing it, the worker's
// lists, copying across with saving, and closing during a comparison.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "DialogDriver.h"
#include "classlib/WinApp.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/CompareDbDlg.h"
#include "dialogs/ComparedDbDlg.h"
#include "resources/resource.h"

namespace {

void AddTitles(CMovieCollection& c, const std::vector<const char*>& titles)
{
    for (const char* title : titles) {
        CMovie movie;
        StrSet(&movie.m_title, title);
        c.AddMovie(&movie, false);
    }
}

std::vector<std::string> Lines(HWND dlg, int id)
{
    std::vector<std::string> lines;
    int count = int(::SendDlgItemMessage(dlg, id, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[256] = {};
        ::SendDlgItemMessage(dlg, id, LB_GETTEXT, i, LPARAM(text));
        lines.push_back(text);
    }
    return lines;
}

std::string TempFile(const char* name)
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

typedef CollectionTest CompareDialogs;

} // namespace

TEST_F(CompareDialogs, ChoosingKeepsTheCustomTextAndRefusesAFileThatDoesNotLoad)
{
    ScopedProfile profile("CompareChoose");
    std::string path = TempFile("compare-other.vdb");
    CMovieCollection other;
    AddTitles(other, { "Alien" });
    ASSERT_TRUE(other.Save(path.c_str(), true));

    std::string afterSwitch;
    bool templateEnabled = true, okForMissing = true;
    DialogDriver driver([&](HWND dlg) {
        PostClick(dlg, IDC_COMPARE_CUSTOM);
        Later([&, dlg] {
            SetItemText(dlg, IDC_COMPARE_TEMPLATE, "%movie_name %movie_year");
            PostClick(dlg, IDC_COMPARE_TITLE);
            PostClick(dlg, IDC_COMPARE_CUSTOM);
            SetItemText(dlg, IDC_COMPARE_FILE, "c:\\no\\such.vdb");
            PostClick(dlg, IDOK);
        });
        Later([&, dlg, path] {
            afterSwitch = ItemText(dlg, IDC_COMPARE_TEMPLATE);
            okForMissing = IsItemEnabled(dlg, IDOK);
            ::SendMessage(::GetDlgItem(dlg, IDC_COMPARE_TITLE), BM_CLICK, 0, 0);
            templateEnabled = IsItemEnabled(dlg, IDC_COMPARE_TEMPLATE);
            SetItemText(dlg, IDC_COMPARE_FILE, path.c_str());
            PostClick(dlg, IDOK);
        });
    });
    CCompareDbDlg dlg;
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ("%movie_name %movie_year", afterSwitch);
    EXPECT_FALSE(okForMissing);
    EXPECT_FALSE(templateEnabled);
    EXPECT_EQ("%movie_name", dlg.GetTemplate());
    ASSERT_NE(nullptr, dlg.GetOtherCollection());
    EXPECT_EQ(1u, dlg.GetOtherCollection()->GetMovieCount());
    EXPECT_EQ(0, profile.GetInt("compare", "mode", -1));
    ::DeleteFileA(path.c_str());
}

TEST_F(CompareDialogs, ListsMoviesWithoutPartnersCopiesThemAndSavesTheOther)
{
    std::string path = TempFile("compare-copy.vdb");
    AddTitles(theCollection, { "Alien", "Brazil" });
    CMovieCollection other;
    AddTitles(other, { "Alien", "Casino" });
    ASSERT_TRUE(other.Save(path.c_str(), true));
    ASSERT_TRUE(other.Load(path.c_str()));

    std::vector<std::string> left, right, leftAfter;
    int progress = 0;
    bool saveEnabled = false;
    std::string question;
    DialogDriver driver([&](HWND dlg) {
        Poll([&, dlg] {
            if (!IsItemEnabled(dlg, IDOK))
                return false;
            left = Lines(dlg, IDC_COMPARED_CURRENT);
            right = Lines(dlg, IDC_COMPARED_OTHER);
            progress = int(::SendDlgItemMessage(dlg, IDC_COMPARED_PROGRESS, PBM_GETPOS, 0, 0));
            ::SendDlgItemMessage(dlg, IDC_COMPARED_CURRENT, LB_SETSEL, TRUE, 0);
            ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDC_COMPARED_CURRENT, LBN_SELCHANGE), 0);
            PostClick(dlg, IDC_COMPARED_COPY_RIGHT);
            Later([&, dlg] {
                leftAfter = Lines(dlg, IDC_COMPARED_CURRENT);
                saveEnabled = IsItemEnabled(dlg, IDC_COMPARED_SAVE_OTHER);
                // Unsaved copies: the question comes and Cancel keeps the dialog.
                AfxSetMessageBoxRecording(true, IDCANCEL);
                PostClick(dlg, IDOK);
            });
            Later([&, dlg] {
                question = AfxLastMessageBoxText();
                AfxSetMessageBoxRecording(true, IDOK);
                PostClick(dlg, IDC_COMPARED_SAVE_OTHER);
                PostClick(dlg, IDOK);
            });
            return true;
        });
    });
    CComparedDbDlg dlg;
    dlg.SetCompareSource(&other, "%movie_name");
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{ "Brazil" }), left);
    EXPECT_EQ((std::vector<std::string>{ "Casino" }), right);
    EXPECT_EQ(31999, progress);
    EXPECT_TRUE(leftAfter.empty());
    EXPECT_TRUE(saveEnabled);
    EXPECT_EQ("You have not saved the current database.\nAll current changes will be lost.", question);
    EXPECT_FALSE(dlg.IsCurrentChanged());
    CMovieCollection reloaded;
    ASSERT_TRUE(reloaded.Load(path.c_str()));
    EXPECT_EQ(3u, reloaded.GetMovieCount());
    ::DeleteFileA(path.c_str());
}

TEST_F(CompareDialogs, TheCloseBoxDuringAComparisonStopsAndJoinsTheWorker)
{
    CMovieCollection other;
    for (int i = 0; i < 100000; i++) {
        CMovie movie;
        std::string title = "Movie " + std::to_string(i);
        StrSet(&movie.m_title, title.c_str());
        theCollection.AddMovie(&movie, false);
        other.AddMovie(&movie, false);
    }
    bool comparing = false;
    DialogDriver driver([&](HWND dlg) {
        comparing = !IsItemEnabled(dlg, IDOK);
        ::PostMessage(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    CComparedDbDlg dlg;
    dlg.SetCompareSource(&other, "%movie_name");
    DWORD start = ::GetTickCount();
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(comparing);
    EXPECT_LT(::GetTickCount() - start, 10000u);
}

// Shown for screenshots only: SHOWCASE_COMPARE=choose shows the first dialog.
TEST_F(CompareDialogs, DISABLED_Showcase)
{
    ScopedProfile profile("CompareShowcase");
    AddTitles(theCollection, { "Alien", "Brazil", "Dark City", "Gattaca" });
    CMovieCollection other;
    AddTitles(other, { "Alien", "Casino", "Heat" });
    DialogDriver driver([](HWND) {});
    const char* which = getenv("SHOWCASE_COMPARE");
    if (which != nullptr && std::string(which) == "choose") {
        CCompareDbDlg dlg;
        dlg.DoModal();
        return;
    }
    CComparedDbDlg dlg;
    dlg.SetCompareSource(&other, "%movie_name");
    dlg.DoModal();
}
