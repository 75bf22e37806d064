// A page of the export wizard: a child dialog shown in the wizard's page
// area. The wizard asks the shown page where Next and Back lead, lets it
// set the wizard's title, and on Finish has every page store its settings.
#pragma once

#include <string>

#include "classlib/Dialog.h"
#include "core/WinTypes.h"

class CExportDlg;

class CExport2Dlg : public CDialog {
public:
    CExport2Dlg(UINT nIDTemplate, CExportDlg* wizard);

    // The page Back leads to.
    virtual void GetPrevPage(BYTE& step, BYTE& alternative);
    // The page is shown: it sets the wizard's title.
    virtual void OnActivate(CWnd* title);
    // The page Next leads to, after reading the page's controls into its
    // fields; unchanged values keep the page.
    virtual void GetNextPage(BYTE& step, BYTE& alternative);
    // Stores the page's settings in the profile section "export".
    virtual void Apply();

    // Commands without a control (menus, accelerators, the dialog manager's
    // Enter and Escape) never reach a page: they would end it.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CExportDlg* m_wizard;

protected:
    void EnableNext(bool enable);

    // The range controls that several pages share: the check box, and the
    // "ID from:" and "to:" edits that it enables.
    void ShowRange(bool use, DWORD start, DWORD end);
    // A stored range whose start equals its end shows 0 to the last movie.
    void ShowStoredRange(bool use, DWORD start, DWORD end);
    void EnableRangeEdits();
    // With the box checked both edits must hold ids and the end must be
    // above the start. The values are read only when valid.
    bool ReadRange(bool* use, DWORD* start, DWORD* end) const;

    // The line format combo box: "PC", "UNIX", "MAC" for 12, 13, 14.
    void FillLineFormats(int format);
    int ReadLineFormat() const;
};

// Settings of the profile section "export".
int ExportSetting(const char* entry, int defaultValue);
std::string ExportSetting(const char* entry, const char* defaultValue);
void StoreExportSetting(const char* entry, int value);
void StoreExportSetting(const char* entry, const std::string& value);

// An output path the export can use: a drive, a colon and a backslash first.
bool IsFullPath(const std::string& path);
// A file extension without any of ? : \ / " < > * |.
bool IsValidExtension(const std::string& extension);
