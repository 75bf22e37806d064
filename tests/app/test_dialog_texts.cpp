// Every dialog of the program, made from its template with its own font:
// no button, check box, radio button, group box or label cuts its text,
// neither the template's nor one the code puts there at run time.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "DialogTextFit.h"
#include "resources/resource.h"

namespace {

// The export wizard's page title, as the wizard sets it.
HFONT ExportTitleFont()
{
    static HFONT font = ::CreateFontA(-20, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                                      "Times New Roman");
    return font;
}

const std::vector<RuntimeText> kRuntimeTexts = {
    {IDD_EDIT_BACKGROUND, IDOK, {"Save"}, nullptr},
    {IDD_MOVIE_INFO, IDC_MOVIEINFO_SAVE, {"Create"}, nullptr},
    {IDD_MOVIE_MAIN, IDC_MAIN_CHANGE_ID, {"Set ID"}, nullptr},
    {IDD_MOVIE_MAIN, IDC_MAIN_LOAN_TEXT,
     {"Nobody is borrowing this movie.", "Margaret Wilkinson is borrowing this movie since 2004-11-23."}, nullptr},
    {IDD_MASS_UPDATE_IMDB, IDCANCEL, {"Close", "Cancel"}, nullptr},
    {IDD_EXPORT, IDC_EXPORT_NEXT, {"&Next >", "&Finish"}, nullptr},
    {IDD_EXPORT, IDC_EXPORT_TITLE,
     {"What would you like to do?", "Export one big file", "Export one small file for every movie",
      "Export cover images", "Enter export script for small files", "Edit scripts for big list",
      "You are about to export the movies"},
     ExportTitleFont},
    {IDD_PROGRESS, IDC_PROGRESS_TEXT,
     {"Please wait...", "Loading movies...", "Updating listing...", "Reading movies...", "Reloading movie list..."},
     nullptr},
    {IDD_WAIT, IDC_WAIT_TEXT, {"Processing CD-ROM/DVD"}, nullptr},
    {IDD_DOWNLOAD_STATUS, IDC_DOWNLOAD_STATUS,
     {"Parsing HTTP address...", "Starting engine...", "Connecting...", "Sending data...", "Download data...",
      "Done!", "Talking to SOCKS5 proxy...", "Talking to SOCKS4(A) proxy..."},
     nullptr},
    {IDD_DOWNLOAD_STATUS, IDC_DOWNLOAD_SPEED, {"Speed: 0.00kb/s", "Speed: 99999.99kb/s"}, nullptr},
};

} // namespace

TEST(DialogTexts, EveryTextOfEveryDialogFitsItsControl)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&classes));

    HMODULE module = ::GetModuleHandleA(nullptr);
    std::vector<int> ids = DialogTemplateIds(module);
    // Every dialog of the program's resource scripts is compiled in.
    EXPECT_GE(ids.size(), 53u);
    for (int id : ids) {
        for (const std::string& cut : CutDialogTexts(module, id, kRuntimeTexts))
            ADD_FAILURE() << cut;
    }
}

#endif
