// The file handling of a save: the new file is written beside the target
// and put in its place only once complete on disc; a target whose last load
// lost or mended something is kept aside first.
#include "core/SaveTarget.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/DatabaseFile.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
typedef std::unique_ptr<FILE, FileCloser> FilePtr;

#ifndef _WIN32
// The folder part of a path, with its trailing separator; empty for a bare
// file name.
std::string FolderOf(const char* path)
{
    std::string text(path);
    size_t cut = text.find_last_of('/');
    return cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
}
#endif

// A target that may not be written in place (marked read-only, or no
// write permission) must not be replaced either.
bool IsWriteProtected(const char* path)
{
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
#else
    // By the mode bits, so that it holds for every user alike.
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
#endif
}

#ifdef _WIN32
typedef DWORD(WINAPI* FinalPathFn)(HANDLE, LPSTR, DWORD, DWORD);

// The path of the file or folder that name reaches, with every link on the
// way followed; empty when it can't be opened.
std::string FinalPathOf(FinalPathFn finalPath, const std::string& name)
{
    HANDLE handle = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return std::string();
    char resolved[4 * MAX_PATH];
    DWORD length = finalPath(handle, resolved, sizeof(resolved), 0);  // FILE_NAME_NORMALIZED
    CloseHandle(handle);
    return length > 0 && length < sizeof(resolved) ? std::string(resolved, length) : std::string();
}

// Whether the existing name is a link to a file elsewhere. Wine shows the
// host's links as plain files, so besides the mark Windows gives them, a
// name counts as a link when the file it reaches is not its folder's plus
// the name (or that can't be told). Deleting through a link there deletes
// the file it points to.
bool IsLink(const std::string& name, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    // Missing before Vista, which has no links to files.
    static const FinalPathFn finalPath = reinterpret_cast<FinalPathFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA"));
    if (finalPath == NULL)
        return false;
    size_t cut = name.find_last_of("\\/");
    std::string folder = FinalPathOf(finalPath, cut == std::string::npos ? "." : name.substr(0, cut + 1));
    std::string file = FinalPathOf(finalPath, name);
    if (folder.empty() || file.empty())
        return true;
    if (folder.back() != '\\')
        folder += '\\';
    return _stricmp(file.c_str(), (folder + name.substr(cut + 1)).c_str()) != 0;
}
#endif

// Everything written so far reaches the disc.
bool FlushToDisc(FILE* f)
{
    if (fflush(f) != 0)
        return false;
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
#else
    return fsync(fileno(f)) == 0;
#endif
}

// ---------------------------------------------------------------------------
// Damaged originals

// A file whose last load lost or mended something still holds what was
// lost. The first save that replaces it keeps it beside itself under the
// first free name of "<name>.damaged", "<name>.damaged2", ... Which files
// those are is known per path, for every catalogue of the program alike;
// the program's own crash copy is never kept.
std::mutex g_damagedLock;
std::vector<std::string> g_damaged;
std::string g_scratchPath;

bool SamePath(const std::string& a, const std::string& b)
{
#ifdef _WIN32
    return _stricmp(a.c_str(), b.c_str()) == 0;
#else
    return a == b;
#endif
}

std::vector<std::string>::iterator FindDamaged(const std::string& path)
{
    return std::find_if(g_damaged.begin(), g_damaged.end(),
                        [&](const std::string& entry) { return SamePath(entry, path); });
}

// A name that would keep the nth copy: 1 is "<name>.damaged".
std::string DamagedName(const std::string& path, int n)
{
    return path + ".damaged" + (n > 1 ? std::to_string(n) : std::string());
}

const int kMostDamagedCopies = 9999;

bool PathExists(const std::string& path)
{
#ifdef _WIN32
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
#endif
}

// The name the next copy of path would take now; empty when all are taken.
std::string FreeDamagedName(const std::string& path)
{
    for (int n = 1; n <= kMostDamagedCopies; n++) {
        std::string name = DamagedName(path, n);
        if (!PathExists(name))
            return name;
    }
    return std::string();
}

enum KeepResult { KEEP_DONE, KEEP_TAKEN, KEEP_GONE, KEEP_FAILED };

