// Finding a movie on the site: a search by name (the search address, then
// the find form) or a page address, a title page read at once, a list of
// results read into search hits and a single hit followed.
#pragma once

#include <string>

#include "core/WinTypes.h"

class CImdbInfo;
class IImdbHost;

// Title and year from the keywords of a title page: the year is the number
// in the last parentheses that hold four characters, or a year, "/" and a
// suffix; the title is the text before them. True when such parentheses
// were found; else *title is the whole value and *year is untouched.
bool ImdbKeywordsTitle(const char* keywords, std::string* title, WORD* year);

// Fills the record from the site for a name (isLink false) or a page
// address (isLink true). post chooses the find form over the search
// address; lastCount is -1 for the first attempt at a name. True when a
// title page was read (the record is complete) or a result list was; its
// hits then stay in the record for the caller. Retrievals of one name nest
// at most four deep and follow no address twice.
bool GetInfo(CImdbInfo& record, IImdbHost& host, const char* name, bool showErrors, bool post, long lastCount,
             bool isLink);
