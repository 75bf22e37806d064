// The database file: the record bodies of all thirteen versions, the repair
// pass after a load, and a save that replaces the old file only once the new
// one is complete on disc, keeping it aside first when its load found it
// damaged.
//
// Every count read from a file is checked against the bytes the file still
// holds before anything is sized by it, so a damaged or hostile file costs
// no more memory than its own length and never reads outside a record.
#include "core/DatabaseFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/ErrorBox.h"
#include "core/IdRepair.h"
#include "core/MediaFormatInfo.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/StreamIo.h"

namespace {

const char* const kMagic[kNewestDatabaseVersion + 1] = {
    "VSTR1", "VSTR2", "VSTR3", "VSTR4", "VSTR5", "VSTR6", "VSTR7",
    "VSTR8", "VSTR9", "VSTRA", "VSTRb", "VSTRC", "VSTRD"};
const DWORD kTagLength = 5;
const char kCountsTag[] = "CNTS!";
const char kDiscTag[] = "CDROM";
const char kMovieTag[] = "MOVIE";
const char kFileTag[] = "MFILE";
const char kPersonTag[] = "PRSON";

const char kCorruptText[] =
    "Your database file is corrupt, problem is fixed but check if everything is ok.";

// A load reads the whole file front to back through a large buffer.
const size_t kLoadBufferBytes = 64 * 1024;

const DWORD kSizeDivisor = 0xFFFFFFFF;
const int kProgressHigh = 32000;

// Smallest encodings of each record in any version, its tag included.
const DWORD kMinDiscBytes = kTagLength + 4 + 1 + 1 + 4;
const DWORD kMinMovieBytes = kTagLength + 4 + 1 + 1 + 1 + 4;
const DWORD kMinFileBytes = kTagLength + 4 + 4 + 3 + 1 + 4 + 4 + 16 + 1;
const DWORD kMinPersonBytes = kTagLength + 3 + 4 + 4;
// A loan: movie id and two 16-byte stamps.
const DWORD kLoanBytes = 4 + 16 + 16;

// The length of the stream; the position is back at the start. -1 when the
// stream cannot seek.
long long StreamLength(FILE* f)
{
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0)
        return -1;
    long long length = _ftelli64(f);
    if (_fseeki64(f, 0, SEEK_SET) != 0)
        return -1;
#else
    if (fseeko(f, 0, SEEK_END) != 0)
        return -1;
    long long length = ftello(f);
    if (fseeko(f, 0, SEEK_SET) != 0)
        return -1;
#endif
    return length;
}

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
typedef std::unique_ptr<FILE, FileCloser> FilePtr;

// The open file of a load and its version.
struct Reader {
    FILE* f;
    int version;

    long long Left() const
    {
        long long left = StreamBytesLeft(f);
        return left < 0 ? 0 : left;
    }

    // count entries of at least each bytes still fit in the file.
    bool Fits(DWORD count, DWORD each) const
    {
        return static_cast<unsigned long long>(count) * each <=
               static_cast<unsigned long long>(Left());
    }

    // No record can be read any more: a read has met the end of the file
    // or the stream has failed.
    bool Exhausted() const { return feof(f) != 0 || ferror(f) != 0; }
};

bool ReadTag(FILE* f, const char* tag)
{
    char read[kTagLength];
    return ReadBytes(f, read, kTagLength) && memcmp(read, tag, kTagLength) == 0;
}

bool WriteTag(FILE* f, const char* tag)
{
    return WriteBytes(f, tag, kTagLength);
}

// An empty text read from the file counts as absent.
bool ReadOptionalString(FILE* f, char** text)
{
    if (!ReadString(f, text))
        return false;
    if (*text != NULL && **text == 0)
        StrSet(text, NULL);
    return true;
}

