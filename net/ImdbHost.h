// What a retrieval from the movie information site needs from the program
// around it: the site's pages, the status line, the user and pictures. The
// Windows program reaches the site through its HTTP client and shows texts
// and questions on the thread that started the retrieval; tests serve pages
// of their own.
#pragma once

#include <cstddef>
#include <string>

#include "core/WinTypes.h"

// What CheckPicture makes of a downloaded cover.
enum ImdbPicture {
    IMDB_PICTURE_NONE,        // not a picture that can be shown
    IMDB_PICTURE_UNMEASURED,  // a picture whose size can't be told
    IMDB_PICTURE_MEASURED     // a picture, with its size
};

class IImdbHost {
public:
    virtual ~IImdbHost() {}

    // One request: a GET, or a POST of the form body when body is not NULL.
    // True with the answer's body in *answer.
    virtual bool Fetch(const char* url, const char* body, std::string* answer) = 0;
    // The failures recorded since the last ClearErrors, as one text.
    virtual std::string GetErrorText() = 0;
    virtual void ClearErrors() = 0;

    // The status line of the running retrieval.
    virtual void SetStatus(const char* text) = 0;
    // Shows a failure to the user and returns once it was seen.
    virtual void ShowError(const char* text) = 0;
    // Asks whether the comment and the rating may be replaced; the answer
    // lands in the "update" settings.
    virtual void AskOverwrite() = 0;

    virtual ImdbPicture CheckPicture(const BYTE* data, size_t length, long* width, long* height) = 0;
};
