#ifdef _WIN32
#include "core/FoundFileList.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/ErrorBox.h"
#include "core/StrUtil.h"

CFileInfo::CFileInfo() : m_folder(NULL), m_fileName(NULL), m_size(0)
{
    memset(&m_creationTime, 0, sizeof(m_creationTime));
}

CFileInfo::~CFileInfo()
{
    free(m_folder);
    free(m_fileName);
}

// "X:\Movies" becomes "Movies", "X:\" and "X:" become "". A folder without a
// drive is kept as given.
static const char* WithoutDrive(const char* folder)
{
    if (folder == NULL)
        return "";
    if (strchr(folder, ':') == NULL)
        return folder;
    const char* rest = strchr(folder, ':') + 1;
    if (*rest == '\\')
        rest++;
    return rest;
}

void CFoundFileList::Add(const char* folder, const char* name, const FILETIME& creationTime,
                         DWORD sizeHigh, DWORD sizeLow)
{
    ShowError(1, "Found %s \\ %s", folder, name);

    std::unique_ptr<CFileInfo> info(new (std::nothrow) CFileInfo);
    if (!info) {
        ShowError(0, "Unable to allocated CFileInfo**");
        return;
    }
    StrSet(&info->m_folder, WithoutDrive(folder));
    StrSet(&info->m_fileName, name);
    info->m_size = int64_t((uint64_t(sizeHigh) << 32) | sizeLow);

    FILETIME local;
    if (!FileTimeToLocalFileTime(&creationTime, &local)) {
        ShowSystemError(GetLastError(), "Unable to get created time");
    } else if (!FileTimeToSystemTime(&local, &info->m_creationTime)) {
        ShowSystemError(GetLastError(), "Unable to get created time (2)");
        memset(&info->m_creationTime, 0, sizeof(info->m_creationTime));
    }

    try {
        m_files.push_back(std::move(info));
    } catch (const std::bad_alloc&) {
        ShowError(0, "Unable to allocated CFileInfo**");
    }
}

const CFileInfo* CFoundFileList::GetAt(DWORD index) const
{
    return index < m_files.size() ? m_files[index].get() : NULL;
}

#endif
