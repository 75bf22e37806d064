// The database file: the record bodies of all thirteen versions, the repair
// pass after a load, and a save that replaces the old file only once the new
// one is complete on disc, keeping it aside first when its load found it
// damaged (the file handling of that is SaveTarget.cpp).
//
// Every count read from a file is checked against the bytes the file still
// holds before anything is sized by it, so a damaged or hostile file costs
// no more memory than its own length and never reads outside a record.
#include "core/DatabaseFile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/IdRepair.h"
#include "core/MediaFormatInfo.h"
#include "core/MovieCollection.h"
#include "core/SaveTarget.h"
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

// Closes the progress window however the load ends.
class ProgressWindowGuard {
public:
    explicit ProgressWindowGuard(ILoadProgress* progress) : m_progress(progress) {}
    ~ProgressWindowGuard() { Close(); }
    void Close()
    {
        if (m_progress != NULL)
            m_progress->Close();
        m_progress = NULL;
    }

private:
    ILoadProgress* m_progress;
};

const char kOutOfMemory[] = "Out of memory.";

// The printf-style text; throws std::bad_alloc.
std::string Format(const char* format, ...) VISTREL_PRINTF(1, 2);
std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text;
    try {
        text = StrFormatV(format, args);
    } catch (const std::bad_alloc&) {
        va_end(args);
        throw;
    }
    va_end(args);
    return text;
}

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
        // Memory that runs out (std::bad_alloc) ends the whole load: the
        // reader would stand in the middle of the record.
        std::unique_ptr<T> record(new T);
        if (readBody(r, *record) && record->m_id != NO_ID)
            list.push_back(std::move(record));
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

} // namespace

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

// Memory that runs out anywhere in a load ends it as a failure that says so;
// the records are read aside, so the catalogue that was open stays as it was.
bool CMovieCollection::Load(const char* path, ILoadProgress* progress) try
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

    std::string title = Format("Loading %s...", path);
    ProgressWindowGuard window(progress);
    if (progress != NULL)
        progress->Show(title.c_str(), 0, kProgressHigh);

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

    window.Close();
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

    bool damaged = lost.unknown || lost.count > 0 || repaired > 0 || renumbered > 0 || dropped > 0;
    std::string message;
    if (damaged) {
        std::string keptAs = DamagedCopyName(path);
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
        message = Format("%s\n\n%s could not be read; %.0f reference(s) to missing records were removed.%s%s",
                         kCorruptText, lostText.c_str(), double(repaired), repeatedText.c_str(),
                         keptText.c_str());
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

    // The last steps that take memory; from the note on nothing fails.
    HeapText fileName = StrCopy(path);
    NoteLoadedFile(path, damaged);
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        Clear();
        m_discs.swap(discs);
        m_movies.swap(movies);
        m_files.swap(files);
        m_persons.swap(persons);
        free(m_fileName);
        m_fileName = fileName.release();
        // A catalogue that lost records is not what the file holds: saving
        // it would overwrite the file with less, so it does not count as
        // saved.
        m_saved = r.version < 3 || damaged ? 0 : 1;
    }
    // One message for the whole load, with what was lost and what was
    // mended, instead of a box per entry.
    if (damaged)
        ShowError(0, "%s", message.c_str());
    return true;
} catch (const std::bad_alloc&) {
    ShowError(0, "%s", kOutOfMemory);
    return false;
}

// Whatever way a save fails, the old file stays as it was, no saving file is
// left behind, and the file name stays; memory that runs out says so, and
// leaves the catalogue unsaved.
bool CMovieCollection::Save(const char* path, bool silent) try
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    CSaveTarget target(path != NULL ? path : "");
    bool created = path != NULL && target.Create();
    ApplyAllPendingChanges();
    if (!created) {
        if (!silent)
            ShowError(0, "Error trying to create/overwrite file %s", path != NULL ? path : "");
        return false;
    }
    // Taken now: once the file is in place nothing may fail.
    HeapText fileName = StrCopy(path);

    FILE* f = target.File();
    setvbuf(f, NULL, _IOFBF, 64 * 1024);
    bool written = WriteBytes(f, kMagic[kNewestDatabaseVersion], kTagLength) &&
                   WriteTag(f, kCountsTag) && WriteU32(f, DWORD(m_discs.size())) &&
                   WriteU32(f, DWORD(m_movies.size())) && WriteU32(f, DWORD(m_files.size())) &&
                   WriteU32(f, DWORD(m_persons.size())) &&
                   WriteRecords(f, kDiscTag, m_discs, WriteDiscBody) &&
                   WriteRecords(f, kMovieTag, m_movies, WriteMovieBody) &&
                   WriteRecords(f, kFileTag, m_files, WriteFileBody) &&
                   WriteRecords(f, kPersonTag, m_persons, WritePersonBody);
    if (!target.Finish() || !written) {
        if (!silent)
            ShowError(0, "Unable to write to file");
        return false;
    }
    if (!target.Replace(m_fileName)) {
        if (!silent)
            ShowError(0, "Error trying to create/overwrite file %s", path);
        return false;
    }
    if (!silent) {
        m_saved = 1;
        free(m_fileName);
        m_fileName = fileName.release();
    }
    return true;
} catch (const std::bad_alloc&) {
    // Changes handed to the save may be half applied: the catalogue is not
    // what the file holds. A silent save leaves the flag alone.
    if (silent)
        return false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        m_saved = 0;
    }
    ShowError(0, "%s", kOutOfMemory);
    return false;
}
