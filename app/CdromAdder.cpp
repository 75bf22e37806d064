#include "app/CdromAdder.h"

#include <windows.h>

#include "core/Disc.h"
#include "core/DiscScan.h"
#include "core/ErrorBox.h"
#include "core/FilePlacement.h"
#include "core/FoundFileList.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "dialogs/VolumeEject.h"

namespace {

void StopBox(const char* text)
{
    AskUser(text, "Error", MB_OK | MB_ICONHAND);
}

void AddScannedDisc(char letter, CDisc& scanned, CFoundFileList& found)
{
    DWORD discId = theCollection.AddDisc(&scanned, true);
    if (discId == NO_ID) {
        ShowError(0, "%s", "Unable to add CD-ROM/DVD info to database.");
        return;
    }
    for (DWORD i = 0; i < found.GetCount(); i++) {
        CDisc* disc = theCollection.GetDiscCopy(discId);
        if (disc == NULL)
            return;
        CMovieFile file;
        DWORD fileId = NO_ID;
        if (file.AddToDatabase(letter, disc, found.GetAt(i), NULL, NULL))
            fileId = theCollection.AddFile(&file);
        if (fileId != NO_ID)
            disc->AddFileId(fileId);
        // Handed back before the file is placed, which may take copies.
        theCollection.ReleaseDiscCopy(&disc);
        if (fileId != NO_ID)
            PlaceNewFile(fileId, NULL);
    }
    CDisc* disc = theCollection.GetDiscCopy(discId);
    bool empty = disc != NULL && disc->m_fileIds.empty();
    // The copy goes back before the disc does: removing destroys copies.
    theCollection.ReleaseDiscCopy(&disc);
    if (empty) {
        ShowError(0, "%s", "No movie files where found on cd, removing it");
        theCollection.RemoveDisc(discId);
    }
}

} // namespace

void AddCdromDisc(char driveLetter, bool eject, const VolumeOperations* operations)
{
    if (driveLetter == ' ' || driveLetter == '\0')
        return;
    char letter = char(tolower(static_cast<unsigned char>(driveLetter)));
    char root[4] = {driveLetter, ':', '\\', 0};
    {
        CDisc disc;
        CFoundFileList found;
        if (!ScanDisc(root, &disc, &found))
            StopBox("Unable to read disc contens");
        else if (found.GetCount() == 0)
            StopBox("Did not find any valid files on CD-ROM/DVD");
        else
            AddScannedDisc(letter, disc, found);
    }
    if (eject && !EjectDrive(driveLetter, operations != nullptr ? *operations : kVolumeOperations))
        StopBox("Unable to eject media");
}
