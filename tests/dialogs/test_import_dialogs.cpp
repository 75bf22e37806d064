// The import dialogs and the plug-in configuration, driven as the user
// would: messages in order, mapping, adding, encodings; plug-in order,
// arrows, header clicks, rescan.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/PluginManager.h"
#include "dialogs/ConfigurePlugins.h"
#include "dialogs/ImportDlg.h"
#include "resources/resource.h"

namespace {

std::string Fixture(const char* name)
{
    return WindowsPath((std::string(VISTREL_TEST_DATA) + "/import/" + name).c_str());
}

// A click handled before the call returns; modal dialogs it opens run
// (and are driven) inside it.
void Click(HWND dlg, int id)
{
    ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dlg, id)));
}

void Choose(HWND dlg, int id, const char* text)
{
    HWND combo = ::GetDlgItem(dlg, id);
    LRESULT index = ::SendMessage(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text));
    ASSERT_NE(index, CB_ERR) << text;
    ::SendMessage(combo, CB_SETCURSEL, WPARAM(index), 0);
    ::SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(combo));
}

std::vector<std::string> ComboItems(HWND dlg, int id)
{
    std::vector<std::string> items;
    int count = int(::SendDlgItemMessage(dlg, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[64] = {};
        ::SendDlgItemMessage(dlg, id, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        items.push_back(text);
    }
    return items;
}

std::vector<std::string> ListColumn(HWND dlg, int id, int column)
{
    HWND list = ::GetDlgItem(dlg, id);
    std::vector<std::string> texts;
    for (int item = 0; item < ListView_GetItemCount(list); item++) {
        char text[256] = {};
        ListView_GetItemText(list, item, column, text, sizeof(text));
        texts.push_back(text);
    }
    return texts;
}

// A mouse click on a control at a point of its client area.
void MouseClick(HWND control, int x, int y)
{
    ::SendMessage(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessage(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void ClickArrow(HWND dlg, bool up)
{
    HWND spin = ::GetDlgItem(dlg, IDC_PLUGINS_SPIN);
    RECT rect;
    ::GetClientRect(spin, &rect);
    MouseClick(spin, rect.right / 2, up ? rect.bottom / 4 : rect.bottom * 3 / 4);
}

void ClickHeader(HWND dlg, int column)
{
    HWND header = ListView_GetHeader(::GetDlgItem(dlg, IDC_PLUGINS_LIST));
    RECT rect;
    Header_GetItemRect(header, column, &rect);
    MouseClick(header, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void SelectItem(HWND dlg, int id, int item)
{
    HWND list = ::GetDlgItem(dlg, id);
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::string LastBox()
{
    return AfxLastMessageBoxText();
}

// Maps "Import text": the boxes in order, then OK.
void MapFields(HWND dlg, std::vector<const char*> targets)
{
    for (size_t box = 0; box < targets.size(); box++)
        Choose(dlg, IDC_IMPORT_FIELD1 + int(box), targets[box]);
    Click(dlg, IDOK);
}

std::string TempFile(const char* name, const char* text)
{
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    FILE* file = fopen(path.c_str(), "wb");
    fputs(text, file);
    fclose(file);
    return path;
}

} // namespace

TEST(ImportDlg, MessagesInOrderThenAddAndAddAll)
{
    ScopedProfile profile("ImportMessages");
    CMovieCollection collection;
    std::string noFields = TempFile("vistrel-nofields.txt", ";;\r\n1;Alien\r\n");
    std::vector<std::string> boxes;
    std::vector<std::string> listed, afterAdd;
    bool importEnabledEmpty = true, addEnabled = true, addAllAfter = true;
    DialogDriver driver([&](HWND dlg) {
        if (WindowCaption(dlg) == "Import text") {
            MapFields(dlg, {"[skip]", "Title", "Movie genre"});
            return;
        }
        importEnabledEmpty = IsItemEnabled(dlg, IDC_IMPORT_RUN);
        addEnabled = IsItemEnabled(dlg, IDC_IMPORT_ADD);
        auto step = [&](const char* file, const char* textdiv, const char* stringdiv) {
            SetItemText(dlg, IDC_IMPORT_FILE, file);
            SetItemText(dlg, IDC_IMPORT_TEXTDIV, textdiv);
            SetItemText(dlg, IDC_IMPORT_STRINGDIV, stringdiv);
            AfxSetMessageBoxRecording(true, IDOK);
            Click(dlg, IDC_IMPORT_RUN);
            boxes.push_back(LastBox());
        };
        std::string good = Fixture("semicolon.txt");
        step("", ";", "\"");
        step("Z:\\no\\such\\file.txt", ";", "\"");
        step(good.c_str(), "", "\"");
        step(good.c_str(), ";;", "\"");
        step(good.c_str(), ";", "ab");
        step(noFields.c_str(), ";", "\"");
        step(Fixture("open_string.txt").c_str(), ";", "\"");
        step(good.c_str(), ";", "\"");
        listed = ListColumn(dlg, IDC_IMPORT_LIST, 0);
        SelectItem(dlg, IDC_IMPORT_LIST, 1);
        Click(dlg, IDC_IMPORT_ADD);
        afterAdd = ListColumn(dlg, IDC_IMPORT_LIST, 0);
        Click(dlg, IDC_IMPORT_ADD_ALL);
        addAllAfter = IsItemEnabled(dlg, IDC_IMPORT_ADD_ALL);
        SetItemText(dlg, IDC_IMPORT_TEXTDIV, "[tab]");
        PostClick(dlg, IDOK);
    });
    CImportDlg dlg;
    dlg.SetCollection(&collection);
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(importEnabledEmpty);
    EXPECT_FALSE(addEnabled);
    std::vector<std::string> expected = {
        "You must enter a file to import data from.",
        "Unable to open specified file.",
        "You must enter or choose a character dividing each data-field.",
        "The dividing character must be ONE character only.",
        "The string dividing character must at most be ONE character only.",
        "Found no datafields on first line, wrong textdivider ?",
        "Format error, a newline in a string.",
        "Format error, a newline in a string.",  // unchanged: the good file shows no box
    };
    EXPECT_EQ(boxes, expected);
    EXPECT_EQ(listed, (std::vector<std::string>{"Alien", "Dinner; with friends", "The Thing"}));
    EXPECT_EQ(afterAdd, (std::vector<std::string>{"Alien", "The Thing"}));
    EXPECT_FALSE(addAllAfter);
    // The row added alone was not added again by "Add all".
    EXPECT_EQ(collection.GetMovieCount(), 3u);
    EXPECT_EQ(AfxGetApp()->GetProfileString("import", "textdiv", ""), "[tab]");
    EXPECT_EQ(AfxGetApp()->GetProfileString("import", "stringdiv", ""), "\"");
    ::DeleteFileA(noFields.c_str());
}

TEST(ImportDlg, FieldBoxesEncodingsAndCancel)
{
    ScopedProfile profile("ImportFields");
    AfxGetApp()->WriteProfileString("import_text", "field1", "Title");
    AfxGetApp()->WriteProfileString("import_text", "field2", "Title");
    CMovieCollection collection;
    std::vector<std::string> secondBefore, secondAfter, titles;
    std::string noTitleBox;
    int textDialogs = 0;
    DialogDriver driver([&](HWND dlg) {
        if (WindowCaption(dlg) == "Import text") {
            textDialogs++;
            if (textDialogs == 1) {
                // Both boxes show the stored "Title"; after a change only the
                // first keeps it. Without a title box OK stays.
                secondBefore = ComboItems(dlg, IDC_IMPORT_FIELD2);
                Choose(dlg, IDC_IMPORT_FIELD3, "Comment");
                secondAfter = ComboItems(dlg, IDC_IMPORT_FIELD2);
                Choose(dlg, IDC_IMPORT_FIELD1, "[skip]");
                Click(dlg, IDOK);
                noTitleBox = LastBox();
                Click(dlg, IDCANCEL);
                return;
            }
            MapFields(dlg, {"ID", "Title"});
            return;
        }
        SetItemText(dlg, IDC_IMPORT_TEXTDIV, ";");
        SetItemText(dlg, IDC_IMPORT_STRINGDIV, "[none]");
        SetItemText(dlg, IDC_IMPORT_FILE, Fixture("utf8.txt").c_str());
        Click(dlg, IDC_IMPORT_RUN);  // cancelled: nothing listed
        EXPECT_EQ(ListColumn(dlg, IDC_IMPORT_LIST, 0).size(), 0u);
        for (const char* name : {"utf8.txt", "utf8_bom.txt", "cp1252.txt"}) {
            SetItemText(dlg, IDC_IMPORT_FILE, Fixture(name).c_str());
            Click(dlg, IDC_IMPORT_RUN);
            for (const std::string& title : ListColumn(dlg, IDC_IMPORT_LIST, 0))
                titles.push_back(title);
        }
        ::PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);  // Esc: the dialog has no Cancel button
    });
    CImportDlg dlg;
    dlg.SetCollection(&collection);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(secondBefore, (std::vector<std::string>{"ID", "Title", "IMDB address", "File type",
                                                      "Movie genre", "Comment", "[skip]"}));
    EXPECT_EQ(secondAfter, (std::vector<std::string>{"ID", "IMDB address", "File type", "Movie genre",
                                                     "[skip]"}));
    EXPECT_EQ(noTitleBox, "You must choose a field for the movie title.");
    std::vector<std::string> once = {"Am\xE9lie", "L\xE9on"};
    EXPECT_EQ(titles, (std::vector<std::string>{once[0], once[1], once[0], once[1], once[0], once[1]}));
    EXPECT_EQ(collection.GetMovieCount(), 0u);
    EXPECT_EQ(AfxGetApp()->GetProfileString("import_text", "field1", ""), "ID");
}

TEST(ImportDlg, DividerBoxesTakeOneTypedOrPastedCharacter)
{
    ScopedProfile profile("ImportDividers");
    struct Box {
        int id;
        std::string typed, pasted;
    } boxes[] = { { IDC_IMPORT_TEXTDIV, "", "" }, { IDC_IMPORT_STRINGDIV, "", "" } };
    std::string chosen;
    DialogDriver driver([&](HWND dlg) {
        for (Box& box : boxes) {
            HWND edit = ::FindWindowExA(::GetDlgItem(dlg, box.id), NULL, "Edit", NULL);
            SetItemText(dlg, box.id, "");
            ::SendMessage(edit, WM_CHAR, ';', 1);
            ::SendMessage(edit, WM_CHAR, ',', 1);
            box.typed = ItemText(dlg, box.id);
            // Two characters copied from the box and pasted back over them.
            SetItemText(dlg, box.id, "ab");
            ::SendMessage(edit, EM_SETSEL, 0, -1);
            ::SendMessage(edit, WM_COPY, 0, 0);
            ::SendMessage(edit, WM_PASTE, 0, 0);
            box.pasted = ItemText(dlg, box.id);
        }
        // The listed names are longer, and still chosen whole.
        Choose(dlg, IDC_IMPORT_TEXTDIV, "[space]");
        chosen = ItemText(dlg, IDC_IMPORT_TEXTDIV);
        PostClick(dlg, IDOK);
    });
    CImportDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    for (const Box& box : boxes) {
        EXPECT_EQ(box.typed, ";") << box.id;
        EXPECT_EQ(box.pasted, "a") << box.id;
    }
    EXPECT_EQ(chosen, "[space]");
}

TEST(ImportDlg, AStoredIdIsOverwrittenOnlyWhileItsBoxIsChecked)
{
    std::string file = TempFile("vistrel-stored-id.txt", "0;Imported\r\n");
    for (bool checked : { false, true }) {
        ScopedProfile profile("ImportOverwriteId");
        CMovieCollection collection;
        CMovie stored;
        StrSet(&stored.m_title, "Stored");
        ASSERT_EQ(0u, collection.AddMovie(&stored, false));
        DialogDriver driver([&](HWND dlg) {
            if (WindowCaption(dlg) == "Import text") {
                if (checked)
                    ::SendDlgItemMessage(dlg, IDC_IMPORT_OVERWRITE_ID, BM_CLICK, 0, 0);
                MapFields(dlg, {"ID", "Title"});
                return;
            }
            SetItemText(dlg, IDC_IMPORT_FILE, file.c_str());
            SetItemText(dlg, IDC_IMPORT_TEXTDIV, ";");
            Click(dlg, IDC_IMPORT_RUN);
            Click(dlg, IDC_IMPORT_ADD_ALL);
            PostClick(dlg, IDOK);
        });
        CImportDlg dlg;
        dlg.SetCollection(&collection);
        EXPECT_EQ(IDOK, dlg.DoModal());
        CMovie* movie = collection.GetMovieCopy(0);
        ASSERT_NE(movie, nullptr);
        EXPECT_STREQ(movie->m_title, checked ? "Imported" : "Stored");
        collection.ReleaseMovieCopy(&movie);
        EXPECT_EQ(collection.GetMovieCount(), checked ? 1u : 2u);
        EXPECT_EQ(AfxGetApp()->GetProfileInt("import_text", "overwrite_id", 7), checked ? 1u : 0u);
    }
    ::DeleteFileA(file.c_str());
}

namespace {

int ProfilePriority(const char* section, const char* entry, int defaultValue)
{
    return int(AfxGetApp()->GetProfileInt(section, entry, defaultValue));
}

// The plug-in manager on a folder of the test plug-ins of our choice; the
// dialogs' own plug-in comes back afterwards.
class PluginFolder {
public:
    explicit PluginFolder(std::vector<const char*> names)
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "vistrel-plugin-dialog\\";
        ::CreateDirectoryA(m_folder.c_str(), NULL);
        for (const char* name : names)
            Add(name);
        thePluginManager.SetProfileIntReader(ProfilePriority);
        thePluginManager.SetPluginFolder(m_folder.c_str());
        thePluginManager.LoadPlugins();
    }
    ~PluginFolder()
    {
        thePluginManager.UnloadPlugins();
        for (const std::string& path : m_copies)
            ::DeleteFileA(path.c_str());
        ::RemoveDirectoryA(m_folder.c_str());
        thePluginManager.SetProfileIntReader(NULL);
        thePluginManager.SetPluginFolder((WindowsPath(VISTREL_SCAN_PLUGIN_DIR) + "\\").c_str());
        thePluginManager.LoadPlugins();
    }
    void Add(const char* name)
    {
        std::string from = WindowsPath(VISTREL_TEST_PLUGIN_DIR) + "\\" + name;
        m_copies.push_back(m_folder + name);
        ::CopyFileA(from.c_str(), m_copies.back().c_str(), FALSE);
    }

private:
    std::string m_folder;
    std::vector<std::string> m_copies;
};

std::string WhoAnswers(const char* path)
{
    MediaFormat format;
    InitMediaFormat(format);
    std::string kind;
    if (thePluginManager.ReadFileInfo(format, path))
        kind = format.kindName != NULL ? format.kindName : "";
    FreeMediaFormat(format);
    return kind;
}

} // namespace

TEST(ConfigurePlugins, ArrowsSortingDoneAndCancel)
{
    ScopedProfile profile("PluginDialog");
    PluginFolder folder({"tp_prio10.dll", "tp_prio5.dll", "tp_off.dll"});
    AfxGetApp()->WriteProfileInt("plugins", "tp_prio10.dll", 0);
    AfxGetApp()->WriteProfileInt("plugins", "tp_prio5.dll", 5);
    AfxGetApp()->WriteProfileInt("plugins", "tp_off.dll", -9);
    thePluginManager.LoadPlugins();
    ASSERT_EQ(thePluginManager.GetCount(), 3);
    ASSERT_EQ(WhoAnswers("C:\\film.avi"), "prio10");

    std::vector<std::string> names, prioritiesByText, reversed, formats;
    std::string disabledText, enabledText, moreInfo;
    DialogDriver driver([&](HWND dlg) {
        names = ListColumn(dlg, IDC_PLUGINS_LIST, 0);
        formats = ListColumn(dlg, IDC_PLUGINS_LIST, 3);
        // Sorted by priority text: "-"... no: "0" < "5" < "Disable(d)".
        ClickHeader(dlg, 2);
        prioritiesByText = ListColumn(dlg, IDC_PLUGINS_LIST, 2);
        ClickHeader(dlg, 2);
        reversed = ListColumn(dlg, IDC_PLUGINS_LIST, 2);
        // The disabled plug-in (stored -9) is last when reversed is undone.
        ClickHeader(dlg, 0);
        SelectItem(dlg, IDC_PLUGINS_LIST, 1);  // tp_prio10.dll, priority 0
        ClickArrow(dlg, false);
        disabledText = ItemText(dlg, IDC_PLUGINS_PRIORITY);
        SelectItem(dlg, IDC_PLUGINS_LIST, 0);  // tp_off.dll, stored -9
        ClickArrow(dlg, true);
        enabledText = ItemText(dlg, IDC_PLUGINS_PRIORITY);
        AfxSetMessageBoxRecording(true, IDOK);
        Click(dlg, IDC_PLUGINS_MORE_INFO);
        moreInfo = LastBox();
        PostClick(dlg, IDOK);
    });
    thePluginManager.ConfigurePlugins();

    EXPECT_EQ(names, (std::vector<std::string>{"tp_off.dll", "tp_prio10.dll", "tp_prio5.dll"}));
    EXPECT_EQ(formats, (std::vector<std::string>{"", "Avi file (*.avi), ", "Avi file (*.avi), Mpeg file (*.mpg), "}));
    EXPECT_EQ(prioritiesByText, (std::vector<std::string>{"0", "5", "Disable"}));
    EXPECT_EQ(reversed, (std::vector<std::string>{"Disable", "5", "0"}));
    EXPECT_EQ(disabledText, "Disable");
    EXPECT_EQ(enabledText, "0");
    EXPECT_EQ(moreInfo, "Plugin: tp_off.dll\n\nFormats:\n\n\nDescription:\noff");
    // After Done the disabled plug-in is no longer asked.
    EXPECT_EQ(AfxGetApp()->GetProfileInt("plugins", "tp_prio10.dll", 7), UINT(-1));
    EXPECT_EQ(AfxGetApp()->GetProfileInt("plugins", "tp_off.dll", 7), 0u);
    EXPECT_EQ(WhoAnswers("C:\\film.avi"), "off");

    // Cancel keeps the manager and the profile; Rescan shows a new file.
    size_t rowsAfterRescan = 0;
    DialogDriver cancel([&](HWND dlg) {
        SelectItem(dlg, IDC_PLUGINS_LIST, 0);
        ClickArrow(dlg, true);
        folder.Add("tp_nullslots.dll");
        Click(dlg, IDC_PLUGINS_RESCAN);
        rowsAfterRescan = ListColumn(dlg, IDC_PLUGINS_LIST, 0).size();
        SelectItem(dlg, IDC_PLUGINS_LIST, 0);
        ClickArrow(dlg, true);
        PostClick(dlg, IDCANCEL);
    });
    thePluginManager.ConfigurePlugins();
    EXPECT_EQ(rowsAfterRescan, 4u);
    // The step before Rescan was stored by it; the one after was cancelled.
    EXPECT_EQ(AfxGetApp()->GetProfileInt("plugins", "tp_nullslots.dll", 7), 7u);
    EXPECT_EQ(AfxGetApp()->GetProfileInt("plugins", "tp_off.dll", 7), 1u);
}

TEST(ConfigurePlugins, NoPluginsGivesAnEmptyListAndASilentMoreInfo)
{
    ScopedProfile profile("PluginDialogEmpty");
    PluginFolder folder({});
    std::string before = "unchanged";
    AfxSetMessageBoxRecording(true, IDOK);
    AfxShowMessageBox(NULL, before.c_str(), "", MB_OK);
    size_t rows = 99;
    DialogDriver driver([&](HWND dlg) {
        rows = ListColumn(dlg, IDC_PLUGINS_LIST, 0).size();
        ClickArrow(dlg, true);
        Click(dlg, IDC_PLUGINS_MORE_INFO);
        PostClick(dlg, IDOK);
    });
    thePluginManager.ConfigurePlugins();
    EXPECT_EQ(rows, 0u);
    EXPECT_EQ(LastBox(), before);
}

// Shown for screenshots only: each dialog filled as a user would see it.
TEST(ImportDlg, DISABLED_ShowcaseImport)
{
    ScopedProfile profile("ImportShowcase");
    AfxGetApp()->WriteProfileString("import_text", "field1", "ID");
    AfxGetApp()->WriteProfileString("import_text", "field2", "Title");
    AfxGetApp()->WriteProfileString("import_text", "field3", "Movie genre");
    CMovieCollection collection;
    bool showText = ::getenv("SHOWCASE_TEXT") != nullptr;
    DialogDriver driver([&](HWND dlg) {
        if (WindowCaption(dlg) == "Import text") {
            if (!showText)
                Click(dlg, IDOK);
            return;
        }
        SetItemText(dlg, IDC_IMPORT_FILE, Fixture("semicolon.txt").c_str());
        SetItemText(dlg, IDC_IMPORT_TEXTDIV, ";");
        SetItemText(dlg, IDC_IMPORT_STRINGDIV, "\"");
        Click(dlg, IDC_IMPORT_RUN);
    });
    CImportDlg dlg;
    dlg.SetCollection(&collection);
    dlg.DoModal();
}

TEST(ConfigurePlugins, DISABLED_Showcase)
{
    ScopedProfile profile("PluginShowcase");
    PluginFolder folder({"tp_prio10.dll", "tp_prio5.dll", "tp_off.dll"});
    DialogDriver driver([&](HWND dlg) { SelectItem(dlg, IDC_PLUGINS_LIST, 1); });
    thePluginManager.ConfigurePlugins();
}
