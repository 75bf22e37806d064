#include "app/MainFrame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/CdromAdder.h"
#include "app/ConfigureListingDlg.h"
#include "app/FileAdder.h"
#include "app/ListingPrinter.h"
#include "app/MovieApp.h"
#include "app/PrintSetupDlg.h"
#include "app/ProgressWindow.h"
#include "classlib/CmdUI.h"
#include "classlib/FileDialog.h"
#include "classlib/WinApp.h"
#include "dialogs/AddCdromDlg.h"
#include "dialogs/ImportDlg.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/CompareDbDlg.h"
#include "dialogs/ConfigureDlg.h"
#include "dialogs/ComparedDbDlg.h"
#include "dialogs/ManagePersonsDlg.h"
#include "dialogs/MassUpdateImdbDlg.h"
#include "dialogs/MovieInfoDlg.h"
#include "dialogs/SearchDlg.h"
#include "dialogs/SortByCustomDlg.h"
#include "export/ExportDlg.h"
#include "export/SortKeys.h"
#include "dialogs/WaitDlg.h"
#include "core/DatabaseFile.h"
#include "core/ErrorBox.h"
#include "core/PluginManager.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "net/InternetConfigDlg.h"
#include "net/InternetSettings.h"
#include "resources/resource.h"

namespace {

const char kTitle[] = "vistrel v1.3.5.2";
const char kUnsavedQuestion[] =
    "You have not saved the current database.\nAll current changes will be lost.";
const char kCrashQuestion[] =
    "It seams you had a crash last time.\nI have some saved data here, should I open it ?";
const char kFilter[] = "Vistrel files (*.vdb)|*.vdb|All Files (*.*)|*.*||";

const int kFileMenu = 0;
const int kSortMenu = 3;

const BYTE kSortId = 44;
const BYTE kSortTitle = 55;
const BYTE kSortType = 66;
const BYTE kSortGenre = 77;
const BYTE kSortCustom = 88;

const UINT kSortKeyItems[] = { ID_SORT_ID, ID_SORT_TITLE, ID_SORT_TYPE, ID_SORT_GENRE,
                               ID_SORT_CUSTOM };
const BYTE kSortKeyCodes[] = { kSortId, kSortTitle, kSortType, kSortGenre, kSortCustom };

const UINT kIndicators[] = { ID_SEPARATOR, ID_INDICATOR_TOTALS };

// The sort keys read the user's custom script from the cache.
const char* CachedCustomSortScript()
{
    return LoadSaveCustomSortScript(CUSTOM_SORT_GET);
}

int ProfileInt(const char* section, const char* entry, int defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app != NULL ? int(app->GetProfileInt(section, entry, defaultValue)) : defaultValue;
}

} // namespace

