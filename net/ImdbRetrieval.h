// A retrieval of one movie's details from the site, run by a worker thread
// while the calling thread shows the "Downloading" window. The search and
// the page reading are net/ImdbSearch.h's; this runs them over the
// program's HTTP client. Windows build only.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <vector>

class CImdbInfo;
class CMovie;

// Retrieves name (a title, or with isLink a page address) into the record
// and returns 1 when the site answered: the record is then complete (a
// title page was read) or holds the hits of a result list. 0 on failure or
// cancel; the record is left as it was then. Failures are shown when
// showErrors is set. The window owns the download window (NULL: the
// foreground window). Returns only once the worker has ended.
BYTE StartGetInfo(CImdbInfo* record, HWND owner, const char* name, bool showErrors, bool isLink);

// The worker of StartGetInfo; param is the record.
UINT GetInfoThread(LPVOID param);

// Cancels the retrieval running on the record, from any thread, without
// waiting: its request is closed, its later requests fail and its window
// closes. Nothing when none runs.
void CancelGetInfo(CImdbInfo* record);

// After a retrieval into the movie's record: the record's title becomes the
// movie's, unless keepMovieTitle is set and the movie has a title of its
// own, which the record then takes. A record without a title changes
// nothing.
void ApplyRetrievedTitle(CMovie& movie, bool keepMovieTitle);

// The cover picture of the title page at address, into *cover. A page
// without a cover is false without a message.
bool DownloadCover(const char* address, std::vector<BYTE>* cover);

#endif
