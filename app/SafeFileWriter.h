// Writes a file so that a failure never destroys the one already there: the
// bytes go to "<path>.tmp", and only a complete, flushed and closed copy
// replaces the file. Destroying an uncommitted writer removes the copy.
#pragma once

#include <cstdio>
#include <string>

class CSafeFileWriter {
public:
    CSafeFileWriter();
    ~CSafeFileWriter();

    // The stream to write to ("wb"), or NULL when the copy cannot be made.
    FILE* Open(const char* path);
    // Closes the copy and puts it in place of the file; false on any failure
    // (the old file then stays as it was).
    bool Commit();

private:
    CSafeFileWriter(const CSafeFileWriter&) = delete;
    CSafeFileWriter& operator=(const CSafeFileWriter&) = delete;

    void Discard();

    FILE* m_file;
    std::string m_path;
    std::string m_tempPath;
};

// Replaces target by source (a rename that overwrites).
bool ReplaceFileWith(const char* target, const char* source);