// A u32 count n, then n u32 ids.
bool ReadIdList(const Reader& r, std::vector<DWORD>& ids)
{
    DWORD n = 0;
    if (!ReadU32(r.f, &n) || n > 0x3FFFFFFF || !r.Fits(n, 4))
        return false;
    std::vector<BYTE> raw(size_t(n) * 4);
    if (n > 0 && !ReadBytes(r.f, raw.data(), DWORD(raw.size())))
        return false;
    ids.resize(n);
    for (size_t i = 0; i < n; i++) {
        const BYTE* b = &raw[i * 4];
        ids[i] = DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    }
    return true;
}

bool WriteIdList(FILE* f, const std::vector<DWORD>& ids)
{
    std::vector<BYTE> raw(ids.size() * 4);
    for (size_t i = 0; i < ids.size(); i++) {
        raw[i * 4] = BYTE(ids[i]);
        raw[i * 4 + 1] = BYTE(ids[i] >> 8);
        raw[i * 4 + 2] = BYTE(ids[i] >> 16);
        raw[i * 4 + 3] = BYTE(ids[i] >> 24);
    }
    return WriteU32(f, DWORD(ids.size())) && WriteBytes(f, raw.data(), DWORD(raw.size()));
}

// The media-type code of versions 0 to 10: one byte in the oldest versions,
// mapped to the code of the later ones.
bool ReadMediaTypeCode(FILE* f, int version, DWORD* code)
{
    if (version >= 3)
        return ReadU32(f, code);
    BYTE legacy = 0;
    if (!ReadU8(f, &legacy))
        return false;
    *code = MapLegacyMediaCode(legacy);
    return true;
}

// ---------------------------------------------------------------------------
// Disc

bool ReadDiscBody(const Reader& r, CDisc& disc)
{
    FILE* f = r.f;
    if (!ReadU32(f, &disc.m_id) || !ReadString(f, &disc.m_serialNumber) ||
        !ReadString(f, &disc.m_name))
        return false;
    if (r.version >= 4) {
        BYTE fixed = 0;
        if (!ReadU8(f, &fixed))
            return false;
        disc.m_fixedOrNetwork = fixed == 1 ? 1 : 0;
        if (fixed == 1 && !ReadU8(f, &disc.m_driveLetter))
            return false;
    }
    return ReadIdList(r, disc.m_fileIds);
}

bool WriteDiscBody(FILE* f, const CDisc& disc)
{
    BYTE fixed = disc.m_fixedOrNetwork ? 1 : 0;
    return WriteU32(f, disc.m_id) && WriteString(f, disc.m_serialNumber) &&
           WriteString(f, disc.m_name) && WriteU8(f, fixed) &&
           (!fixed || WriteU8(f, disc.m_driveLetter)) && WriteIdList(f, disc.m_fileIds);
}

// ---------------------------------------------------------------------------
// Movie

bool ReadMovieBody(const Reader& r, CMovie& movie)
{
    FILE* f = r.f;
    const int v = r.version;
    if (!ReadU32(f, &movie.m_id) || !ReadString(f, &movie.m_title))
        return false;
    if (v >= 11) {
        if (!ReadString(f, &movie.m_mediaTypeName))
            return false;
    } else {
        DWORD code = 0;
        if (!ReadMediaTypeCode(f, v, &code))
            return false;
        StrSet(&movie.m_mediaTypeName, GetMediaTypeName(code));
    }
    if (v >= 1) {
        BYTE seen = 0;
        if (!ReadU8(f, &seen))
            return false;
        movie.m_seen = seen != 0 ? 1 : 0;
    }
    if (v >= 3) {
        BYTE hasSubtitles = 0;
        if (!ReadOptionalString(f, &movie.m_customType) || !ReadString(f, &movie.m_language) ||
            !ReadU8(f, &hasSubtitles))
            return false;
        movie.m_hasSubtitles = hasSubtitles == 1 ? 1 : 0;
        if (hasSubtitles == 1 && !ReadString(f, &movie.m_subtitles))
            return false;
    }
    BYTE hasInfo = 0;
    if (!ReadU8(f, &hasInfo))
        return false;
    if (hasInfo == 1) {
        std::unique_ptr<CImdbInfo> info(new CImdbInfo);
        if (!info->Read(f, v))
            return false;
        movie.m_imdbInfo = std::move(info);
    }
    return ReadIdList(r, movie.m_fileIds);
}

