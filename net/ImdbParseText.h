// Text searches shared by the page parsers and the search.
#pragma once

#include <cstddef>
#include <string>

#include "core/StrUtil.h"

class IImdbHost;

namespace imdbparse {

const size_t npos = std::string::npos;

// Formats a failure and shows it through the host unless quiet.
void ShowHostError(IImdbHost& host, bool quiet, const char* format, ...) VISTREL_PRINTF(3, 4);

// Whether word begins at i, compared without case.
bool StartsWithNoCase(const char* text, size_t length, size_t i, const char* word);
// Where word begins at or after from, compared without case; npos if not.
size_t FindNoCase(const char* text, size_t length, size_t from, const char* word);

// Whether a "<name" tag starts at i: the name matched without case and
// followed by a blank, "/" or ">".
bool IsTagNamed(const char* text, size_t length, size_t i, const char* name);
// Offset of the nearest such tag that starts before before; npos if none.
size_t FindTagBefore(const char* text, size_t length, size_t before, const char* name);

// The raw value after a label (see HtmlFindText): true with *found and the
// value's bounds, or false after the failure was shown.
bool FindLabelValue(IImdbHost& host, const char* text, size_t length, const char* label, const char* endText1,
                    const char* endText2, bool* found, size_t* start, size_t* end);

// The n bytes at text cleaned into display text, keeping tags that start
// with keepTag (NULL for none).
std::string CleanedText(const char* text, size_t n, const char* keepTag);

// A block of text (a tagline or a comment): line-break tags become CR LF,
// every other tag goes, blanks after line breaks go.
std::string CleanedBlock(const char* text, size_t n);

// The decimal number at the start of text; false when it has no digit or
// passes limit.
bool ReadLeadingDecimal(const char* text, unsigned long limit, unsigned long* value);

} // namespace imdbparse
