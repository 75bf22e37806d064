#include "dialogs/DiscReRead.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/Disc.h"
#include "core/DiscScan.h"
#include "core/ErrorBox.h"
#include "core/FilePlacement.h"
#include "core/FoundFileList.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"

namespace {

void StopBox(const char* text)
{
    AskUser(text, "Error", MB_OK | MB_ICONHAND);
}

// What a stored file of the disc was before the re-read.
struct OldFile {
    DWORD id;
    int32_t partNumber;
    std::string title;
    bool takenOver;
};

// A record made from a found file, and the old file it replaces (NO_ID for
// a new path).
struct MadeFile {
    std::unique_ptr<CMovieFile> file;
    DWORD oldId;
};

} // namespace

bool DriveHoldsDisc(char letter, const char* discName, const char* discSerial)
{
    char root[4] = {letter, ':', '\\', 0};
    if (GetDriveTypeA(root) != DRIVE_CDROM)
        return false;
    char label[MAX_PATH + 1] = "";
    DWORD serial = 0;
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL read = GetVolumeInformationA(root, label, sizeof label, &serial, NULL, NULL, NULL, 0);
    SetErrorMode(oldMode);
    if (!read)
        return false;
    return StrEqual(discName, label) && StrEqual(discSerial, SerialNumberText(serial).c_str());
}

void ReReadDiscInfo(DWORD discId, char letter)
{
    CDisc* disc = theCollection.GetDiscCopy(discId);
    std::vector<DWORD> fileIds;
    if (disc != NULL)
        fileIds = disc->m_fileIds;
    theCollection.ReleaseDiscCopy(&disc);
    for (DWORD id : fileIds) {
        CMovieFile* file = theCollection.GetFileCopy(id);
        if (file != NULL)
            file->ReadMediaInfo(letter);
        theCollection.ReleaseFileCopy(&file);
    }
}

bool ReAddDiscFiles(DWORD discId, char letter)
{
    // The disc's files as they were, by path.
    std::vector<OldFile> oldFiles;
    std::map<std::string, size_t> oldByPath;
    CDisc* disc = theCollection.GetDiscCopy(discId);
    if (disc == NULL)
        return false;
    for (DWORD id : disc->m_fileIds) {
        CMovieFile* file = theCollection.GetFileCopy(id);
        if (file != NULL) {
            oldByPath.emplace(RecordPath(file->m_folder, file->m_fileName), oldFiles.size());
            oldFiles.push_back({id, file->m_partNumber, file->m_movieTitle != NULL ? file->m_movieTitle : "",
                                false});
        }
        theCollection.ReleaseFileCopy(&file);
    }

    char root[4] = {letter, ':', '\\', 0};
    CDisc scanned;
    CFoundFileList found;
    if (!ScanDisc(root, &scanned, &found)) {
        theCollection.ReleaseDiscCopy(&disc);
        StopBox("Unable to read disc contens");
        return false;
    }

    // Every new record is made before anything stored changes.
    std::vector<MadeFile> made;
    for (DWORD i = 0; i < found.GetCount(); i++) {
        const CFileInfo* entry = found.GetAt(i);
        auto old = oldByPath.find(RecordPath(entry->m_folder, entry->m_fileName));
        OldFile* previous = NULL;
        if (old != oldByPath.end() && !oldFiles[old->second].takenOver)
            previous = &oldFiles[old->second];
        std::unique_ptr<CMovieFile> file(new CMovieFile);
        bool ok;
        if (previous != NULL)
            ok = file->AddToDatabase(letter, disc, entry, previous->title.empty() ? NULL : previous->title.c_str(),
                                     &previous->partNumber);
        else
            ok = file->AddToDatabase(letter, disc, entry);
        if (!ok)
            continue;
        if (previous != NULL)
            previous->takenOver = true;
        made.push_back({std::move(file), previous != NULL ? previous->id : NO_ID});
    }
    theCollection.ReleaseDiscCopy(&disc);
    if (made.empty()) {
        StopBox("Did not find any valid files on CD-ROM/DVD");
        return false;
    }

    // Found files at known paths take over the old records: their movies,
    // and ids held elsewhere, stay valid.
    for (MadeFile& entry : made) {
        if (entry.oldId == NO_ID)
            continue;
        CMovieFile* stored = theCollection.GetFileCopy(entry.oldId);
        if (stored != NULL) {
            entry.file->m_id = entry.oldId;
            stored->CopyFrom(*entry.file);
        }
        theCollection.ReleaseFileCopy(&stored);
    }
    for (MadeFile& entry : made) {
        if (entry.oldId != NO_ID)
            continue;
        DWORD fileId = theCollection.AddFile(entry.file.get());
        if (fileId == NO_ID)
            continue;
        CDisc* holder = theCollection.GetDiscCopy(discId);
        if (holder != NULL)
            holder->AddFileId(fileId);
        // Handed back before the file is placed, which may take copies.
        theCollection.ReleaseDiscCopy(&holder);
        PlaceNewFile(fileId, NULL);
    }

    // Old files not found again go last, so the disc is never left empty
    // (which would remove it) on the way; should nothing else be on it, they
    // stay.
    std::set<DWORD> gone;
    for (const OldFile& old : oldFiles)
        if (!old.takenOver)
            gone.insert(old.id);
    CDisc* holder = theCollection.GetDiscCopy(discId);
    bool othersLeft = false;
    if (holder != NULL)
        for (DWORD id : holder->m_fileIds)
            othersLeft = othersLeft || gone.count(id) == 0;
    theCollection.ReleaseDiscCopy(&holder);
    if (!othersLeft) {
        StopBox("Did not find any valid files on CD-ROM/DVD");
        return false;
    }
    for (DWORD id : gone)
        theCollection.RemoveFile(id);
    return true;
}