bool WriteMovieBody(FILE* f, const CMovie& movie)
{
    BYTE hasSubtitles = movie.m_hasSubtitles ? 1 : 0;
    if (!WriteU32(f, movie.m_id) || !WriteString(f, movie.m_title) ||
        !WriteString(f, movie.m_mediaTypeName) || !WriteU8(f, movie.m_seen ? 1 : 0) ||
        !WriteString(f, movie.m_customType) || !WriteString(f, movie.m_language) ||
        !WriteU8(f, hasSubtitles) || (hasSubtitles && !WriteString(f, movie.m_subtitles)))
        return false;
    if (!WriteU8(f, movie.m_imdbInfo ? 1 : 0) ||
        (movie.m_imdbInfo && !movie.m_imdbInfo->Write(f)))
        return false;
    return WriteIdList(f, movie.m_fileIds);
}

// ---------------------------------------------------------------------------
// Movie file

// One of the older media records behind its flag byte. The first one present
// becomes the file's media information; a later one is read and dropped.
bool ReadLegacyMedia(const Reader& r, DWORD code, bool isAvi, bool isMpeg, bool isIfo,
                     CMovieFile& file)
{
    BYTE flag = 0;
    if (!ReadU8(r.f, &flag))
        return false;
    if (flag != 1)
        return true;
    std::unique_ptr<CMediaFormatInfo> info(new CMediaFormatInfo);
    if (!info->Read(r.f, r.version, code, isAvi, isMpeg, isIfo))
        return false;
    if (!file.m_mediaInfo)
        file.m_mediaInfo = std::move(info);
    return true;
}

bool ReadFileBody(const Reader& r, CMovieFile& file)
{
    FILE* f = r.f;
    const int v = r.version;
    DWORD code = 0;
    DWORD part = 0;
    if (!ReadU32(f, &file.m_id) || (v <= 10 && !ReadMediaTypeCode(f, v, &code)) ||
        !ReadU32(f, &part) || !ReadString(f, &file.m_folder) ||
        !ReadString(f, &file.m_fileName) || !ReadString(f, &file.m_movieTitle))
        return false;
    file.m_partNumber = int32_t(part);

    BYTE sign = 0;
    DWORD quotient = 0, remainder = 0;
    if (!ReadU8(f, &sign) || !ReadU32(f, &quotient) || !ReadU32(f, &remainder))
        return false;
    file.m_size = JoinFileSize(sign, quotient, remainder);

    WORD t[8];
    for (int i = 0; i < 8; i++) {
        if (!ReadU16(f, &t[i]))
            return false;
    }
    SYSTEMTIME& time = file.m_creationTime;
    time.wDay = t[0];
    time.wDayOfWeek = t[1];
    time.wHour = t[2];
    time.wMilliseconds = t[3];
    time.wMinute = t[4];
    time.wMonth = t[5];
    time.wSecond = t[6];
    time.wYear = t[7];

    if (v >= 11) {
        BYTE hasInfo = 0;
        if (!ReadU8(f, &hasInfo))
            return false;
        if (hasInfo == 1) {
            std::unique_ptr<CMediaFormatInfo> info(new CMediaFormatInfo);
            if (!info->Read(f, v, code, false, false, false))
                return false;
            file.m_mediaInfo = std::move(info);
        }
        return true;
    }
    return ReadLegacyMedia(r, code, true, false, false, file) &&
           ReadLegacyMedia(r, code, false, true, false, file) &&
           (v < 6 || ReadLegacyMedia(r, code, false, false, true, file));
}

