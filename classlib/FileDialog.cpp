#include "classlib/FileDialog.h"
#include "classlib/WinApp.h"
#include "classlib/Wnd.h"

#include <cstring>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd)
{
    m_fileBuffer.assign((dwFlags & OFN_ALLOWMULTISELECT) ? 65536 : 4096, '\0');
    if (lpszFileName != nullptr)
        ::lstrcpynA(m_fileBuffer.data(), lpszFileName, (int)m_fileBuffer.size());
    if (lpszDefExt != nullptr)
        m_strDefExt = lpszDefExt;
    if (lpszFilter != nullptr) {
        m_strFilter = lpszFilter;
        for (char& c : m_strFilter)
            if (c == '|')
                c = '\0';
        m_strFilter.push_back('\0');
    }

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = (DWORD)m_fileBuffer.size();
    m_ofn.lpstrDefExt = lpszDefExt != nullptr ? m_strDefExt.c_str() : nullptr;
    m_ofn.lpstrFilter = lpszFilter != nullptr ? m_strFilter.c_str() : nullptr;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.hInstance = AfxGetResourceHandle();
}

INT_PTR CFileDialog::DoModal()
{
    if (m_ofn.hwndOwner == nullptr) {
        CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
        m_ofn.hwndOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
    }
    m_ofn.Flags |= OFN_EXPLORER;
    if (m_ofn.lpstrFile != nullptr && m_ofn.nMaxFile > 0)
        m_ofn.lpstrFile[m_ofn.nMaxFile - 1] = '\0';
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

std::vector<std::string> CFileDialog::GetPathNames() const
{
    std::vector<std::string> paths;
    const char* buffer = m_ofn.lpstrFile;
    size_t size = m_ofn.nMaxFile;
    if (buffer == nullptr || size == 0 || buffer[0] == '\0')
        return paths;
    size_t first = ::strnlen(buffer, size);
    if (first >= size)
        return paths;
    std::string folder(buffer, first);
    // A single file: one full path. Several: the folder, then each name.
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || first + 1 >= size || buffer[first + 1] == '\0') {
        paths.push_back(folder);
        return paths;
    }
    if (!folder.empty() && folder.back() != '\\')
        folder.push_back('\\');
    for (size_t pos = first + 1; pos < size && buffer[pos] != '\0';) {
        size_t n = ::strnlen(buffer + pos, size - pos);
        if (pos + n >= size)
            break;   // a name without its terminator: not trusted
        paths.push_back(folder + std::string(buffer + pos, n));
        pos += n + 1;
    }
    return paths;
}

std::string CFileDialog::GetPathName() const
{
    std::vector<std::string> paths = GetPathNames();
    return paths.empty() ? std::string() : paths.front();
}

std::string CFileDialog::GetFileName() const
{
    std::string path = GetPathName();
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const
{
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string CFileDialog::GetFileTitle() const
{
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