#ifndef _WIN32
// A byte copy into a file that must not exist yet.
KeepResult CopyExclusive(const char* from, const char* to)
{
    FilePtr in(fopen(from, "rb"));
    if (!in)
        return errno == ENOENT ? KEEP_GONE : KEEP_FAILED;
    FilePtr out(fopen(to, "wbx"));
    if (!out)
        return errno == EEXIST ? KEEP_TAKEN : KEEP_FAILED;
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    size_t got;
    while (ok && (got = fread(buffer.data(), 1, buffer.size(), in.get())) > 0)
        ok = fwrite(buffer.data(), 1, got, out.get()) == got;
    ok = ok && !ferror(in.get()) && FlushToDisc(out.get());
    ok = fclose(out.release()) == 0 && ok;
    if (!ok)
        remove(to);
    return ok ? KEEP_DONE : KEEP_FAILED;
}
#endif

// Puts the file at path, byte for byte, under name as well, never over an
// existing file: a second link to it where the file system has them, a
// copy where not.
KeepResult KeepUnder(const char* path, const std::string& name)
{
#ifdef _WIN32
    if (CreateHardLinkA(name.c_str(), path, NULL))
        return KEEP_DONE;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return KEEP_TAKEN;
    if (error == ERROR_FILE_NOT_FOUND)
        return KEEP_GONE;
    if (CopyFileA(path, name.c_str(), TRUE))
        return KEEP_DONE;
    error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
        return KEEP_TAKEN;
    return error == ERROR_FILE_NOT_FOUND ? KEEP_GONE : KEEP_FAILED;
#else
    if (linkat(AT_FDCWD, path, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return KEEP_DONE;
    if (errno == EEXIST)
        return KEEP_TAKEN;
    if (errno == ENOENT && !PathExists(path))
        return KEEP_GONE;
    return CopyExclusive(path, name.c_str());
#endif
}

// Creates the file a save writes before it replaces the target: the
// target's name plus ".saving", so that one left by a save that was killed
// is the one the next save of the same catalogue starts afresh. The file is
// made anew, never opened through whatever has the name now. NULL when the
// folder does not take the file.
FILE* CreateSavingFile(const char* path, std::string* name)
{
    if (IsWriteProtected(path))
        return NULL;
    *name = std::string(path) + ".saving";
#ifdef _WIN32
    // A leftover file goes, read-only or not. A link of the name stays, as
    // does a folder (no file delete removes one), and the exclusive create
    // below fails on it, as on anything else the delete left in place.
    DWORD attributes = GetFileAttributesA(name->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !IsLink(*name, attributes)) {
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesA(name->c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        DeleteFileA(name->c_str());
    }
    HANDLE handle = CreateFileA(name->c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return NULL;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileA(name->c_str());
        return NULL;
    }
    FILE* f = _fdopen(fd, "wb");
    if (f == NULL) {
        _close(fd);
        DeleteFileA(name->c_str());
    }
    return f;
#else
    // Made anew, never followed through whatever has the name now.
    unlink(name->c_str());
    int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return NULL;
    // The new file gets the old one's permissions, or the usual ones.
    struct stat old;
    if (stat(path, &old) == 0 && S_ISREG(old.st_mode)) {
        fchmod(fd, old.st_mode & 07777);
    } else {
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    FILE* f = fdopen(fd, "wb");
    if (f == NULL) {
        close(fd);
        unlink(name->c_str());
    }
    return f;
#endif
}

// Before a save replaces path: keeps the original when its load lost or
// mended something and it has not been kept yet. False when it had to be
// kept and could not be.
bool KeepDamagedOriginal(const char* path)
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    std::vector<std::string>::iterator entry = FindDamaged(path);
    if (entry == g_damaged.end())
        return true;
    for (int n = 1; n <= kMostDamagedCopies; n++) {
        switch (KeepUnder(path, DamagedName(path, n))) {
        case KEEP_TAKEN:
            continue;
        case KEEP_FAILED:
            return false;
        case KEEP_DONE:
        case KEEP_GONE:  // nothing left to keep
            g_damaged.erase(entry);
            return true;
        }
    }
    return false;
}

// Puts the finished file in the place of the target in one step.
bool ReplaceTarget(const std::string& finished, const char* path)
{
#ifdef _WIN32
    return MoveFileExA(finished.c_str(), path,
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::string folder = FolderOf(path);
    if (rename(finished.c_str(), path) != 0)
        return false;
    // Make the new directory entry durable too.
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
#endif
}

// The crash copy's note. A catalogue loaded from a damaged file owes that
// file a kept copy at its next save. When the program's crash copy is
// written from such a catalogue, a small text file beside it (the crash
// copy's name plus ".original") names the file owed, so that the promise
// survives a run that ends before the save: loading the crash copy notes
// that file as damaged again. The database format stays as it is.
const char kNoteSuffix[] = ".original";

// The file the catalogue loaded from the crash copy owes a kept copy to;
// empty when none.
std::string g_scratchOwes;

std::string NotePath()
{
    return g_scratchPath + kNoteSuffix;
}

// A path, however long, fits this.
const size_t kMostNoteBytes = 32 * 1024;

// The whole note, or empty when there is none, it can't be read, or it is
// longer than any path.
std::string ReadNote()
{
    std::string text;
    FilePtr note(fopen(NotePath().c_str(), "rb"));
    if (!note)
        return text;
    char buffer[512];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, note.get())) > 0) {
        if (text.size() + got > kMostNoteBytes)
            return std::string();
        text.append(buffer, got);
    }
    return ferror(note.get()) ? std::string() : text;
}

// Writes the note anew in one step; false when it could not be.
bool WriteNote(const std::string& owed)
{
    std::string notePath = NotePath();
    std::string saving;
    FILE* f = CreateSavingFile(notePath.c_str(), &saving);
    if (f == NULL)
        return false;
    bool written = fwrite(owed.data(), 1, owed.size(), f) == owed.size() && FlushToDisc(f);
    written = fclose(f) == 0 && written;
    if (!written || !ReplaceTarget(saving, notePath.c_str())) {
        remove(saving.c_str());
        return false;
    }
    return true;
}

} // namespace

