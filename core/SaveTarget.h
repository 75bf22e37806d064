// The file handling of a save (SaveTarget.cpp): the new file is written
// beside the target under the target's name plus ".saving" and put in its
// place in one step once it is complete on disc; a target whose last load
// lost or mended something is kept aside first, under the first free name of
// "<name>.damaged", "<name>.damaged2", ...
#pragma once

#include <cstdio>
#include <string>

// One save's target. Whatever way the save ends, no saving file is left
// behind with its handle open: the destructor closes and removes a file
// that was not put in place.
class CSaveTarget {
public:
    explicit CSaveTarget(const char* path);
    ~CSaveTarget();

    // Creates the saving file, made anew. False when the folder does not
    // take it or the target is write-protected.
    bool Create();
    FILE* File() const { return m_file; }
    // Everything written reaches the disc and the file is closed; false
    // when it did not.
    bool Finish();
    // Keeps a damaged original and puts the finished file in the target's
    // place. catalogueFile is the file the catalogue being saved was loaded
    // from: the crash copy notes it when a kept copy is still owed to it.
    bool Replace(const char* catalogueFile);

private:
    CSaveTarget(const CSaveTarget&) = delete;
    CSaveTarget& operator=(const CSaveTarget&) = delete;

    std::string m_path;
    std::string m_saving;  // the saving file until it is put in place
    FILE* m_file;
};

// The name a kept copy of path would take now; empty when none will be kept
// (the crash copy) or every name is taken.
std::string DamagedCopyName(const char* path);

// After a successful load of path: remembers whether it was damaged. The
// crash copy is never noted itself; loading it notes the file its note
// names. Throws std::bad_alloc before any change.
void NoteLoadedFile(const char* path, bool damaged);
