// The database file (".vdb"): what the loader reports while it reads, and the
// split of a file size into the two u32 of a movie-file record. Reading and
// writing the records are CMovieCollection::Load and Save.
#pragma once

#include <cstdint>

#include "core/WinTypes.h"

// The version Save writes; Load reads 0 to this one.
const int kNewestDatabaseVersion = 12;

// Where a load shows its progress. The Windows program hands in its progress
// window; without one (NULL) nothing is shown.
class ILoadProgress {
public:
    virtual ~ILoadProgress() {}
    // Opens the window with its text and range before the first record.
    virtual void Show(const char* text, int low, int high) = 0;
    virtual void SetPos(int pos) = 0;
    virtual void Close() = 0;
};

// The program's own silent copy of the catalogue (the crash copy), or NULL.
// A load that finds it damaged promises no kept original, and no save keeps
// one of it: it is gone at the end of every normal run anyway.
void SetScratchDatabasePath(const char* path);
// Removes the crash copy and its note at a normal end of the program.
void DeleteScratchDatabase();

// A signed size as stored: sign byte (1 = negative), and the magnitude m as
// q * 4294967295 + r with r = m mod 4294967295.
void SplitFileSize(int64_t size, BYTE* sign, DWORD* quotient, DWORD* remainder);
// The inverse; a magnitude beyond the range of a signed 64-bit size is held
// at the range's end.
int64_t JoinFileSize(BYTE sign, DWORD quotient, DWORD remainder);
