// The media files that a disc search found, in the order it met them.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

// One found file.
class CFileInfo {
public:
    CFileInfo();
    virtual ~CFileInfo();

    char* m_folder;              // the file's directory without "X:\"; empty for the root
    char* m_fileName;
    SYSTEMTIME m_creationTime;   // local time; all zero when it could not be read
    int64_t m_size;

private:
    CFileInfo(const CFileInfo&) = delete;
    CFileInfo& operator=(const CFileInfo&) = delete;
};

class CFoundFileList {
public:
    CFoundFileList() {}
    virtual ~CFoundFileList() {}

    // Appends a file. The folder loses its leading "X:" and the backslash
    // after it; the creation time is converted to local time.
    void Add(const char* folder, const char* name, const FILETIME& creationTime,
             DWORD sizeHigh, DWORD sizeLow);
    void Clear() { m_files.clear(); }

    DWORD GetCount() const { return DWORD(m_files.size()); }
    // The entry at index, NULL when the index is out of range.
    const CFileInfo* GetAt(DWORD index) const;

private:
    CFoundFileList(const CFoundFileList&) = delete;
    CFoundFileList& operator=(const CFoundFileList&) = delete;

    std::vector<std::unique_ptr<CFileInfo>> m_files;
};

#endif
