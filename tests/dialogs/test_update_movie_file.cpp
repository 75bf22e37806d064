// The update-movie-file question and its remembered answer.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "dialogs/UpdateMovieFileDlg.h"
#include "resources/resource.h"

namespace {

INT_PTR RunDialog(int click, bool always, std::string* oldPath = nullptr,
                  std::string* newPath = nullptr, int* shown = nullptr)
{
    DialogDriver driver([&](HWND dlg) {
        EXPECT_EQ("Update movie file", WindowCaption(dlg));
        EXPECT_FALSE(IsItemChecked(dlg, IDC_UPDATEFILE_ALWAYS));
        if (oldPath != nullptr)
            *oldPath = ItemText(dlg, IDC_UPDATEFILE_OLD);
        if (newPath != nullptr)
            *newPath = ItemText(dlg, IDC_UPDATEFILE_NEW);
        if (always)
            PostClick(dlg, IDC_UPDATEFILE_ALWAYS);
        PostClick(dlg, click);
    });
    CUpdateMovieFileDlg dlg;
    dlg.SetPaths("c:\\Movies\\MOVIE.AVI", "m:\\MOVIE.AVI");
    INT_PTR result = dlg.DoModal();
    if (shown != nullptr)
        *shown = driver.Count();
    return result;
}

} // namespace

TEST(UpdateMovieFileDlg, AsksWithBothPathsAndRemembersAnAnswerOnlyWhenTold)
{
    ScopedProfile profile("UpdateAsk");
    std::string oldPath, newPath;
    int shown = 0;
    EXPECT_EQ(IDCANCEL, RunDialog(IDCANCEL, false, &oldPath, &newPath, &shown));
    EXPECT_EQ(1, shown);
    EXPECT_EQ("c:\\Movies\\MOVIE.AVI", oldPath);
    EXPECT_EQ("m:\\MOVIE.AVI", newPath);
    EXPECT_EQ(77, profile.GetInt("updatemoviefile", "answer", 77));

    // Yes, always: stored as 1, and the next question answers itself.
    EXPECT_EQ(IDOK, RunDialog(IDOK, true));
    EXPECT_EQ(1, profile.GetInt("updatemoviefile", "answer", 77));
    EXPECT_EQ(IDOK, RunDialog(IDCANCEL, false, nullptr, nullptr, &shown));
    EXPECT_EQ(0, shown);

    // No, always: stored as 2.
    profile.SetInt("updatemoviefile", "answer", 0);
    EXPECT_EQ(IDCANCEL, RunDialog(IDCANCEL, true));
    EXPECT_EQ(2, profile.GetInt("updatemoviefile", "answer", 77));
    EXPECT_EQ(IDCANCEL, RunDialog(IDOK, false, nullptr, nullptr, &shown));
    EXPECT_EQ(0, shown);
}

TEST(UpdateMovieFileDlg, StoredAnswerCountsModuloThree)
{
    ScopedProfile profile("UpdateModulo");
    const struct {
        int stored;
        INT_PTR result;
        int shown;
    } cases[] = {{4, IDOK, 0}, {5, IDCANCEL, 0}, {3, IDOK, 1}, {-1, IDOK, 1}};
    for (const auto& c : cases) {
        profile.SetInt("updatemoviefile", "answer", c.stored);
        int shown = -1;
        EXPECT_EQ(c.result, RunDialog(IDOK, false, nullptr, nullptr, &shown)) << c.stored;
        EXPECT_EQ(c.shown, shown) << c.stored;
    }
}