bool WriteFileBody(FILE* f, const CMovieFile& file)
{
    BYTE sign = 0;
    DWORD quotient = 0, remainder = 0;
    SplitFileSize(file.m_size, &sign, &quotient, &remainder);
    const SYSTEMTIME& t = file.m_creationTime;
    const WORD time[8] = { t.wDay, t.wDayOfWeek, t.wHour, t.wMilliseconds,
                           t.wMinute, t.wMonth, t.wSecond, t.wYear };
    DWORD part = file.m_partNumber < 0 ? 0xFFFFFFFF : DWORD(file.m_partNumber);

    if (!WriteU32(f, file.m_id) || !WriteU32(f, part) || !WriteString(f, file.m_folder) ||
        !WriteString(f, file.m_fileName) || !WriteString(f, file.m_movieTitle) ||
        !WriteU8(f, sign) || !WriteU32(f, quotient) || !WriteU32(f, remainder))
        return false;
    for (int i = 0; i < 8; i++) {
        if (!WriteU16(f, time[i]))
            return false;
    }
    bool hasInfo = file.m_mediaInfo && file.m_mediaInfo->GetFormat() != NULL;
    return WriteU8(f, hasInfo ? 1 : 0) && (!hasInfo || file.m_mediaInfo->Write(f));
}

// ---------------------------------------------------------------------------
// Person

// 4 reserved bytes, then year, month, day of week, day, hour and minute.
bool ReadStamp(FILE* f, CDateStamp& stamp)
{
    BYTE reserved[4];
    SYSTEMTIME& t = stamp.m_time;
    return ReadBytes(f, reserved, 4) && ReadU16(f, &t.wYear) && ReadU16(f, &t.wMonth) &&
           ReadU16(f, &t.wDayOfWeek) && ReadU16(f, &t.wDay) && ReadU16(f, &t.wHour) &&
           ReadU16(f, &t.wMinute);
}

bool WriteStamp(FILE* f, const CDateStamp& stamp)
{
    const BYTE reserved[4] = { 0, 0, 0, 0 };
    const SYSTEMTIME& t = stamp.m_time;
    return WriteBytes(f, reserved, 4) && WriteU16(f, t.wYear) && WriteU16(f, t.wMonth) &&
           WriteU16(f, t.wDayOfWeek) && WriteU16(f, t.wDay) && WriteU16(f, t.wHour) &&
           WriteU16(f, t.wMinute);
}

bool ReadPersonBody(const Reader& r, CPerson& person)
{
    FILE* f = r.f;
    DWORD count = 0;
    if (!ReadString(f, &person.m_name) || !ReadString(f, &person.m_address) ||
        !ReadString(f, &person.m_telephone) || !ReadU32(f, &person.m_id) ||
        !ReadU32(f, &count) || !r.Fits(count, kLoanBytes))
        return false;
    person.m_loans.resize(count);
    for (CLoan& loan : person.m_loans) {
        if (!ReadU32(f, &loan.m_movieId) || !ReadStamp(f, loan.m_borrowed) ||
            !ReadStamp(f, loan.m_returned))
            return false;
    }
    return true;
}

