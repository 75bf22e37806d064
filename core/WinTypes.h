// The few Win32 types that portable code needs. The Windows build takes them
// from <windows.h>; the host build defines layout-compatible ones.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int BOOL;
typedef uint32_t COLORREF;
typedef void* HWND;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Message box buttons, icons and answers.
#define MB_OK 0x0
#define MB_OKCANCEL 0x1
#define MB_YESNO 0x4
#define MB_ICONHAND 0x10
#define MB_ICONQUESTION 0x20
#define MB_ICONEXCLAMATION 0x30
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// The 60-byte font description that the listing layout file stores.
#define LF_FACESIZE 32
struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is 60 bytes");

inline COLORREF RGB(BYTE r, BYTE g, BYTE b) { return r | (g << 8) | (DWORD(b) << 16); }
inline BYTE GetRValue(COLORREF c) { return BYTE(c); }
inline BYTE GetGValue(COLORREF c) { return BYTE(c >> 8); }
inline BYTE GetBValue(COLORREF c) { return BYTE(c >> 16); }
#endif
