// The program's resource bytes and the folder picker.
#include "export/ExportShell.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "classlib/Wnd.h"

bool LoadResourceBytes(const char* type, UINT id, BYTE* buffer, DWORD* size)
{
    HMODULE module = ::GetModuleHandleA(NULL);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found != NULL ? ::LoadResource(module, found) : NULL;
    const void* bytes = loaded != NULL ? ::LockResource(loaded) : NULL;
    if (bytes == NULL)
        return false;
    DWORD length = ::SizeofResource(module, found);
    if (buffer != NULL)
        memcpy(buffer, bytes, std::min(length, *size));
    *size = length;
    return true;
}

bool BrowseForFolder(CWnd* owner, const char* title, std::string* path)
{
    char name[270] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = owner != NULL ? owner->m_hWnd : NULL;
    info.pidlRoot = NULL;
    info.pszDisplayName = name;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    if (chosen == NULL)
        return false;
    char folder[MAX_PATH] = {};
    bool got = ::SHGetPathFromIDListA(chosen, folder) != FALSE;
    IMalloc* allocator = NULL;
    if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator != NULL) {
        allocator->Free(chosen);
        allocator->Release();
    }
    if (got)
        *path = folder;
    return got;
}