bool WritePersonBody(FILE* f, const CPerson& person)
{
    if (!WriteString(f, person.m_name) || !WriteString(f, person.m_address) ||
        !WriteString(f, person.m_telephone) || !WriteU32(f, person.m_id) ||
        !WriteU32(f, DWORD(person.m_loans.size())))
        return false;
    for (const CLoan& loan : person.m_loans) {
        if (!WriteU32(f, loan.m_movieId) || !WriteStamp(f, loan.m_borrowed) ||
            !WriteStamp(f, loan.m_returned))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Loading

// Advances the progress window with the bytes the load has read.
class ProgressSteps {
public:
    ProgressSteps(ILoadProgress* progress, long long length) : m_progress(progress), m_length(length) {}

    void At(long long left)
    {
        if (m_progress == NULL || m_length <= 0)
            return;
        long long read = m_length - (left < 0 ? 0 : left);
        m_progress->SetPos(int(double(read) * kProgressHigh / double(m_length)));
    }

private:
    ILoadProgress* m_progress;
    long long m_length;
};

// The records a load could not read. The header's count of a kind is only
// believed while the rest of the file could hold that many records of it at
// their smallest; beyond that the number lost is unknown.
struct LostRecords {
    unsigned long long count = 0;
    bool unknown = false;
};

// Reads count records of one kind and adds those not read to lost. A
// record is dropped when its body fails or its id is -1; the next one takes
// its place. A wrong tag, or the end of the file, ends the kind at once: no
// further record of it can follow there.
template <class T>
void ReadRecords(const Reader& r, const char* tag, DWORD count, DWORD minBytes,
                 bool (*readBody)(const Reader&, T&), std::vector<std::unique_ptr<T>>& list,
                 ProgressSteps& progress, LostRecords& lost)
{
    long long room = r.Left() / minBytes;
    list.reserve(size_t(std::min<long long>(count, room)));
    for (DWORD i = 0; i < count && !r.Exhausted(); i++) {
        progress.At(r.Left());
        if (!ReadTag(r.f, tag))
            break;
        try {
            std::unique_ptr<T> record(new T);
            if (readBody(r, *record) && record->m_id != NO_ID)
                list.push_back(std::move(record));
        } catch (const std::bad_alloc&) {
            // Dropped like any record that cannot be read.
        }
    }
    if (count > room)
        lost.unknown = true;
    else
        lost.count += count - list.size();
}

template <class T>
void SortById(std::vector<std::unique_ptr<T>>& list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const std::unique_ptr<T>& a, const std::unique_ptr<T>& b) {
                         return a->m_id < b->m_id;
                     });
}

// The list is in id order.
template <class T>
T* FindById(const std::vector<std::unique_ptr<T>>& list, DWORD id)
{
    typename std::vector<std::unique_ptr<T>>::const_iterator it = std::lower_bound(
        list.begin(), list.end(), id,
        [](const std::unique_ptr<T>& record, DWORD value) { return record->m_id < value; });
    return it != list.end() && (*it)->m_id == id ? it->get() : NULL;
}

// Which version's magic the file begins with; -1 for none.
int ReadVersion(FILE* f)
{
    char magic[kTagLength];
    if (!ReadBytes(f, magic, kTagLength))
        return -1;
    for (int v = kNewestDatabaseVersion; v >= 0; v--) {
        if (memcmp(magic, kMagic[v], kTagLength) == 0)
            return v;
    }
    return -1;
}

// Discs, movies, files and persons; no person count before version 7.
bool ReadCounts(FILE* f, int version, DWORD counts[4])
{
    if (!ReadTag(f, kCountsTag))
        return false;
    for (int i = 0; i < 3; i++) {
        if (!ReadU32(f, &counts[i]))
            return false;
    }
    counts[3] = 0;
    return version < 7 || ReadU32(f, &counts[3]);
}

// ---------------------------------------------------------------------------
// Saving

template <class T>
bool WriteRecords(FILE* f, const char* tag, const std::vector<std::unique_ptr<T>>& list,
                  bool (*writeBody)(FILE*, const T&))
{
    for (const std::unique_ptr<T>& record : list) {
        if (!WriteTag(f, tag))
            return false;
        if (record) {
            if (!writeBody(f, *record))
                return false;
        } else {
            // The store keeps no empty slot; should one appear it is written
            // as a record with id -1, which a load drops.
            T placeholder;
            if (!writeBody(f, placeholder))
                return false;
        }
    }
    return true;
}

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

// After a load of path: remembers whether it was damaged. The name its
// original would be kept under, empty when none will be.
std::string NoteLoadedFile(const char* path, bool damaged)
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    std::vector<std::string>::iterator entry = FindDamaged(path);
    if (entry != g_damaged.end())
        g_damaged.erase(entry);
    if (!damaged || SamePath(path, g_scratchPath))
        return std::string();
    g_damaged.push_back(path);
    return FreeDamagedName(path);
}

