// Heap C-string helpers. A heap text is a char* that is NULL (no text) or a
// NUL-terminated buffer from malloc, owned by whoever holds the pointer.
// These routines replace, grow or free such a buffer through its address.
// Plain C runtime only: plug-in modules link this file too.
//
// Memory that runs out is a failure, never an empty or unchanged text: every
// allocation of these routines goes through MallocOrThrow, which throws
// std::bad_alloc for a NULL from the runtime. The old text stays then.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#if defined(__GNUC__)
#if defined(__MINGW_PRINTF_FORMAT)
#define VISTREL_PRINTF(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#else
#define VISTREL_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#endif
#else
#define VISTREL_PRINTF(fmt, args)
#endif

// malloc / realloc that throw std::bad_alloc instead of answering NULL. Also
// for the arrays of plug-in records and every other malloc'ed buffer that a
// caller must not take as empty when memory runs out.
void* MallocOrThrow(size_t bytes);
void* ReallocOrThrow(void* block, size_t bytes);

// A heap text held until it is released into a record (freed if not).
// StrCopy makes one from text (NULL for NULL): a text taken before a change
// that must not fail half-way.
typedef std::unique_ptr<char, void (*)(void*)> HeapText;
HeapText StrCopy(const char* text);

// Replaces *dst by a fresh copy of src (NULL src leaves NULL). Nothing happens
// when src is the very pointer already stored.
void StrSet(char** dst, const char* src);

// Replaces *dst by a copy of src; NULL src frees *dst and sets it NULL.
void StrAssign(char** dst, const char* src);

// Appends src to *dst (a NULL *dst behaves as StrAssign). NULL src does nothing.
void StrAppend(char** dst, const char* src);

// The printf-style formatted text ("" for a NULL format or a failed one).
std::string StrFormatV(const char* format, va_list args);

// Appends the printf-style formatted text to *dst.
void StrAppendFormat(char** dst, const char* format, ...) VISTREL_PRINTF(2, 3);

// *dst becomes the first n bytes of src and a NUL; NULL src frees *dst.
void StrAssignN(char** dst, const char* src, size_t n);

// Appends the first n bytes of src and a NUL; NULL src does nothing.
void StrAppendN(char** dst, const char* src, size_t n);

// True for the same pointer, for NULL against NULL or empty, and for equal
// texts (case-sensitive).
bool StrEqual(const char* a, const char* b);

// Latin-1 letter classes: A-Z, 0xC0-0xD6, 0xD8-0xDE / a-z, 0xDF-0xFF.
bool IsUpperLatin1(unsigned char c);
bool IsLowerLatin1(unsigned char c);

// The one set of character rules of every text routine: ASCII digits, case
// folded over A-Z only (LowerAscii, StrEqualNoCase: the C runtime's rule for
// file names and settings) or over the Latin-1 letters too (LowerLatin1:
// titles and type-ahead).
inline bool IsAsciiDigit(int c)
{
    return c >= '0' && c <= '9';
}
// The value of a hexadecimal digit of either case, -1 for any other byte.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
// Sorting compares millions of characters: folding is one look-up.
struct LowerLatin1Table {
    unsigned char lower[256];
    constexpr LowerLatin1Table() : lower()
    {
        for (int c = 0; c < 256; c++) {
            bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
            lower[c] = static_cast<unsigned char>(upper ? c + 32 : c);
        }
    }
};
extern const LowerLatin1Table kLowerLatin1;
inline unsigned char LowerLatin1(unsigned char c)
{
    return kLowerLatin1.lower[c];
}
// Reads a whole text of decimal digits (nothing else, not empty) into
// *value; false when it is not one or its value passes limit.
bool ParseDecimal(const char* text, unsigned long long limit, unsigned long long* value);

// Equal texts ignoring ASCII case; NULL equals empty, as in StrEqual.
bool StrEqualNoCase(const char* a, const char* b);

// Replaces every case-sensitive occurrence of find by replacement. A
// replacement is never searched again. Nothing when *text or find is NULL
// or find is empty. The replacement may point into *text.
void StrReplace(char** text, const char* find, const char* replacement);
