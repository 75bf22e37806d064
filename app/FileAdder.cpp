#include "app/FileAdder.h"

#include <windows.h>
#include <cderr.h>

#include <map>

#include "classlib/FileDialog.h"
#include "core/Disc.h"
#include "core/DiscScan.h"
#include "core/ErrorBox.h"
#include "core/FilePlacement.h"
#include "core/FoundFileList.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/PluginManager.h"
#include "core/StrUtil.h"

namespace {

// The stored hard-disc or network disc of the drive letter (any case); a
// remote drive needs a network disc.
DWORD FindStoredDisc(char letter, bool remote)
{
    for (DWORD id = theCollection.GetNextIdOfDisc(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfDisc(id)) {
        CDisc* disc = theCollection.GetDiscCopy(id);
        bool fits = disc != NULL && disc->m_fixedOrNetwork != 0 &&
                    LowerAscii(char(disc->m_driveLetter)) == LowerAscii(letter) && (!remote || disc->m_network != 0);
        theCollection.ReleaseDiscCopy(&disc);
        if (fits)
            return id;
    }
    return NO_ID;
}

// A disc made by this run that ended with no file goes again.
void RemoveIfEmpty(DWORD discId)
{
    CDisc* disc = theCollection.GetDiscCopy(discId);
    bool empty = disc != NULL && disc->m_fileIds.empty();
    theCollection.ReleaseDiscCopy(&disc);
    if (empty)
        theCollection.RemoveDisc(discId);
}

bool ReadFoundFile(const std::string& path, size_t slash, CFileInfo& found)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    std::string folder = path.substr(0, slash);
    size_t colon = folder.find(':');
    folder = colon == std::string::npos ? folder : folder.substr(colon + 1);
    while (!folder.empty() && folder[0] == '\\')
        folder.erase(folder.begin());
    StrSet(&found.m_folder, folder.c_str());
    StrSet(&found.m_fileName, path.c_str() + slash + 1);
    found.m_size = (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    FILETIME local;
    if (!FileTimeToLocalFileTime(&data.ftCreationTime, &local) ||
        !FileTimeToSystemTime(&local, &found.m_creationTime))
        memset(&found.m_creationTime, 0, sizeof(found.m_creationTime));
    return true;
}

} // namespace

bool ChooseMediaFiles(CWnd* owner, const char* folder, std::vector<std::string>* paths)
{
    CFileDialog dialog(TRUE, "avi", NULL,
                       OFN_ALLOWMULTISELECT | OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER,
                       thePluginManager.GetFileFilter(), owner);
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) {
        // A choice too long even for the large buffer is no Cancel.
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            ShowError(0, "%s", "Too many files were chosen at once. Please choose fewer.");
        return false;
    }
    *paths = dialog.GetPathNames();
    return true;
}

bool AddFilePaths(const std::vector<std::string>& chosen, CMovie* movie, bool* added)
{
    *added = false;
    std::vector<std::string> paths;
    for (const std::string& path : chosen) {
        if (path.find('\\') != std::string::npos) {
            paths.push_back(path);
            continue;
        }
        char folder[MAX_PATH * 2];
        DWORD n = GetCurrentDirectoryA(sizeof(folder), folder);
        if (n == 0 || n >= sizeof(folder)) {
            ShowError(0, "Unable to get current directory for %s. Can't continue.", path.c_str());
            return false;
        }
        std::string full = folder;
        if (full.back() != '\\')
            full += '\\';
        paths.push_back(full + path);
    }
    for (const std::string& path : paths) {
        if (path.find(':') == std::string::npos) {
            ShowError(0, "The file %s is not on a mapped drive. Can't continue.", path.c_str());
            return false;
        }
    }

    // Discs this run made for CD-ROM and removable drives serve the drive's
    // later files too (the question about the same disc is asked once).
    std::map<char, DWORD> madeForDrive;
    std::vector<DWORD> madeDiscs;
    bool ok = true;
    for (const std::string& path : paths) {
        char letter = char(toupper(static_cast<unsigned char>(path[0])));
        char root[4] = {letter, ':', '\\', 0};
        UINT type = GetDriveTypeA(root);
        DWORD discId = NO_ID;
        if (type == DRIVE_FIXED || type == DRIVE_REMOTE)
            discId = FindStoredDisc(letter, type == DRIVE_REMOTE);
        else if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) {
            ShowError(0, "Unable to get drive type for file %s. Skipping file...", path.c_str());
            continue;
        }
        if (discId == NO_ID && madeForDrive.count(letter) != 0)
            discId = madeForDrive[letter];
        if (discId == NO_ID) {
            CDisc disc;
            if (!ScanDisc(root, &disc, NULL)) {
                ShowError(0, "Unable to get info from drive %c.", letter);
                continue;
            }
            discId = theCollection.AddDisc(&disc, true);
            if (discId == NO_ID)
                continue;
            madeForDrive[letter] = discId;
            madeDiscs.push_back(discId);
        }

        CFileInfo found;
        size_t slash = path.rfind('\\');
        if (slash == std::string::npos) {
            ShowError(0, "Fatal error. Aborting");
            ok = false;
            break;
        }
        if (!ReadFoundFile(path, slash, found)) {
            ShowError(0, "Unable to read file %s. Skipping it", path.c_str());
            continue;
        }
        CDisc* disc = theCollection.GetDiscCopy(discId);
        if (disc == NULL)
            continue;
        CMovieFile file;
        DWORD fileId = NO_ID;
        if (file.AddToDatabase(char(LowerAscii(letter)), disc, &found, NULL, NULL))
            fileId = theCollection.AddFile(&file);
        if (fileId != NO_ID) {
            disc->AddFileId(fileId);
            theCollection.ReleaseDiscCopy(&disc);
            PlaceNewFile(fileId, movie);
            *added = true;
        } else {
            theCollection.ReleaseDiscCopy(&disc);
        }
    }
    for (DWORD discId : madeDiscs)
        RemoveIfEmpty(discId);
    return ok;
}
