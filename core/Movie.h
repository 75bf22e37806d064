// A movie of the catalogue: its texts, the ids of its media files (part 1
// first) and the information fetched from the IMDb site.
#pragma once

#include <memory>
#include <vector>

#include "core/ImdbInfo.h"
#include "core/WinTypes.h"

class CMovie {
public:
    CMovie();
    explicit CMovie(DWORD id);
    virtual ~CMovie();

    // Deep copy of every field, id and flags included; false for NULL.
    bool CopyFrom(const CMovie* other);
    // The modified flag is not compared.
    bool IsDifferent(const CMovie& other) const;

    // The movie's type text: the custom type, else the media-type name, else
    // "[unknown]".
    const char* GetDisplayName() const;

    // Decides whether the stored file belongs to this movie. With wantReason
    // the reason text is stored in *reason. A match on a trailing number may
    // set the file's part number and cut its movie-title text (the file's
    // copy is handed back to the collection).
    bool CanAddFile(DWORD fileId, bool wantReason = false, char** reason = NULL);
    // Appends the file (unless force, only when CanAddFile agrees) and takes
    // the type, title, language and subtitles from it where the movie lacks
    // them.
    bool AddFile(DWORD fileId, bool force);
    // Takes the first occurrence of the id out of the file list.
    bool RemoveFile(DWORD fileId);
    bool HasFile(DWORD fileId) const;

    DWORD GetFileCount() const { return DWORD(m_fileIds.size()); }

    BYTE m_seen;
    char* m_title;
    char* m_customType;     // typed by the user; NULL when empty
    char* m_language;
    char* m_subtitles;      // several joined by " / "
    char* m_mediaTypeName;  // the format name of its files
    DWORD m_id;
    std::unique_ptr<CImdbInfo> m_imdbInfo;  // NULL = none
    std::vector<DWORD> m_fileIds;
    BYTE m_hasSubtitles;
    BYTE m_modified;        // the listing lays the movie out again

private:
    CMovie(const CMovie&) = delete;
    CMovie& operator=(const CMovie&) = delete;
};
