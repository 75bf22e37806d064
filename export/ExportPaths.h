// File names, folders and links of an export: names made from movie titles,
// the link from the export folder to the cover folder, the cover types that
// may name a file, and making a folder with its parents.
#pragma once

#include <cstddef>
#include <set>
#include <string>

#include "core/WinTypes.h"

// The longest path the export writes, its terminating NUL not counted.
const size_t kMaxExportPath = 259;

// Makes the text usable as a file name, in place: every \ / : * ? " < > |
// and control character becomes '_', trailing dots and blanks go, the name
// is cut to maxLength characters, and a device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9 in any case, with or without an extension) gets '_'
// behind it. The result may be empty.
void MakeValidFileName(std::string* name, size_t maxLength = kMaxExportPath);

// The names written in one run, ignoring case: a name already used gets
// "-<movie id>" behind it.
class CExportFileNames {
public:
    std::string Take(const std::string& name, DWORD movieId);

private:
    std::set<std::string> m_used;  // folded to lower case
};

// The link from the export folder to the cover folder, with '/' throughout:
// relative on the same drive or share ("../covers/", "" for the same
// folder), else a file address ("file:///D:/covers/",
// "file://server/share/covers/"). A NULL folder leaves *link as it was.
void MakeRelativeLink(std::string* link, const char* from, const char* to);

// A cover type that may be used as a file extension: 1 to 8 ASCII letters
// or digits. Any other type counts as no cover.
bool IsPlainCoverType(const char* type);

// Whether the path names a folder (a trailing separator allowed).
bool FolderExists(const char* path);

// Makes the folder and its missing parents. True when it exists as a folder
// afterwards; a file of that name is no folder.
bool CreatePath(const char* path);
