// Making small covers under Wine: the worker shrinks the large covers of
// every format and leaves the others; the bar's range; Cancel in the middle
// of a run; Configure's question runs the dialog on Yes only.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "ImageTestFiles.h"
#include "classlib/WinApp.h"
#include "core/CoverSize.h"
#include "core/ImdbInfo.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/ConfigureDlg.h"
#include "dialogs/MakeSmallCoversDlg.h"
#include "resources/resource.h"

namespace {

DWORD AddCover(const std::vector<BYTE>& bytes, const char* type, int sizeClass)
{
    CMovie movie;
    movie.m_imdbInfo.reset(new CImdbInfo);
    movie.m_imdbInfo->m_cover = bytes;
    StrSet(&movie.m_imdbInfo->m_coverType, type);
    movie.m_imdbInfo->m_coverSizeClass = sizeClass;
    return theCollection.AddMovie(&movie, false);
}

struct Cover {
    std::vector<BYTE> bytes;
    int sizeClass = 0;
};

Cover CoverOf(DWORD id)
{
    Cover cover;
    theCollection.ReadMovie(id, [&](const CMovie& movie) {
        if (movie.m_imdbInfo != nullptr) {
            cover.bytes = movie.m_imdbInfo->m_cover;
            cover.sizeClass = movie.m_imdbInfo->m_coverSizeClass;
        }
    });
    return cover;
}

bool Measure(const std::vector<BYTE>& bytes, long* width, long* height)
{
    return MeasurePicture(bytes.data(), bytes.size(), width, height);
}

// The worker's temporary files left in the temporary folder.
int TemporaryFiles()
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((std::string(folder) + "vsc*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        count++;
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}

int Converted(const std::vector<DWORD>& ids)
{
    int count = 0;
    for (DWORD id : ids)
        count += CoverOf(id).sizeClass == COVER_SIZE_SMALL ? 1 : 0;
    return count;
}

typedef CollectionTest SmallCovers;

const char kQuestion[] =
    "You have choosen to only download small covers from IMDb.\r\n"
    "If you wan't it to vistrel can make all your now downloaded big covers small.\r\n"
    "Your own custom covers are not affected.\r\n\r\n"
    "Do you wish for vistrel to shrink all big covers ?";

} // namespace

TEST_F(SmallCovers, LargeCoversOfEveryFormatBecome93Wide)
{
    struct Case {
        const char* file;
        const char* type;
        int sizeClass;
        bool shrinks;
    } cases[] = {
        { "cover.jpg", "jpg", COVER_SIZE_LARGE, true },  { "cover.gif", "gif", COVER_SIZE_LARGE, true },
        { "cover.png", "PNG", COVER_SIZE_LARGE, true },  { "cover.bmp", "bmp", COVER_SIZE_LARGE, true },
        { "cover.bmp", "xyz", COVER_SIZE_LARGE, true },  { "truncated.jpg", "jpeg", COVER_SIZE_LARGE, false },
        { "cover.jpg", "jpg", COVER_SIZE_SMALL, false }, { "cover.gif", nullptr, COVER_SIZE_LARGE, false },
    };
    std::vector<DWORD> ids;
    for (const Case& c : cases)
        ids.push_back(AddCover(ReadBytes(ImageFixture(c.file)), c.type, c.sizeClass));
    int temporary = TemporaryFiles();
    // The dialog closes by itself; the driver fails a dialog left open.
    DialogDriver driver([](HWND) {});
    CMakeSmallCoversDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    for (size_t i = 0; i < ids.size(); i++) {
        SCOPED_TRACE(cases[i].file);
        std::vector<BYTE> original = ReadBytes(ImageFixture(cases[i].file));
        Cover cover = CoverOf(ids[i]);
        if (!cases[i].shrinks) {
            EXPECT_EQ(cases[i].sizeClass, cover.sizeClass);
            EXPECT_TRUE(original == cover.bytes);
            continue;
        }
        long width = 0, height = 0, oldWidth = 0, oldHeight = 0;
        ASSERT_TRUE(Measure(original, &oldWidth, &oldHeight));
        ASSERT_TRUE(Measure(cover.bytes, &width, &height));
        EXPECT_EQ(COVER_SIZE_SMALL, cover.sizeClass);
        EXPECT_EQ(93, width);
        EXPECT_EQ(long(oldHeight) * 93 / oldWidth, height);
        // Written again in the format it was read in.
        EXPECT_EQ(original[0], cover.bytes[0]);
    }
    long width = 0, height = 0;
    ASSERT_TRUE(Measure(CoverOf(ids[0]).bytes, &width, &height));
    EXPECT_EQ(139, height);
    EXPECT_EQ(temporary, TemporaryFiles());
}

TEST_F(SmallCovers, ManyMoviesCountInThousandthsAndCancelStopsAtOnce)
{
    std::vector<BYTE> jpeg = ReadBytes(ImageFixture("cover.jpg"));
    std::vector<DWORD> ids;
    for (int i = 0; i < 2500; i++)
        ids.push_back(AddCover(jpeg, "jpg", COVER_SIZE_LARGE));
    int temporary = TemporaryFiles();
    int threads = ThreadCount();
    PBRANGE range = {};
    int positionAtCancel = 0;
    DWORD cancelled = 0;
    DialogDriver driver([&](HWND dlg) {
        Poll([&, dlg] {
            positionAtCancel = int(::SendDlgItemMessage(dlg, IDC_SMALL_COVERS_PROGRESS, PBM_GETPOS, 0, 0));
            if (positionAtCancel < 2)
                return false;
            ::SendDlgItemMessage(dlg, IDC_SMALL_COVERS_PROGRESS, PBM_GETRANGE, FALSE, LPARAM(&range));
            cancelled = ::GetTickCount();
            PostClick(dlg, IDCANCEL);
            return true;
        });
    });
    CMakeSmallCoversDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    DWORD closing = ::GetTickCount() - cancelled;
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(1000, range.iHigh);
    EXPECT_LT(closing, 10000u);
    // Converted covers stay converted, and nothing changes any more: the
    // worker has ended.
    EXPECT_EQ(threads, ThreadCount());
    int converted = Converted(ids);
    EXPECT_GT(converted, 0);
    EXPECT_LT(converted, 2500);
    EXPECT_EQ(temporary, TemporaryFiles());
    long width = 0, height = 0;
    ASSERT_TRUE(Measure(CoverOf(ids[0]).bytes, &width, &height));
    EXPECT_EQ(93, width);
}

TEST_F(SmallCovers, AnEmptyCollectionClosesAtOnce)
{
    // The dialog closes by itself; the driver fails a dialog left open.
    DialogDriver driver([](HWND) {});
    CMakeSmallCoversDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

TEST_F(SmallCovers, ConfigureRunsTheDialogWhenTheOptionIsSwitchedOnAndTheAnswerIsYes)
{
    for (int answer : { IDNO, IDYES }) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        ScopedProfile profile("SmallCovers");
        profile.SetInt("update", "force_small_cover", 0);
        // Enough covers for the run's dialog to be seen.
        std::vector<BYTE> jpeg = ReadBytes(ImageFixture("cover.jpg"));
        DWORD id = AddCover(jpeg, "jpg", COVER_SIZE_LARGE);
        for (int i = 0; i < 300; i++)
            AddCover(jpeg, "jpg", COVER_SIZE_LARGE);
        std::vector<std::string> captions;
        DialogDriver driver([&](HWND dlg) {
            captions.push_back(WindowCaption(dlg));
            if (captions.size() == 1) {
                PostClick(dlg, IDC_CONFIG_SMALL_COVERS);
                PostClick(dlg, IDOK);
            }
        });
        AfxSetMessageBoxRecording(true, answer);
        CConfigureDlg dlg;
        EXPECT_EQ(IDOK, dlg.DoModal());
        AfxSetMessageBoxRecording(true, IDOK);
        EXPECT_EQ(kQuestion, AfxLastMessageBoxText());
        EXPECT_EQ(1, profile.GetInt("update", "force_small_cover", -1));
        if (answer == IDYES) {
            ASSERT_EQ(2u, captions.size());
            EXPECT_EQ("Make Small Covers...", captions[1]);
            EXPECT_EQ(COVER_SIZE_SMALL, CoverOf(id).sizeClass);
        } else {
            EXPECT_EQ(1u, captions.size());
            EXPECT_EQ(COVER_SIZE_LARGE, CoverOf(id).sizeClass);
        }
        theCollection.Clear();
    }
}

// Shown for screenshots only: a long run of large covers.
TEST_F(SmallCovers, DISABLED_Showcase)
{
    std::vector<BYTE> jpeg = ReadBytes(ImageFixture("cover.jpg"));
    for (int i = 0; i < 20000; i++)
        AddCover(jpeg, "jpg", COVER_SIZE_LARGE);
    CMakeSmallCoversDlg dlg;
    dlg.DoModal();
}

#endif
