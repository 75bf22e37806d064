// A new empty folder in the system's temporary folder, named uniquely for
// the process, for copies of files that the DVD library is to read in place
// of damaged ones. It is removed,
// with every file made in it, when the object goes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder's path in UTF-8, as the library takes paths; empty when the
    // folder could not be made.
    const std::string& Path() const { return m_path; }
    // A new file of that name in the folder, open for writing; NULL when it
    // can't be made.
    FILE* Create(const char* name);

private:
    std::string m_path;
    std::vector<std::string> m_made;  // paths of the files made in it
};
