// A disk file over a Win32 file handle, with the open flags of the class
// layer. Failures of Read, Write and the seeks throw CFileException.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/Exception.h"

class CFile {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() : m_hFile(INVALID_HANDLE_VALUE) {}
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False (and the cause in *pError when given) when the file can't be opened.
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr)
    {
        Close();
        DWORD access = (nOpenFlags & 3) == modeRead ? GENERIC_READ
                       : (nOpenFlags & 3) == modeWrite ? GENERIC_WRITE : GENERIC_READ | GENERIC_WRITE;
        DWORD share;
        switch (nOpenFlags & 0x70) {
        case shareExclusive: share = 0; break;
        case shareDenyWrite: share = FILE_SHARE_READ; break;
        case shareDenyRead: share = FILE_SHARE_WRITE; break;
        default: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        }
        DWORD creation = OPEN_EXISTING;
        if (nOpenFlags & modeCreate)
            creation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
        SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (nOpenFlags & modeNoInherit) == 0};
        HANDLE h = ::CreateFileA(lpszFileName, access, share, &sa, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (pError != nullptr)
                *pError = CFileException(CauseOf(::GetLastError()), long(::GetLastError()), lpszFileName);
            return FALSE;
        }
        m_hFile = h;
        m_strFileName = lpszFileName;
        return TRUE;
    }
    void Close()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    UINT Read(void* lpBuf, UINT nCount)
    {
        DWORD read = 0;
        if (!::ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
            Throw();
        return read;
    }
    void Write(const void* lpBuf, UINT nCount)
    {
        DWORD written = 0;
        if (!::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
            Throw();
        if (written != nCount)
            throw CFileException(CFileException::diskFull, -1, m_strFileName);
    }
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom)
    {
        LARGE_INTEGER distance, position;
        distance.QuadPart = lOff;
        if (!::SetFilePointerEx(m_hFile, distance, &position, nFrom))
            Throw();
        return ULONGLONG(position.QuadPart);
    }
    ULONGLONG GetPosition() const
    {
        LARGE_INTEGER zero = {}, position;
        if (!::SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
            return 0;
        return ULONGLONG(position.QuadPart);
    }
    ULONGLONG GetLength() const
    {
        LARGE_INTEGER size;
        return ::GetFileSizeEx(m_hFile, &size) ? ULONGLONG(size.QuadPart) : 0;
    }
    void SetLength(ULONGLONG dwNewLen)
    {
        Seek(LONGLONG(dwNewLen), begin);
        if (!::SetEndOfFile(m_hFile))
            Throw();
    }
    void Flush()
    {
        if (m_hFile != INVALID_HANDLE_VALUE && !::FlushFileBuffers(m_hFile))
            Throw();
    }
    std::string GetFilePath() const { return m_strFileName; }

    HANDLE m_hFile;

private:
    static int CauseOf(DWORD error)
    {
        switch (error) {
        case ERROR_FILE_NOT_FOUND: return CFileException::fileNotFound;
        case ERROR_PATH_NOT_FOUND: return CFileException::badPath;
        case ERROR_TOO_MANY_OPEN_FILES: return CFileException::tooManyOpenFiles;
        case ERROR_ACCESS_DENIED: return CFileException::accessDenied;
        case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
        case ERROR_LOCK_VIOLATION: return CFileException::lockViolation;
        case ERROR_DISK_FULL: return CFileException::diskFull;
        case ERROR_HANDLE_EOF: return CFileException::endOfFile;
        default: return CFileException::genericException;
        }
    }
    void Throw() const
    {
        DWORD error = ::GetLastError();
        throw CFileException(CauseOf(error), long(error), m_strFileName);
    }

    std::string m_strFileName;
};
