// One media file of a movie, on some disc. The file belongs to the movie whose
// file-id list names it; its movie-title field follows that movie's title.
#pragma once

#include <string>

#include <cstdint>
#include <memory>

#include "core/MediaFormatInfo.h"
#include "core/WinTypes.h"

#ifdef _WIN32
class CDisc;
class CFileInfo;
#endif

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

#ifdef _WIN32
    // Fills this record from a file found on the disc in the drive: its
    // title and part number guessed from its name (unless overridden), its
    // folder, name, creation time, size and media information, and the
    // user's confirmation of the name when the settings ask for it. A file
    // from a CD-ROM that is already stored from a hard disc may replace the
    // stored one. True when the file is to be added.
    bool AddToDatabase(char driveLetter, const CDisc* disc, const CFileInfo* foundFile,
                       const char* titleOverride = NULL, const int32_t* partNumberOverride = NULL);
    // The filling step: folderPath is the file's folder with its drive
    // ("e:\Movies\"). Creation time and size are left 0.
    bool FillFromFoundFile(const CDisc* disc, char driveLetter, const char* folderPath,
                           const char* fileName, const char* titleOverride,
                           const int32_t* partNumberOverride);
#endif

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

// A folder as records keep it: without its drive ("e:"), with a leading and
// a trailing backslash ("\\Movies\\", "\\" for the root).
std::string RecordFolder(const char* folder);
// The "\\folder\\name" of a stored file: its record folder and its name.
std::string RecordPath(const char* folder, const char* name);
