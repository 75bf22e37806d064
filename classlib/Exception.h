// Exceptions of the class layer. Plain C++ (no Win32), so portable code that
// reports through them also builds on the host.
#pragma once

#include <string>

class CException {
public:
    virtual ~CException() = default;
    // The text shown when the exception reaches a window procedure unhandled.
    virtual std::string GetErrorMessage() const { return "An unexpected error occurred."; }
};

// A file operation that failed: a cause of the list below, the system's
// error number and the file's name.
class CFileException : public CException {
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14
    };

    explicit CFileException(int cause = none, long osError = -1, const std::string& fileName = std::string())
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }

    std::string GetErrorMessage() const override
    {
        if (m_strFileName.empty())
            return "A file could not be read or written.";
        return "The file " + m_strFileName + " could not be read or written.";
    }

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;
};
