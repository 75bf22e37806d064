// A page of the export wizard: a child dialog shown in the wizard's page
// area. The wizard asks the shown page where Next and Back lead, lets it
// set the wizard's title, and on Finish has every page store its settings.
#pragma once

#include <string>

#include "classlib/Dialog.h"
#include "core/WinTypes.h"
#include "export/ExportWriter.h"

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

    // The line format combo box: "PC", "UNIX", "MAC" for 12, 13, 14.
    void FillLineFormats(int format);
    int ReadLineFormat() const;
};

// A page with the range controls: the check box, and the "ID from:" and
// "to:" edits that it enables. Any change of them validates the page again.
class CExportRangePage : public CExport2Dlg {
public:
    // The range is read from the settings "userange-<part>",
    // "range-start-<part>" and "range-end-<part>".
    CExportRangePage(UINT nIDTemplate, CExportDlg* wizard, const char* part);

    ExportRange m_range;

protected:
    void ShowRange(const ExportRange& range);
    // A stored range whose start equals its end shows 0 to the last movie.
    void ShowStoredRange(ExportRange range);
    void EnableRangeEdits();
    // With the box checked both edits must hold ids and the end must be
    // above the start. The values are read only when valid.
    bool ReadRange(ExportRange* range) const;
    bool RangeIsValid() const;
    void StoreRange() const;

    // Enables the range edits and validates the page.
    void OnChange();
    // Next is enabled while the page's controls are valid.
    virtual void Validate();
    DECLARE_MESSAGE_MAP()

private:
    const char* m_part;
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