// Puts the finished file in the place of the target in one step.
bool ReplaceTarget(const std::string& finished, const char* path)
{
#ifdef _WIN32
    return MoveFileExA(finished.c_str(), path,
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    if (rename(finished.c_str(), path) != 0)
        return false;
    // Make the new directory entry durable too.
    std::string folder = FolderOf(path);
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
#endif
}

} // namespace

void SetScratchDatabasePath(const char* path)
{
    std::lock_guard<std::mutex> lock(g_damagedLock);
    g_scratchPath = path != NULL ? path : "";
}

void SplitFileSize(int64_t size, BYTE* sign, DWORD* quotient, DWORD* remainder)
{
    // The magnitude of the most negative size still fits unsigned.
    uint64_t magnitude = size < 0 ? uint64_t(-(size + 1)) + 1 : uint64_t(size);
    uint64_t rest = magnitude % kSizeDivisor;
    *sign = size < 0 ? 1 : 0;
    *remainder = DWORD(rest);
    *quotient = DWORD((magnitude - rest) / kSizeDivisor);
}

int64_t JoinFileSize(BYTE sign, DWORD quotient, DWORD remainder)
{
    // At most (2^32 - 1) * 2^32: no overflow in 64 unsigned bits.
    uint64_t magnitude = uint64_t(quotient) * kSizeDivisor + remainder;
    const uint64_t largest = uint64_t(INT64_MAX);
    if (sign == 1)
        return magnitude > largest ? INT64_MIN : -int64_t(magnitude);
    return magnitude > largest ? INT64_MAX : int64_t(magnitude);
}

bool CMovieCollection::Load(const char* path, ILoadProgress* progress)
{
    FilePtr file(path != NULL ? fopen(path, "rb") : NULL);
    if (file)
        setvbuf(file.get(), NULL, _IOFBF, kLoadBufferBytes);
    long long length = file ? StreamLength(file.get()) : -1;
    if (length < 0) {
        ShowError(0, "Error opening file %s", path != NULL ? path : "");
        return false;
    }
    FILE* f = file.get();

    Reader r = { f, ReadVersion(f) };
    DWORD counts[4] = { 0, 0, 0, 0 };  // discs, movies, files, persons
    if (r.version < 0 || !ReadCounts(f, r.version, counts)) {
        ShowError(0, "This is not a Vistrel file, not created with this program atleast...");
        return false;
    }

    // The records are read aside and replace the collection's in one step.
    std::vector<std::unique_ptr<CDisc>> discs;
    std::vector<std::unique_ptr<CMovie>> movies;
    std::vector<std::unique_ptr<CMovieFile>> files;
    std::vector<std::unique_ptr<CPerson>> persons;

    char* text = NULL;
    StrAppendFormat(&text, "Loading %s...", path);
    if (progress != NULL)
        progress->Show(text != NULL ? text : "", 0, kProgressHigh);
    free(text);

    ProgressSteps steps(progress, length);
    LostRecords lost;
    {
        // The records take the file front to back through the stream readers
        // alone, so the checks of counts and lengths need no system call.
        CSequentialRead sequential(f, length);
        ReadRecords(r, kDiscTag, counts[0], kMinDiscBytes, ReadDiscBody, discs, steps, lost);
        ReadRecords(r, kMovieTag, counts[1], kMinMovieBytes, ReadMovieBody, movies, steps, lost);
        ReadRecords(r, kFileTag, counts[2], kMinFileBytes, ReadFileBody, files, steps, lost);
        ReadRecords(r, kPersonTag, counts[3], kMinPersonBytes, ReadPersonBody, persons, steps, lost);
    }

    if (progress != NULL)
        progress->Close();
    file.reset();

    // The store looks records up by id. Files written by the program are in
    // id order already; any other order is put right, equal ids keeping
    // their order in the file.
    SortById(discs);
    SortById(movies);
    SortById(files);
    SortById(persons);

    // Repeated ids, ids that name nothing and files named twice are put
    // right (core/IdRepair.h).
    IdRepairCounts repair = RepairIds(discs, movies, files, persons);
    unsigned long long repaired = repair.removedReferences;
    unsigned long long renumbered = repair.renumbered;
    unsigned long long dropped = repair.dropped;

    // One message for the whole load, with what was lost and what was
    // mended, instead of a box per entry.
    bool damaged = lost.unknown || lost.count > 0 || repaired > 0 || renumbered > 0 || dropped > 0;
    std::string keptAs = NoteLoadedFile(path, damaged);
    if (damaged) {
        std::string lostText = "An unknown number of records";
        if (!lost.unknown)
            lostText = std::to_string(lost.count) + " record(s)";
        std::string repeatedText;
        if (renumbered > 0)
            repeatedText += " " + std::to_string(renumbered) + " record(s) repeating an id were given a new one.";
        if (dropped > 0)
            repeatedText += " " + std::to_string(dropped) + " record(s) repeating an id were dropped.";
        std::string keptText;
        if (!keptAs.empty())
            keptText = "\n\nAt the next save the original file will be kept as " + keptAs + ".";
        ShowError(0, "%s\n\n%s could not be read; %.0f reference(s) to missing records were removed.%s%s",
                  kCorruptText, lostText.c_str(), double(repaired), repeatedText.c_str(), keptText.c_str());
    }

    // The oldest versions kept no usable type: a movie takes the format name
    // of its first file.
    if (r.version < 3) {
        for (const std::unique_ptr<CMovie>& movie : movies) {
            if (movie->m_fileIds.empty())
                continue;
            const CMovieFile* first = FindById(files, movie->m_fileIds[0]);
            const MediaFormat* format = first != NULL ? first->GetFormat() : NULL;
            if (format != NULL)
                StrSet(&movie->m_mediaTypeName, format->kindName);
        }
    }

    std::lock_guard<std::recursive_mutex> lock(m_lock);
    Clear();
    m_discs.swap(discs);
    m_movies.swap(movies);
    m_files.swap(files);
    m_persons.swap(persons);
    StrSet(&m_fileName, path);
    // A catalogue that lost records is not what the file holds: saving it
    // would overwrite the file with less, so it does not count as saved.
    m_saved = r.version < 3 || damaged ? 0 : 1;
    return true;
}

