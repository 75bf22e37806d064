// CDynString: a small heap string for texts built piece by piece.
//
// The temporary rule: results of Left, Right and Concat are new heap objects
// flagged temporary, and every operation that receives a CDynString* argument
// deletes it after use when it is temporary. Chained expressions therefore
// need no clean-up:
//
//     CDynString* s = CDynString::Concat(CDynString::Left(3, &a), &b);
//
// deletes the Left result and leaves a and b alone. A caller that wants to
// keep a temporary calls ClearTemporary() and deletes it itself. Temporaries
// exist only on the heap: NewTemporary and the operations above create them.
#pragma once

#include "core/StrUtil.h"
#include "core/WinTypes.h"

class CDynString {
public:
    CDynString(const char* text = NULL);
    // Copy of source's text; source is deleted when temporary.
    explicit CDynString(CDynString* source);
    virtual ~CDynString();

    CDynString(const CDynString&) = delete;
    CDynString& operator=(const CDynString&) = delete;

    // A new heap string flagged temporary.
    static CDynString* NewTemporary(const char* text = NULL);

    bool IsTemporary() const { return m_temporary; }
    void ClearTemporary() { m_temporary = false; }
    const char* GetText() const { return m_text; }      // NULL when empty
    const char* CStr() const { return m_text ? m_text : ""; }
    DWORD GetLength() const { return m_length; }

    void Assign(const char* text);
    void AssignFrom(CDynString* other);
    void AssignN(const char* buffer, DWORD n);
    void Append(CDynString* other);
    void AppendN(const char* buffer, DWORD n);
    void Format(const char* format, ...) VISTREL_PRINTF(2, 3);
    void AppendFormat(const char* format, ...) VISTREL_PRINTF(2, 3);

    // New temporaries.
    static CDynString* Left(DWORD n, CDynString* source);
    static CDynString* Right(DWORD n, CDynString* source);
    static CDynString* Concat(CDynString* first, CDynString* second);

    // Offset of a case-insensitive match at or after start; a match whose
    // first letter has the pattern's own case is preferred. *found tells
    // whether there was one; 0 when not.
    static DWORD FindNoCase(const char* pattern, CDynString* subject, DWORD start, bool* found);
    static DWORD FindChar(char c, CDynString* subject, DWORD start, bool* found);

    // Replace every occurrence in this string; a replacement is never
    // searched again. Return the number of replacements.
    DWORD Replace(const char* find, const char* replacement);
    DWORD ReplaceNoCase(const char* find, const char* replacement);

private:
    static void Release(CDynString* arg, const CDynString* keep = NULL);
    void SetBuffer(char* text, DWORD length);
    DWORD ReplaceWith(const char* find, const char* replacement, bool noCase);

    bool m_temporary;
    char* m_text;
    DWORD m_length;
};