CSaveTarget::CSaveTarget(const char* path) : m_path(path), m_file(NULL)
{
}

CSaveTarget::~CSaveTarget()
{
    // An unfinished saving file goes, its handle closed first.
    if (m_file != NULL)
        fclose(m_file);
    if (!m_saving.empty())
        remove(m_saving.c_str());
}

bool CSaveTarget::Create()
{
    std::string saving;
    m_file = CreateSavingFile(m_path.c_str(), &saving);
    if (m_file == NULL)
        return false;
    m_saving.swap(saving);
    return true;
}

bool CSaveTarget::Finish()
{
    bool written = FlushToDisc(m_file);
    written = fclose(m_file) == 0 && written;
    m_file = NULL;
    return written;
}

bool CSaveTarget::Replace(const char* catalogueFile)
{
    // Writing the crash copy: the note goes first, so that a crash copy
    // never lies there without the note of the promise it carries. A note
    // left over a crash copy that owes nothing only keeps a needless copy.
    // Everything that takes memory comes before the target is replaced.
    std::string owed;
    std::string notePath;
    bool scratch = false;
    {
        std::lock_guard<std::mutex> lock(g_damagedLock);
        scratch = !g_scratchPath.empty() && SamePath(m_path, g_scratchPath);
        if (scratch) {
            notePath = NotePath();
            std::string source = catalogueFile != NULL ? catalogueFile : "";
            if (!source.empty() && SamePath(source, g_scratchPath))
                source = g_scratchOwes;
            if (!source.empty() && FindDamaged(source) != g_damaged.end())
                owed = source;
        }
    }
    if (!owed.empty() && !WriteNote(owed))
        return false;
    if (!KeepDamagedOriginal(m_path.c_str()) || !ReplaceTarget(m_saving, m_path.c_str()))
        return false;
    m_saving.clear();
    if (scratch && owed.empty())
        remove(notePath.c_str());
    return true;
}

std::string DamagedCopyName(const char* path)
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    return SamePath(path, g_scratchPath) ? std::string() : FreeDamagedName(path);
}

void NoteLoadedFile(const char* path, bool damaged)
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    // Everything that takes memory comes before the first change.
    std::string owes;
    bool scratch = SamePath(path, g_scratchPath);
    if (scratch)
        owes = ReadNote();
    std::string noted = scratch ? owes : std::string(damaged ? path : "");
    if (!noted.empty() && FindDamaged(noted) == g_damaged.end())
        g_damaged.push_back(noted);
    if (scratch) {
        g_scratchOwes.swap(owes);
    } else if (!damaged) {
        std::vector<std::string>::iterator entry = FindDamaged(path);
        if (entry != g_damaged.end())
            g_damaged.erase(entry);
    }
}

void SetScratchDatabasePath(const char* path)
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    g_scratchPath = path != NULL ? path : "";
}

void DeleteScratchDatabase()
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    if (g_scratchPath.empty())
        return;
    remove(g_scratchPath.c_str());
    remove(NotePath().c_str());
}