bool CMovieCollection::Save(const char* path, bool silent)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    std::string temporary;
    FILE* f = path != NULL ? CreateSavingFile(path, &temporary) : NULL;
    ApplyAllPendingChanges();
    if (f == NULL) {
        if (!silent)
            ShowError(0, "Error trying to create/overwrite file %s", path != NULL ? path : "");
        return false;
    }

    // The old file stays untouched until the new one is complete on disc;
    // a damaged one is kept aside before it is replaced.
    setvbuf(f, NULL, _IOFBF, 64 * 1024);
    bool written = WriteBytes(f, kMagic[kNewestDatabaseVersion], kTagLength) &&
                   WriteTag(f, kCountsTag) && WriteU32(f, DWORD(m_discs.size())) &&
                   WriteU32(f, DWORD(m_movies.size())) && WriteU32(f, DWORD(m_files.size())) &&
                   WriteU32(f, DWORD(m_persons.size())) &&
                   WriteRecords(f, kDiscTag, m_discs, WriteDiscBody) &&
                   WriteRecords(f, kMovieTag, m_movies, WriteMovieBody) &&
                   WriteRecords(f, kFileTag, m_files, WriteFileBody) &&
                   WriteRecords(f, kPersonTag, m_persons, WritePersonBody) && FlushToDisc(f);
    if (fclose(f) != 0)
        written = false;
    if (!written) {
        remove(temporary.c_str());
        if (!silent)
            ShowError(0, "Unable to write to file");
        return false;
    }
    if (!KeepDamagedOriginal(path) || !ReplaceTarget(temporary, path)) {
        remove(temporary.c_str());
        if (!silent)
            ShowError(0, "Error trying to create/overwrite file %s", path);
        return false;
    }
    if (!silent) {
        m_saved = 1;
        StrSet(&m_fileName, path);
    }
    return true;
}
