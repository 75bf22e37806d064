// The main window: menu, tool bar, status bar with the totals, and the one
// pane that shows the catalogue. It routes the menu commands, owns the
// current-database workflow (new, open, save, recent files, close, exit),
// keeps the view and sort settings, and keeps a silent copy of the
// catalogue, "saved.bak", beside the program while it runs: a run that ends
// abnormally leaves it behind and the next start offers it back.
#pragma once

#include <string>

#include "app/MovieListView.h"
#include "app/RecentFiles.h"
#include "classlib/FrameWnd.h"
#include "classlib/StatusBar.h"
#include "classlib/ToolBar.h"
#include "core/WinTypes.h"

class CCmdUI;

// Kinds of CMainFrame::OnViewNotify.
enum {
    VIEW_NOTIFY_MOVIE = 100,
    VIEW_NOTIFY_FILE = 200,
    VIEW_NOTIFY_DISC = 230
};

class CMovie;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    // The class's name in the program's run-time class information.
    static const char* GetRuntimeClassName() { return "CMainFrame"; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Opens a database into the collection. Skipped once (answering true)
    // right after the crash copy was restored at start-up.
    bool LoadDatabase(const char* path);
    // Shows a movie (kind 100), disc (230) or file (200) in its view.
    void OnViewNotify(int kind, DWORD id);
    // Adds media files chosen in the open-file dialog over owner: to the
    // movie when one is given, else each into the movie that takes it.
    // False when the dialog was cancelled or the run could not go on.
    bool AddFiles(CWnd* owner, CMovie* movie);
    // Shows the number of discs (drives tree) or movies in the status bar.
    void UpdateTotals();
    void AddRecentFile(const char* path);
    void BuildRecentMenu();

    CMovieListView* GetPane() { return &m_pane; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnClose();
    LRESULT OnAreYouMe(WPARAM wParam, LPARAM lParam);

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnUpdateFileSave(CCmdUI* pCmdUI);
    void OnFileSaveAs();
    void OnAppExit();
    void OnMovieProperties();
    void OnUpdateMovieProperties(CCmdUI* pCmdUI);
    void OnMovieDelete();
    void OnUpdateMovieDelete(CCmdUI* pCmdUI);
    void OnViewMovies();
    void OnUpdateViewMovies(CCmdUI* pCmdUI);
    void OnViewDrives();
    void OnUpdateViewDrives(CCmdUI* pCmdUI);
    void OnViewListing();
    void OnViewCustomize();
    void OnSortKey(UINT id);
    void OnSortDirection(UINT id);
    // Commands whose dialogs the program doesn't have yet: routed here and
    // kept disabled.
    void OnAddCdrom();
    void OnAddFile();
    void OnAddMovie();
    void OnFilePrint();
    void OnUpdateFilePrint(CCmdUI* pCmdUI);
    void OnPrintSetup();
    void OnFileImport();
    void OnConfigurePlugins();
    void OnManagePersons();
    void OnSearch();
    void OnCompareDatabases();
    void OnMassUpdateImdb();
    void OnConfigure();
    void OnSortCustom();
    void OnAppAbout();
    void OnFileExport();
    void OnInternetSettings();

    DECLARE_MESSAGE_MAP()

private:
    // The unsaved-changes question; true to go on.
    bool ConfirmDiscard();
    // Whether the catalogue has changes that no file holds.
    bool IsCatalogueUnsaved();
    // The collection's file name, or NULL when it has none of its own.
    // The catalogue's file name, NULL for none or for the crash copy.
    const char* CurrentFileName();
    std::string m_currentName;
    void WriteLastFile();
    void WriteCrashCopy();
    void RefillViews();
    void SetViewMenuState(UINT checkedId, bool sortEnabled);
    void CheckSortMenu();
    void OfferCrashCopy();

    char* m_programFolder;   // with its trailing backslash
    char* m_crashPath;       // the program folder + "saved.bak"
    BYTE m_restored;         // skip the next LoadDatabase once
    BYTE m_viewStyle;        // 0 drives tree, 1 painted list, 3 tree list
    BYTE m_sortKey;          // 44, 55, 66, 77 or 88
    BYTE m_ascending;
    CStatusBar m_statusBar;
    CToolBar m_toolBar;
    CMovieListView m_pane;

    CRecentFileList m_recentFiles;
    // The restored crash copy is held nowhere else: it counts as unsaved
    // until it is saved or replaced.
    bool m_crashDataPending;
    // The end was confirmed (Exit or the close box): only then is the crash
    // copy deleted with the frame.
    bool m_normalEnd;
};