// The question a starting program asks the windows: the main window of a
// running one answers with the message's own number.
const UINT UWM_ARE_YOU_ME =
    ::RegisterWindowMessageA("UWM_ARE_YOU_ME-{7FC7AE6E-570B-4a1d-9FD5-7DE461B42230}");

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_REGISTERED_MESSAGE(UWM_ARE_YOU_ME, OnAreYouMe)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND(ID_MOVIE_PROPERTIES, OnMovieProperties)
    ON_UPDATE_COMMAND_UI(ID_MOVIE_PROPERTIES, OnUpdateMovieProperties)
    ON_COMMAND(ID_MOVIE_DELETE, OnMovieDelete)
    ON_UPDATE_COMMAND_UI(ID_MOVIE_DELETE, OnUpdateMovieDelete)
    ON_COMMAND(ID_VIEW_MOVIES, OnViewMovies)
    ON_UPDATE_COMMAND_UI(ID_VIEW_MOVIES, OnUpdateViewMovies)
    ON_COMMAND(ID_VIEW_DRIVES, OnViewDrives)
    ON_UPDATE_COMMAND_UI(ID_VIEW_DRIVES, OnUpdateViewDrives)
    ON_COMMAND(ID_VIEW_LISTING, OnViewListing)
    ON_COMMAND(ID_VIEW_CUSTOMIZE, OnViewCustomize)
    ON_COMMAND_RANGE(ID_SORT_ID, ID_SORT_ID, OnSortKey)
    ON_COMMAND_RANGE(ID_SORT_TITLE, ID_SORT_GENRE, OnSortKey)
    ON_COMMAND_RANGE(ID_SORT_ASCENDING, ID_SORT_ASCENDING, OnSortDirection)
    ON_COMMAND_RANGE(ID_SORT_DESCENDING, ID_SORT_DESCENDING, OnSortDirection)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateFilePrint)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnPrintSetup)
    ON_COMMAND(ID_ADD_CDROM, OnAddCdrom)
    ON_COMMAND(ID_ADD_FILE, OnAddFile)
    ON_COMMAND(ID_ADD_MOVIE, OnAddMovie)
    ON_COMMAND(ID_FILE_IMPORT, OnFileImport)
    ON_COMMAND(ID_CONFIGURE_PLUGINS, OnConfigurePlugins)
    ON_COMMAND(ID_MANAGE_PERSONS, OnManagePersons)
    ON_COMMAND(ID_SEARCH, OnSearch)
    ON_COMMAND(ID_COMPARE_DATABASES, OnCompareDatabases)
    ON_COMMAND(ID_CONFIGURE, OnConfigure)
    ON_COMMAND(ID_SORT_CUSTOM, OnSortCustom)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_EXPORT, OnFileExport)
    ON_COMMAND(ID_INTERNET_SETTINGS, OnInternetSettings)
    ON_COMMAND(ID_MASS_UPDATE_IMDB, OnMassUpdateImdb)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
    : m_programFolder(NULL),
      m_crashPath(NULL),
      m_restored(0),
      m_viewStyle(1),
      m_sortKey(kSortTitle),
      m_ascending(1),
      m_recentFiles(AfxGetApp()),
      m_crashDataPending(false),
      m_normalEnd(false)
{
}

CMainFrame::~CMainFrame()
{
    if (CWinApp* app = AfxGetApp()) {
        app->WriteProfileInt("menu", "loadstyle", m_viewStyle);
        app->WriteProfileInt("menu", "loadsort", m_sortKey);
        app->WriteProfileInt("menu", "loadsortasc", m_ascending);
        SetCustomSortScriptSource(NULL);
        LoadSaveCustomSortScript(CUSTOM_SORT_SAVE);
    }
    // Only a confirmed end lets the crash copy go; any other end keeps it
    // for the next start, with its note.
    if (m_crashPath != NULL && m_normalEnd)
        DeleteScratchDatabase();
    free(m_crashPath);
    free(m_programFolder);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = AfxRegisterWndClass(0);
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_pane.Create(NULL, NULL, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                       AFX_IDW_PANE_FIRST))
        return -1;

    std::string folder = GetModulePath();
    size_t slash = folder.find_last_of('\\');
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    StrSet(&m_programFolder, folder.c_str());
    StrSet(&m_crashPath, (folder + "saved.bak").c_str());
    SetScratchDatabasePath(m_crashPath);

    OfferCrashCopy();

    LoadSaveCustomSortScript(CUSTOM_SORT_LOAD);
    SetCustomSortScriptSource(CachedCustomSortScript);
    int style = ProfileInt("menu", "loadstyle", 1);
    int sortKey = ProfileInt("menu", "loadsort", kSortTitle);
    int ascending = ProfileInt("menu", "loadsortasc", 1);
    // A stored style that names no view is kept as it is (a byte).
    m_viewStyle = BYTE(style >= 0 && style <= 255 ? style : 2);
    BuildRecentMenu();

    switch (m_viewStyle) {
    case 0:
        m_pane.m_pendingTree = 1;
        SetViewMenuState(ID_VIEW_DRIVES, false);
        break;
    case 1:
        m_pane.m_pendingPaintedList = 1;
        SetViewMenuState(ID_VIEW_MOVIES, true);
        break;
    case 3:
        m_pane.m_pendingTreeList = 1;
        SetViewMenuState(ID_VIEW_LISTING, false);
        break;
    default:
        SetViewMenuState(0, true);
        break;
    }

    m_sortKey = kSortTitle;
    for (BYTE code : kSortKeyCodes) {
        if (sortKey == code)
            m_sortKey = code;
    }
    m_ascending = ascending == 1 ? 1 : 0;
    CheckSortMenu();
    m_pane.SetSortOrder(m_sortKey, m_ascending);

    if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT,
                            WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS
                                | CBRS_FLYBY | CBRS_SIZE_DYNAMIC)
        || !m_toolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_statusBar.Create(this)
        || !m_statusBar.SetIndicators(kIndicators, int(sizeof(kIndicators) / sizeof(kIndicators[0]))))
        return -1;
    m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_toolBar);

    SetWindowText(kTitle);
    return 0;
}

