// Turning a found file into a movie-file record. Windows only: it reads the
// file's drive; the user is asked through the found-file questions.
#ifdef _WIN32
#include "core/MovieFile.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Disc.h"
#include "core/FoundFileList.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/TitleGuess.h"
#include "core/FoundFileQuestions.h"

namespace {

int ProfileInt(const char* section, const char* entry, int defaultValue)
{
    return GetFoundFileQuestions().profileInt(section, entry, defaultValue);
}

// The text after the drive ("e:") of a path; the whole text when it has none.
const char* AfterDrive(const char* path)
{
    if (path == NULL)
        return "";
    const char* colon = strchr(path, ':');
    return colon != NULL ? colon + 1 : path;
}

// The last component of a folder ("Season 1" of "\Series\Season 1\"), empty
// for a root.
std::string LastFolderName(const char* folder)
{
    std::string path = AfterDrive(folder);
    while (!path.empty() && path[path.size() - 1] == '\\')
        path.erase(path.size() - 1);
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DrivePath(char driveLetter, const char* folder, const char* name)
{
    std::string path(1, driveLetter);
    path += ':';
    path += RecordPath(folder, name);
    return path;
}

// Asks, for each stored hard-disc or network file with the found file's name
// (ignoring case) and size, whether the new file replaces it; the ids of the
// files to replace.
std::vector<DWORD> AskForReplacedFiles(const CFileInfo& found, const std::string& newPath)
{
    std::vector<DWORD> replaced;
    if (found.m_fileName == NULL)
        return replaced;
    for (DWORD discId = theCollection.GetNextIdOfDisc(NO_ID); discId != NO_ID;
         discId = theCollection.GetNextIdOfDisc(discId)) {
        CDisc* stored = theCollection.GetDiscCopy(discId);
        if (stored == NULL)
            continue;
        bool hardDisc = stored->m_fixedOrNetwork != 0;
        char letter = char(stored->m_driveLetter);
        std::vector<DWORD> fileIds = stored->m_fileIds;
        theCollection.ReleaseDiscCopy(&stored);
        if (!hardDisc)
            continue;

        for (DWORD fileId : fileIds) {
            CMovieFile* file = theCollection.GetFileCopy(fileId);
            if (file == NULL)
                continue;
            bool same = file->m_fileName != NULL && StrEqualNoCase(file->m_fileName, found.m_fileName) &&
                        file->m_size == found.m_size;
            std::string oldPath;
            if (same)
                oldPath = DrivePath(letter, file->m_folder, file->m_fileName);
            theCollection.ReleaseFileCopy(&file);
            if (!same)
                continue;

            if (GetFoundFileQuestions().replaceStoredFile(oldPath.c_str(), newPath.c_str()))
                replaced.push_back(fileId);
        }
    }
    return replaced;
}

} // namespace

bool CMovieFile::AddToDatabase(char driveLetter, const CDisc* disc, const CFileInfo* foundFile,
                               const char* titleOverride, const int32_t* partNumberOverride)
{
    if (disc == NULL || foundFile == NULL)
        return false;

    // The stored files that the user lets this one replace go only once this
    // one is sure to be added: a file that is then refused must not cost the
    // catalogue the old one.
    std::vector<DWORD> replaced;
    if (disc->m_fixedOrNetwork == 0) {
        std::string newPath = DrivePath(driveLetter, foundFile->m_folder, foundFile->m_fileName);
        replaced = AskForReplacedFiles(*foundFile, newPath);
    }

    std::string folderPath(1, driveLetter);
    folderPath += ':';
    folderPath += RecordFolder(foundFile->m_folder);
    if (!FillFromFoundFile(disc, driveLetter, folderPath.c_str(), foundFile->m_fileName,
                           titleOverride, partNumberOverride))
        return false;
    m_creationTime = foundFile->m_creationTime;
    m_size = foundFile->m_size;

    for (DWORD fileId : replaced)
        theCollection.RemoveFile(fileId);
    return true;
}

bool CMovieFile::FillFromFoundFile(const CDisc* disc, char driveLetter, const char* folderPath,
                                   const char* fileName, const char* titleOverride,
                                   const int32_t* partNumberOverride)
{
    m_mediaInfo.reset();
    memset(&m_creationTime, 0, sizeof(m_creationTime));
    m_size = 0;

    // The second title candidate: the disc's name for a CD-ROM or a file in
    // a root folder, else the name of the file's folder.
    std::string folderName = LastFolderName(folderPath);
    const char* altName = NULL;
    if (disc != NULL && (disc->m_fixedOrNetwork == 0 || folderName.empty()))
        altName = disc->m_name;
    else if (!folderName.empty())
        altName = folderName.c_str();
    if (!GuessTitleFromFileName(fileName, altName, &m_movieTitle, &m_partNumber))
        return false;
    if (titleOverride != NULL)
        StrSet(&m_movieTitle, titleOverride);
    if (partNumberOverride != NULL)
        m_partNumber = *partNumberOverride;

    StrSet(&m_folder, RecordFolder(folderPath).c_str());
    StrSet(&m_fileName, fileName);

    if (!ReadMediaInfo(driveLetter))
        return false;

    // "always" asks for every file; "severe" only for video CDs and DVDs,
    // whose file names say little about the movie.
    bool ask = false;
    bool vcdOrDvd = false;
    if (ProfileInt("movie_name", "always", 1) == 1) {
        ask = true;
    } else if (ProfileInt("movie_name", "severe", 1) == 1 && m_mediaInfo &&
               (m_mediaInfo->IsVcd() || m_mediaInfo->IsDvd())) {
        ask = true;
        vcdOrDvd = true;
    }
    return !ask || GetFoundFileQuestions().confirmName(this, vcdOrDvd);
}

#endif
