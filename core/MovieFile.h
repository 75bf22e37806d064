// One media file of a movie, on some disc. The file belongs to the movie whose
// file-id list names it; its movie-title field follows that movie's title.
#pragma once

#include <cstdint>
#include <memory>

#include "core/MediaFormatInfo.h"
#include "core/WinTypes.h"

class CMovieFile {
public:
    CMovieFile();
    virtual ~CMovieFile();

    void CopyFrom(const CMovieFile& other);
    bool IsDifferent(const CMovieFile& other) const;

    // The media format's name, else "[unknown]".
    const char* GetFormatName() const;
    // *text becomes a heap copy of the media report, or "--- no info ---".
    void GetInfoText(char** text) const;
    // Reads the media information again through the format plug-ins from
    // "%c:" + folder + file name. False when no plug-in describes the file.
    bool ReadMediaInfo(char driveLetter);

    // The media format record, NULL when there is no information.
    MediaFormat* GetFormat() const { return m_mediaInfo ? m_mediaInfo->GetFormat() : NULL; }

    int32_t m_partNumber;  // n of a movie split over several files, -1 = none
    DWORD m_id;
    std::unique_ptr<CMediaFormatInfo> m_mediaInfo;  // NULL = none
    char* m_folder;        // directory on the disc, without the drive letter
    char* m_fileName;
    char* m_movieTitle;
    SYSTEMTIME m_creationTime;
    int64_t m_size;

private:
    CMovieFile(const CMovieFile&) = delete;
    CMovieFile& operator=(const CMovieFile&) = delete;
};