// A crash copy beside the program means the last run did not end normally.
void CMainFrame::OfferCrashCopy()
{
    FILE* file = fopen(m_crashPath, "rb");
    if (file == NULL) {
        theCollection.Clear();
        return;
    }
    fclose(file);
    if (AfxMessageBox(kCrashQuestion, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    CLoadProgressWindow progress(this);
    if (theCollection.Load(m_crashPath, &progress)) {
        m_restored = 1;
        m_crashDataPending = true;
    }
}

LRESULT CMainFrame::OnAreYouMe(WPARAM, LPARAM)
{
    return UWM_ARE_YOU_ME;
}

// ---------------------------------------------------------------------------
// The current database

bool CMainFrame::IsCatalogueUnsaved()
{
    return m_crashDataPending || !theCollection.IsSaved();
}

const char* CMainFrame::CurrentFileName()
{
    // Kept in the frame: valid until the next call.
    m_currentName = theCollection.GetFileName();
    if (m_currentName.empty())
        return NULL;
    // The crash copy is no file of the user's: it goes at the end of the run.
    if (m_crashPath != NULL && CRecentFileList::SameFile(m_currentName.c_str(), m_crashPath))
        return NULL;
    return m_currentName.c_str();
}

bool CMainFrame::ConfirmDiscard()
{
    if (!IsCatalogueUnsaved())
        return true;
    return MessageBox(kUnsavedQuestion, "Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

void CMainFrame::WriteLastFile()
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileString("open", "last", CurrentFileName());
}

void CMainFrame::WriteCrashCopy()
{
    if (m_crashPath != NULL)
        theCollection.Save(m_crashPath, true);
}

void CMainFrame::RefillViews()
{
    m_pane.FillTree();
    m_pane.FillList();
    m_pane.UpdateMovieList();
}

bool CMainFrame::LoadDatabase(const char* path)
{
    if (m_restored) {
        // The restored catalogue stands in for the file named at start-up.
        m_restored = 0;
        return true;
    }
    // A path relative to the current folder (typed on a command line) is
    // made absolute, so that "last" and the recent list find it again.
    std::string full = CRecentFileList::FullPath(path);
    CLoadProgressWindow progress(this);
    if (full.empty() || !theCollection.Load(full.c_str(), &progress)) {
        ShowError(0, "Unable to load database from file, %s", path != NULL ? path : "");
        return false;
    }
    m_crashDataPending = false;
    AddRecentFile(full.c_str());
    WriteCrashCopy();
    RefillViews();
    return true;
}

void CMainFrame::OnFileNew()
{
    if (!ConfirmDiscard())
        return;
    theCollection.Clear();
    m_crashDataPending = false;
    RefillViews();
}

void CMainFrame::OnFileOpen()
{
    if (!ConfirmDiscard())
        return;
    CFileDialog dialog(TRUE, "vdb", CurrentFileName(),
                       OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, kFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    m_restored = 0;
    LoadDatabase(dialog.GetPathName().c_str());
}

void CMainFrame::OnFileSave()
{
    const char* name = CurrentFileName();
    if (name == NULL) {
        OnFileSaveAs();
        return;
    }
    std::string path = name;
    if (theCollection.Save(path.c_str(), false))
        m_crashDataPending = false;
    else
        ShowError(0, "Unable to save database to file, %s", path.c_str());
}

void CMainFrame::OnUpdateFileSave(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsCatalogueUnsaved());
}

void CMainFrame::OnFileSaveAs()
{
    CFileDialog dialog(FALSE, "vdb", CurrentFileName(),
                       OFN_LONGNAMES | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY
                           | OFN_OVERWRITEPROMPT,
                       kFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    std::string path = dialog.GetPathName();
    if (theCollection.Save(path.c_str(), false)) {
        m_crashDataPending = false;
        AddRecentFile(path.c_str());
    } else {
        ShowError(0, "Unable to save database to file, %s", path.c_str());
    }
}

// ---------------------------------------------------------------------------
// Recent files

void CMainFrame::AddRecentFile(const char* path)
{
    m_recentFiles.Add(path);
    BuildRecentMenu();
}

void CMainFrame::BuildRecentMenu()
{
    HMENU menu = GetMenu();
    if (menu != NULL)
        m_recentFiles.UpdateMenu(GetSubMenu(menu, kFileMenu));
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == 0 && id >= UINT(CRecentFileList::kFirstCommand)
        && id < UINT(CRecentFileList::kFirstCommand + CRecentFileList::kMaxEntries)) {
        // The path comes from the list itself; the menu text is for show.
        std::string path = m_recentFiles.GetEntry(int(id) - CRecentFileList::kFirstCommand + 1);
        if (!path.empty() && ConfirmDiscard()) {
            m_restored = 0;
            if (!LoadDatabase(path.c_str())) {
                m_recentFiles.Remove(path.c_str());
                BuildRecentMenu();
            }
        }
        return TRUE;
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

// ---------------------------------------------------------------------------
// Close and exit

void CMainFrame::OnClose()
{
    if (!ConfirmDiscard())
        return;
    WriteLastFile();
    m_normalEnd = true;
    CFrameWnd::OnClose();
}

void CMainFrame::OnAppExit()
{
    if (!ConfirmDiscard())
        return;
    WriteLastFile();
    m_normalEnd = true;
    m_pane.DestroyWindow();
    m_statusBar.DestroyWindow();
    m_toolBar.DestroyWindow();
    PostQuitMessage(0);
    DestroyWindow();  // the frame deletes itself here
}

// ---------------------------------------------------------------------------
// Views and sorting

void CMainFrame::SetViewMenuState(UINT checkedId, bool sortEnabled)
{
    HMENU menu = GetMenu();
    if (menu == NULL)
        return;
    const UINT items[] = { ID_VIEW_MOVIES, ID_VIEW_DRIVES, ID_VIEW_LISTING };
    for (UINT item : items)
        CheckMenuItem(menu, item, MF_BYCOMMAND | (item == checkedId ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(menu, kSortMenu, MF_BYPOSITION | (sortEnabled ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar();
}

void CMainFrame::CheckSortMenu()
{
    HMENU menu = GetMenu();
    if (menu == NULL)
        return;
    for (size_t i = 0; i < sizeof(kSortKeyItems) / sizeof(kSortKeyItems[0]); ++i) {
        CheckMenuItem(menu, kSortKeyItems[i],
                      MF_BYCOMMAND | (kSortKeyCodes[i] == m_sortKey ? MF_CHECKED : MF_UNCHECKED));
    }
    CheckMenuItem(menu, ID_SORT_ASCENDING, MF_BYCOMMAND | (m_ascending ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, ID_SORT_DESCENDING, MF_BYCOMMAND | (m_ascending ? MF_UNCHECKED : MF_CHECKED));
}

void CMainFrame::OnViewMovies()
{
    m_viewStyle = 1;
    m_pane.ShowMovies();
    SetViewMenuState(ID_VIEW_MOVIES, true);
}

void CMainFrame::OnUpdateViewMovies(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_viewStyle != 1);
}

void CMainFrame::OnViewDrives()
{
    m_viewStyle = 0;
    m_pane.CreateTree();
    SetViewMenuState(ID_VIEW_DRIVES, false);
}

void CMainFrame::OnUpdateViewDrives(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_viewStyle != 0);
}

void CMainFrame::OnViewListing()
{
    m_viewStyle = 3;
    m_pane.CreateList();
    SetViewMenuState(ID_VIEW_LISTING, false);
}

void CMainFrame::OnSortKey(UINT id)
{
    BYTE key = kSortTitle;
    for (size_t i = 0; i < sizeof(kSortKeyItems) / sizeof(kSortKeyItems[0]); ++i) {
        if (kSortKeyItems[i] == id)
            key = kSortKeyCodes[i];
    }
    if (!m_pane.IsListShown() || key == m_sortKey)
        return;
    m_sortKey = key;
    m_pane.SetSortOrder(m_sortKey, m_ascending);
    CheckSortMenu();
}

void CMainFrame::OnSortCustom()
{
    if (!m_pane.IsListShown())
        return;
    CSortByCustomDlg dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    // Sorted again even when the custom key was in use: the script changed.
    m_sortKey = kSortCustom;
    m_pane.SetSortOrder(m_sortKey, m_ascending);
    CheckSortMenu();
}

void CMainFrame::OnSortDirection(UINT id)
{
    BYTE ascending = id == ID_SORT_ASCENDING ? 1 : 0;
    if (!m_pane.IsListShown() || ascending == m_ascending)
        return;
    m_ascending = ascending;
    m_pane.SetSortOrder(m_sortKey, m_ascending);
    CheckSortMenu();
}

void CMainFrame::OnViewNotify(int kind, DWORD id)
{
    switch (kind) {
    case VIEW_NOTIFY_MOVIE:
        OnViewMovies();
        m_pane.SelectMovie(id);
        break;
    case VIEW_NOTIFY_DISC:
        OnViewDrives();
        m_pane.SelectDisc(id);
        break;
    case VIEW_NOTIFY_FILE:
        OnViewDrives();
        m_pane.SelectFile(id);
        break;
    default:
        break;
    }
}

void CMainFrame::UpdateTotals()
{
    if (m_statusBar.m_hWnd == NULL)
        return;
    int index = m_statusBar.CommandToIndex(ID_INDICATOR_TOTALS);
    if (index < 0)
        return;
    char text[64];
    if (m_pane.GetViewMode())
        std::snprintf(text, sizeof(text), "Total discs: %ld", long(theCollection.GetDiscCount()));
    else
        std::snprintf(text, sizeof(text), "Total movies: %ld", long(theCollection.GetMovieCount()));

    SIZE size = { 0, 0 };
    HDC dc = ::GetDC(m_statusBar.m_hWnd);
    if (dc != NULL) {
        HGDIOBJ old = SelectObject(dc, m_statusBar.GetFont());
        GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
        SelectObject(dc, old);
        ::ReleaseDC(m_statusBar.m_hWnd, dc);
    }
    UINT id = 0, style = 0;
    int width = 0;
    m_statusBar.GetPaneInfo(index, id, style, width);
    m_statusBar.SetPaneInfo(index, id, style, size.cx);
    m_statusBar.SetPaneText(index, text);
}

// ---------------------------------------------------------------------------
// Commands that work on the selection of the painted list

void CMainFrame::OnMovieProperties()
{
    if (m_pane.GetSelectedCount() == 1)
        m_pane.ShowSelectedMovieInfo();
}

void CMainFrame::OnUpdateMovieProperties(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pane.GetSelectedCount() == 1);
}

void CMainFrame::OnMovieDelete()
{
    if (m_pane.GetSelectedCount() > 0)
        m_pane.DeleteSelected();
}

void CMainFrame::OnUpdateMovieDelete(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pane.GetSelectedCount() > 0);
}

void CMainFrame::OnFileImport()
{
    CImportDlg dialog(this);
    dialog.DoModal();
    // Rows may have been added before the dialog ended, whatever its result.
    RefillViews();
    UpdateTotals();
}

void CMainFrame::OnManagePersons()
{
    CManagePersonsDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnSearch()
{
    CSearchDlg dialog(this);
    if (dialog.DoModal() == IDOK || dialog.IsChanged())
        m_pane.FillList();
}

void CMainFrame::OnCompareDatabases()
{
    CCompareDbDlg choose(this);
    if (choose.DoModal() != IDOK)
        return;
    CComparedDbDlg compared(this);
    compared.SetCompareSource(choose.GetOtherCollection(), choose.GetTemplate());
    compared.DoModal();
    if (compared.IsCurrentChanged()) {
        m_pane.FillList();
        m_pane.FillTree();
        m_pane.UpdateMovieList();
    }
}

void CMainFrame::OnMassUpdateImdb()
{
    // The catalogue is written as it was before the run and, when the run
    // changed it, as it is after.
    WriteCrashCopy();
    CMassUpdateImdbDlg dialog(this);
    dialog.DoModal();
    if (!theCollection.IsSaved()) {
        WriteCrashCopy();
        RefillViews();
    }
}

void CMainFrame::OnConfigure()
{
    CConfigureDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnInternetSettings()
{
    CInternetConfigDlg dialog(this);
    if (dialog.DoModal() == IDOK)
        LoadInternetSettings();
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnFileExport()
{
    CExportDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnConfigurePlugins()
{
    thePluginManager.ConfigurePlugins();
}

void CMainFrame::OnFilePrint()
{
    PrintMovieListing(m_pane, this);
}

void CMainFrame::OnUpdateFilePrint(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pane.IsListShown());
}

// The design is stored after OK only; the pane then loads it and paints
// its boxes again.
void CMainFrame::OnViewCustomize()
{
    CConfigureListingDlg dialog(this);
    dialog.CreateLayout();
    if (dialog.DoModal() != IDOK)
        return;
    dialog.SaveLayout();
    m_pane.GetCellLayout()->Load();
}

void CMainFrame::OnPrintSetup()
{
    CPrintSetupDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnAddFile()
{
    AddFiles(this, NULL);
}

bool CMainFrame::AddFiles(CWnd* owner, CMovie* movie)
{
    std::vector<std::string> paths;
    if (!ChooseMediaFiles(owner, NULL, &paths))
        return false;
    bool added = false;
    bool ok = AddFilePaths(paths, movie, &added);
    if (movie == NULL && added) {
        RefillViews();
        UpdateTotals();
    }
    return ok;
}

void CMainFrame::OnAddMovie()
{
    CMovieInfoDlg dialog(this);
    dialog.SetMovie(NULL, NULL, false);
    if (dialog.DoModal() == IDOK)
        dialog.SaveToDatabase(&m_pane, NULL, kNoEntry);
    UpdateTotals();
}

void CMainFrame::OnAddCdrom()
{
    bool attempted = false;
    for (;;) {
        CAddCdromDlg dialog(this);
        if (dialog.DoModal() != IDOK)
            break;
        attempted = true;
        {
            CWaitDlg wait;
            wait.SetText("Processing CD-ROM/DVD");
            wait.Show();
            AddCdromDisc(dialog.GetDriveLetter(), dialog.GetEject());
            wait.Close();
        }
        if (!dialog.GetShowAgain())
            break;
    }
    // The views are filled once, after the last disc.
    if (attempted) {
        m_pane.FillList();
        m_pane.FillTree();
        m_pane.UpdateMovieList();
        UpdateTotals();
    }
}
