// Text routines for reading web pages: finding tags and attributes,
// cleaning fragments, joining lines and URL encoding. They work on heap
// texts (core/StrUtil.h) or on a text with its length; the entity cleaning
// that titles of file names share lives in the core.
#pragma once

#include <cstddef>

#include "core/HtmlEntities.h"

// The offset of the next "<tag" at or after start whose name matches
// without case; with filterName (not NULL) only a tag whose attribute of
// that name (outside quoted values) has a value beginning with filterValue
// (without case; surrounding double quotes of filterValue are dropped).
// The offset is that of the "<" with returnStart, else of the tag's ">";
// -1 when there is none, also for a tag without ">".
long FindHtmlTag(long start, const char* tag, const char* filterName, const char* filterValue, const char* text,
                 long length, bool returnStart);

// The value of the attribute name in the tag around offset (up to its ">",
// outside quoted parts, name without case): the quoted text, or the text up
// to a blank or ">". False (and *value untouched) when it has none.
bool FindTagAttribute(const char* text, long length, long offset, const char* name, char** value);

// Removes every tag; an unterminated "<" cuts the text there.
void StripHtmlTags(char** text);

// A copy of the length bytes of text with each CR and LF made a blank, in
// a new heap text (*out, freed first) of *outLength bytes.
void JoinLines(const char* text, size_t length, char** out, size_t* outLength);

// TAB becomes four blanks; a blank right after LF or CR goes.
void NormalizeWhitespace(char** text);

// Form encoding: A-Z, a-z, 0-9, "@", "_" and "*" stay, a blank becomes "+",
// every other byte "%" and two upper-case hex digits. When the work buffer
// can't grow the text becomes NULL.
void UrlEncode(char** text);
// Each "%" with two hex digits (either case) becomes that byte.
void UrlDecode(char** text);

bool IsDigitChar(char c);

// Appends text to the heap buffer of *length bytes (no terminating zero
// counted), growing it as needed.
void StrAppendBuffer(const char* text, char** buffer, size_t* length);
