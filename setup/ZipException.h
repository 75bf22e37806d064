// A failure of the zip library: its cause and the archive's path (empty when
// no archive is open).
#pragma once

#include <string>

#include "classlib/Exception.h"

class CZipException : public CException {
public:
    enum {
        generic = 100,        // a zlib result without a cause of its own
        badZipFile = 101,     // malformed archive or short read
        badCrc = 102,
        noCallback = 103,     // disk spanning without a span callback
        aborted = 104,        // the span callback gave up
        tooManyVolumes = 106,
        badPassword = 108,
        noSuchEntry = 110,
        cantDelete = 111,
        cantRename = 112,
        platformNotSupported = 113,
        cdirNotFound = 114,
        zStreamEnd = 500,     // 500..507: zlib's results 1, 2, -1 .. -6
        zNeedDict = 501,
        zErrno = 502,
        zStreamError = 503,
        zDataError = 504,
        zMemError = 505,
        zBufError = 506,
        zVersionError = 507
    };

    CZipException(int cause, const std::string& fileName) : m_iCause(cause), m_szFileName(fileName) {}

    // The cause for a zlib result code.
    static int CauseOfZlibResult(int code)
    {
        switch (code) {
        case 1: return zStreamEnd;
        case 2: return zNeedDict;
        case -1: return zErrno;
        case -2: return zStreamError;
        case -3: return zDataError;
        case -4: return zMemError;
        case -5: return zBufError;
        case -6: return zVersionError;
        default: return generic;
        }
    }

    int m_iCause;
    std::string m_szFileName;
};
