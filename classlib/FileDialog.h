// The open and save file dialogs. The filter is written "name|pattern|...||".
// With OFN_ALLOWMULTISELECT several files may be chosen; GetPathNames gives
// each full path.
#pragma once

#include <string>
#include <vector>

#include <windows.h>
#include <commdlg.h>

class CWnd;

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() {}
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL.
    virtual INT_PTR DoModal();

    std::string GetPathName() const;        // the (first) chosen file
    std::string GetFileName() const;        // its name without the folder
    std::string GetFileExt() const;         // its extension without the dot
    std::string GetFileTitle() const;       // its name without the extension
    std::vector<std::string> GetPathNames() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }

    // The dialog's settings; lpstrFile and nMaxFile may be pointed at a
    // caller's buffer before DoModal.
    OPENFILENAME m_ofn = {};

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    std::string m_strDefExt;
    std::string m_strFilter;    // '|' already turned into '\0'
    std::vector<char> m_fileBuffer;
};
