// The file handling of a save (SaveTarget.cpp): the saving file beside the
// target, the kept copies of damaged originals, and the replacement of the
// target in one step.
#pragma once

#include <cstdio>
#include <string>

// Creates the file a save writes before it replaces the target: the
// target's name plus ".saving" (returned in name). NULL when the folder does
// not take the file or the target is write-protected.
FILE* CreateSavingFile(const char* path, std::string* name);

// Everything written so far reaches the disc.
bool FlushToDisc(FILE* f);

// Before a save replaces path: keeps the original when its load lost or
// mended something and it has not been kept yet. False when it had to be
// kept and could not be.
bool KeepDamagedOriginal(const char* path);

// After a load of path: remembers whether it was damaged. The name its
// original would be kept under, empty when none will be.
std::string NoteLoadedFile(const char* path, bool damaged);

// Puts the finished file in the place of the target in one step.
bool ReplaceTarget(const std::string& finished, const char* path);
