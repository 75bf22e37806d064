// Helpers of the movie information dialog's tests: stored records, the
// pages' windows and their controls, and a painted list to write back into.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "app/MovieListView.h"
#include "classlib/Geometry.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/MovieDlg_0.h"
#include "dialogs/MovieInfoDlg.h"
#include "resources/resource.h"

inline DWORD StoreMovie(const char* title, WORD year = 0, CMovieCollection& collection = theCollection)
{
    CMovie movie;
    StrSet(&movie.m_title, title);
    movie.m_imdbInfo.reset(new CImdbInfo);
    movie.m_imdbInfo->m_year = year;
    return collection.AddMovie(&movie, false);
}

inline std::string StoredTitle(DWORD id)
{
    CMovie* movie = theCollection.GetMovieCopy(id);
    std::string title = movie != nullptr && movie->m_title != nullptr ? movie->m_title : "<none>";
    theCollection.ReleaseMovieCopy(&movie);
    return title;
}

inline DWORD StoreFile(const char* name, int32_t part, CMovieCollection& collection = theCollection)
{
    CMovieFile file;
    StrSet(&file.m_folder, "\\Films\\");
    StrSet(&file.m_fileName, name);
    StrSet(&file.m_movieTitle, "Heist");
    file.m_partNumber = part;
    return collection.AddFile(&file);
}

inline int32_t PartNumber(DWORD fileId)
{
    CMovieFile* file = theCollection.GetFileCopy(fileId);
    int32_t part = file != nullptr ? file->m_partNumber : -2;
    theCollection.ReleaseFileCopy(&file);
    return part;
}

// The dialog on a copy of the stored movie, handed back at once.
inline void OpenOn(CMovieInfoDlg& dlg, DWORD id, CMovieCollection& collection = theCollection,
                   bool readOnly = false)
{
    dlg.SetStoredMovie(&collection, id, readOnly);
}

inline HWND PageOf(CMovieInfoDlg& dlg, int index)
{
    return dlg.GetPage(index)->m_hWnd;
}

// The page of a movie dialog window that holds the control.
inline HWND PageWith(HWND dialog, int control)
{
    HWND page = GetWindow(GetDlgItem(dialog, IDC_MOVIEINFO_PAGE), GW_CHILD);
    while (page != NULL && GetDlgItem(page, control) == NULL)
        page = GetWindow(page, GW_HWNDNEXT);
    return page;
}

inline std::vector<std::string> ListLines(HWND list)
{
    std::vector<std::string> lines;
    int count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        std::string text(size_t(SendMessageA(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, '\0');
        text.resize(size_t(SendMessageA(list, LB_GETTEXT, WPARAM(i), LPARAM(&text[0]))));
        lines.push_back(text);
    }
    return lines;
}

// Selects the line as a click would, with the list's notification.
inline void SelectLine(HWND window, int list, int line)
{
    SendDlgItemMessageA(window, list, LB_SETCURSEL, WPARAM(line), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), LPARAM(GetDlgItem(window, list)));
}

// A button's command, sent as its click would send it.
inline void Command(HWND window, int id)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(window, id)));
}

inline bool IsItemVisible(HWND window, int id)
{
    return (GetWindowLongA(GetDlgItem(window, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

// The painted list of movies in a window of its own.
class PaintedList {
public:
    PaintedList()
    {
        host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, NULL, NULL);
        view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 400), &host, 59648);
        view.ShowMovies();
    }
    ~PaintedList()
    {
        view.DestroyWindow();
        host.DestroyWindow();
    }
    // The movie ids of the entries, in their order.
    std::vector<DWORD> Movies()
    {
        std::vector<DWORD> ids;
        for (DWORD i = 0; i < view.GetEntryCount(); i++)
            ids.push_back(view.GetEntry(i)->GetMovie());
        return ids;
    }

    CWnd host;
    CMovieListView view;
};
