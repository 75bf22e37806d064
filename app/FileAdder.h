// Adding chosen media files to the catalogue: each to a given movie, or put
// into the first movie that takes it or a movie of its own, on the disc
// record of its drive.
#pragma once

#include <string>
#include <vector>

class CMovie;
class CWnd;

// Runs the open-file dialog over owner for media files (several may be
// chosen), starting in folder when one is given; false when cancelled.
bool ChooseMediaFiles(CWnd* owner, const char* folder, std::vector<std::string>* paths);

// Adds the files at the paths in order. False when the run could not go on
// (an unmapped path, no current folder, a path without a folder); *added
// tells whether any file was added, also then.
bool AddFilePaths(const std::vector<std::string>& paths, CMovie* movie, bool* added);
