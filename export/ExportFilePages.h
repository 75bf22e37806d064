// The export wizard's choice pages: what to export, where and how the big
// file or the small files go, and where the covers go.
#pragma once

#include <string>

#include "export/ExportPage.h"

// 1.0: one big file, one file per movie (or a template, never offered), and
// whether covers go along.
class CExportChoosePage : public CExport2Dlg {
public:
    explicit CExportChoosePage(CExportDlg* wizard);

    BOOL OnInitDialog() override;
    void OnActivate(CWnd* title) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    void Apply() override;

    int m_oneBigList;
    int m_templates;
    int m_saveCovers;

protected:
    void OnRadio(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    void SelectRadio(int id);
};

// 2.1: the big file, its line format, order and range.
class CExportBigFilePage : public CExportRangePage {
public:
    explicit CExportBigFilePage(CExportDlg* wizard);

    BOOL OnInitDialog() override;
    void OnActivate(CWnd* title) override;
    void GetPrevPage(BYTE& step, BYTE& alternative) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    void Apply() override;

    std::string m_path;
    int m_format;
    int m_sort;
    int m_order;

protected:
    void OnBrowse();
    void Validate() override;
    DECLARE_MESSAGE_MAP()
};

// 2.2: the folder of the small files, their line format, names, extension
// and range.
class CExportSmallFilesPage : public CExportRangePage {
public:
    explicit CExportSmallFilesPage(CExportDlg* wizard);

    BOOL OnInitDialog() override;
    void OnActivate(CWnd* title) override;
    void GetPrevPage(BYTE& step, BYTE& alternative) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    void Apply() override;

    std::string m_folder;
    int m_format;
    int m_nameKind;
    std::string m_type;

protected:
    void OnBrowse();
    void Validate() override;
    DECLARE_MESSAGE_MAP()
};

// 4.0: the cover folder, the default picture and the range of covers.
class CExportCoversPage : public CExportRangePage {
public:
    explicit CExportCoversPage(CExportDlg* wizard);

    BOOL OnInitDialog() override;
    void OnActivate(CWnd* title) override;
    void GetPrevPage(BYTE& step, BYTE& alternative) override;
    void GetNextPage(BYTE& step, BYTE& alternative) override;
    void Apply() override;

    std::string m_folder;
    int m_replaceEmpty;

protected:
    void OnBrowse();
    DECLARE_MESSAGE_MAP()
};
