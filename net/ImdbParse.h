// Reading the site's pages into a CImdbInfo with plain text searches: the
// title page of a movie (with its taglines, plot and credits pages and its
// cover) and a list of search results. Both run on the retrieval's worker
// and reach the site and the user through the host.
#pragma once

#include <cstddef>
#include <string>

class CImdbInfo;
class IImdbHost;

// Finds the value after a label in text. A "?" in the label stands for any
// run of blanks and complete tags (possibly none); the other pieces are
// compared case-sensitively. The value ends at the next "<" without end
// texts, else where endText1 or endText2 begins (compared without case), and
// is cleaned keeping tags that start with keepTag (may be NULL). A label
// that isn't there sets *field to NULL and still succeeds; a value that
// would start or end past the text is shown to the user and fails.
bool HtmlFindText(IImdbHost& host, const char* text, size_t length, const char* label, char** field,
                  const char* keepTag, const char* endText1, const char* endText2);

// Reads a movie's title page (the record's title and year already set)
// and the pages it leads to. The record changes only when the whole parse
// succeeds.
bool ParseTitlePage(CImdbInfo& record, const char* page, size_t length, IImdbHost& host);

// Appends the hits of a search result page to the record (the movies, then
// the videos, then the TV movies) and clears its complete flag. A failed
// parse adds no hits.
bool ParseMultipleResults(CImdbInfo& record, const char* page, size_t length, bool showErrors, IImdbHost& host);

// The address of the small cover picture of a title page ("" for none).
std::string FindCoverImageAddress(const char* page, size_t length);

// The type of a cover picture: the extension of the file name in path (an
// address, whose query and fragment don't count, or a file path), when it
// is 1 to 4 letters or digits, lower-cased; else the type the picture's
// bytes show; else "jpg".
std::string CoverTypeOf(const char* path, bool isAddress, const unsigned char* data, size_t length);
