#include "app/ListingPrinter.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MovieListView.h"
#include "app/PrintLayout.h"
#include "classlib/PrintDialog.h"
#include "classlib/ProcGuard.h"
#include "classlib/WinApp.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"

namespace {

const char* const kPrintError = "Error printing movies listing.";

// Widens a button to its new label and moves the siblings it now overlaps
// to the right.
void Relabel(HWND dialog, HWND button, const std::string& label)
{
    char old[256] = {};
    ::GetWindowTextA(button, old, sizeof(old));
    HDC dc = ::GetDC(button);
    HGDIOBJ font = ::SelectObject(dc, HGDIOBJ(::SendMessage(button, WM_GETFONT, 0, 0)));
    SIZE oldSize = {}, newSize = {};
    ::GetTextExtentPoint32A(dc, old, int(strlen(old)), &oldSize);
    ::GetTextExtentPoint32A(dc, label.c_str(), int(label.size()), &newSize);
    ::SelectObject(dc, font);
    ::ReleaseDC(button, dc);
    ::SetWindowTextA(button, label.c_str());
    int grow = newSize.cx - oldSize.cx;
    if (grow <= 0)
        return;
    RECT rect;
    ::GetWindowRect(button, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    rect.right += grow;
    ::SetWindowPos(button, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == button)
            continue;
        RECT other, overlap;
        ::GetWindowRect(child, &other);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&other), 2);
        if (::IntersectRect(&overlap, &rect, &other))
            ::SetWindowPos(child, nullptr, rect.right + 2, other.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
}

std::string DocumentName()
{
    std::string name = theCollection.GetFileName();
    if (name.empty())
        return "[untitled]";
    size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

PrintSettings ReadPrintSettings()
{
    CWinApp* app = AfxGetApp();
    PrintSettings settings;
    settings.marginTop = int32_t(app->GetProfileInt("print", "margin_top", 0));
    settings.marginLeft = int32_t(app->GetProfileInt("print", "margin_left", 0));
    settings.marginRight = int32_t(app->GetProfileInt("print", "margin_right", 0));
    settings.marginBottom = int32_t(app->GetProfileInt("print", "margin_bottom", 0));
    settings.clip = app->GetProfileInt("print", "clip", 0) == 1;
    settings.fill = app->GetProfileInt("print", "fill", 0) == 1;
    settings.noHalves = app->GetProfileInt("print", "nohalflings", 1) == 1;
    return settings;
}

} // namespace

WORD LastPrintableMovie()
{
    DWORD last = theCollection.GetMovieCount() > 0 ? theCollection.GetIdOfLastMovie() : 0;
    return WORD(std::min<DWORD>(last, 65535));
}

UINT_PTR CALLBACK RelabelPrintDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return 0;
    return AfxCallGuarded(dialog, message, [&]() -> UINT_PTR {
        // The "all" and "pages" choices, found by their ids: a disabled
        // "selection" choice may stand between them.
        char all[64];
        std::snprintf(all, sizeof(all), "All %ld movies.", long(theCollection.GetMovieCount()));
        if (HWND button = ::GetDlgItem(dialog, rad1))
            Relabel(dialog, button, all);
        if (HWND button = ::GetDlgItem(dialog, rad3))
            Relabel(dialog, button, "ID Range");
        return 0;
    }, [] { return UINT_PTR(0); });
}

void PrintMovieListing(CMovieListView& pane, CWnd* owner)
{
    if (!pane.IsListShown())
        return;
    CPrintDialog dialog(FALSE, PD_ALLPAGES | PD_RETURNDC | PD_NOSELECTION | PD_ENABLEPRINTHOOK, owner);
    dialog.m_pd.lpfnPrintHook = RelabelPrintDialog;
    dialog.m_pd.nMinPage = 0;
    dialog.m_pd.nMaxPage = LastPrintableMovie();
    dialog.m_pd.nFromPage = dialog.m_pd.nMinPage;
    dialog.m_pd.nToPage = dialog.m_pd.nMaxPage;
    if (dialog.DoModal() != IDOK)
        return;
    HDC dc = dialog.GetPrinterDC();
    if (dc == nullptr)
        return;
    RunPrintJob(pane, dc, dialog.PrintRange() != FALSE, dialog.GetFromPage(), dialog.GetToPage());
    ::DeleteDC(dc);
}

bool RunPrintJob(CMovieListView& pane, HDC dc, bool range, DWORD from, DWORD to)
{
    HDC screen = ::GetDC(pane.m_hWnd);
    PrintSettings settings = ReadPrintSettings();
    PrintGeometry geometry = ComputePrintGeometry(
        settings, ::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES), ::GetDeviceCaps(dc, LOGPIXELSX),
        ::GetDeviceCaps(dc, LOGPIXELSY), ::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY),
        pane.GetCellWidth());
    ::ReleaseDC(pane.m_hWnd, screen);
    // Nothing is started when the margins leave no room or nothing is to
    // be printed.
    if (!geometry.valid) {
        ShowError(0, "%s\nThe margins leave no room on the paper.", kPrintError);
        return false;
    }
    if (pane.PrintableBoxes(range, from, to).empty())
        return false;

    std::string name = DocumentName();
    DOCINFOA doc = {};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = name.c_str();
    if (::StartDocA(dc, &doc) <= 0) {
        ShowSystemError(::GetLastError(), "%s", kPrintError);
        return false;
    }
    RECT page = {geometry.left, geometry.top, geometry.left + geometry.width, geometry.top + geometry.height};
    HRGN clip = ::CreateRectRgnIndirect(&page);
    PageStart start;
    bool more = true, failed = false;
    DWORD error = 0;
    while (more) {
        if (::StartPage(dc) <= 0) {
            error = ::GetLastError();
            failed = true;
            break;
        }
        ::SelectClipRgn(dc, clip);
        more = range ? pane.PrintListing(dc, page, geometry.xScale, geometry.yScale, start, settings.noHalves, from, to)
                     : pane.PrintPage(dc, page, geometry.xScale, geometry.yScale, start, settings.noHalves);
        if (::EndPage(dc) <= 0) {
            error = ::GetLastError();
            failed = true;
            break;
        }
    }
    ::DeleteObject(clip);
    if (failed) {
        ::AbortDoc(dc);
        ShowSystemError(error, "%s", kPrintError);
        return false;
    }
    ::EndDoc(dc);
    return true;
}
