// The recently opened databases, kept in the profile section "open": "recent"
// says how many are kept (default 4, used as 0 to 10) and the entries
// "recent1" to "recent9" and "recent:" hold their full paths, newest first.
// The File menu lists them above its last item, Exit.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

class CWinApp;

class CRecentFileList {
public:
    enum {
        kFirstCommand = 32812,  // the command of entry n is kFirstCommand + n - 1
        kMaxEntries = 10,
        kDefaultEntries = 4
    };

    explicit CRecentFileList(CWinApp* app);

    // The number of entries kept: "open"/"recent" clamped to 0..10.
    int GetSize() const;
    // Entry number 1..10; empty when the entry is empty or not kept.
    std::string GetEntry(int number) const;
    // Puts the file at the top of the list; every other entry naming the
    // same file goes, and the others move down.
    void Add(const char* path);
    // Takes every entry naming the file out; later ones move up.
    void Remove(const char* path);
    // Shows the entries in the File menu: a separator, one item per entry
    // ("&<number> <path>"), a separator, then Exit; nothing but Exit when
    // there are none.
    void UpdateMenu(HMENU fileMenu) const;

    // "recent1" .. "recent9", "recent:" (the character '0' plus the number).
    static std::string EntryName(int number);
    // The absolute form of a path; the path itself when it has none.
    static std::string FullPath(const char* path);
    // Whether two paths name the same file: their absolute forms are equal,
    // ignoring case.
    static bool SameFile(const std::string& a, const std::string& b);

private:
    std::vector<std::string> ReadEntries(int count) const;
    void WriteEntries(const std::vector<std::string>& entries, int count);

    CWinApp* m_app;
};
