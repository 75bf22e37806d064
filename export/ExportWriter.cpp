// Writing an export.
#include "export/ExportWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <new>

#include "core/DatabaseFile.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/ExportPaths.h"
#include "export/SortKeys.h"
#include "export/TokenEngine.h"

namespace {

const int kDescending = 51;
const int kNameByTitle = 31;
const int kProgressLimit = 32000;

// Room left behind a file name for "-<movie id>".
const size_t kIdSuffixRoom = 11;

const char kWriteError[] = "Error writing to the export file.";
const char kOutOfMemory[] = "Out of memory.";

DWORD RangeEnd(const ExportRange& range)
{
    return range.used ? range.end : theCollection.GetIdOfLastMovie();
}

DWORD RangeStart(const ExportRange& range)
{
    return range.used ? range.start : 0;
}

bool InRange(const ExportRange& range, DWORD id)
{
    return id >= RangeStart(range) && id <= RangeEnd(range);
}

// The progress window takes positions up to 32000; larger counts are scaled.
class CExportProgress {
public:
    CExportProgress(ILoadProgress* progress, const char* text, DWORD total)
        : m_progress(progress), m_total(total), m_done(0)
    {
        if (m_progress != NULL)
            m_progress->Show(text, 0, int(std::min<DWORD>(total, kProgressLimit)));
    }
    ~CExportProgress()
    {
        if (m_progress != NULL)
            m_progress->Close();
    }
    void Step()
    {
        m_done++;
        if (m_progress == NULL)
            return;
        DWORD done = std::min(m_done, m_total);
        m_progress->SetPos(m_total > DWORD(kProgressLimit) ? int(uint64_t(done) * kProgressLimit / m_total)
                                                           : int(done));
    }

private:
    ILoadProgress* m_progress;
    DWORD m_total;
    DWORD m_done;
};

// *text becomes the script expanded for the movie (or none); one buffer
// and one set of counts serve every expansion of a run.
const std::string& Expand(const std::string& script, const CMovie* movie, int32_t number, const ExportJob& job,
                          TokenRunCounts* counts, std::string* text)
{
    text->clear();
    if (movie == NULL)
        ExpandScriptTokensTo(text, script.c_str(), NULL, -1, NULL, NULL, counts);
    else
        ExpandScriptTokensTo(text, script.c_str(), movie, number, job.coverPrefix.c_str(),
                             job.noCoverName.empty() ? NULL : job.noCoverName.c_str(), counts);
    return *text;
}

// The temporary name of a file being written, in its target's folder.
const char kTemporaryName[] = "vistrel-export.tmp";

// Puts the finished file in the place of the target, replacing it.
bool ReplaceTarget(const std::string& finished, const std::string& target)
{
#ifdef _WIN32
    return MoveFileExA(finished.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return rename(finished.c_str(), target.c_str()) == 0;
#endif
}

// A file of the export, written under a temporary name in its folder and put
// in its target's place once complete: a write that fails or runs out of
// memory leaves the old file as it was, no part of a new one, and no handle
// open.
class CExportFile {
public:
    explicit CExportFile(const std::string& target) : m_target(target), m_file(NULL), m_done(false)
    {
        size_t slash = target.find_last_of("\\/");
        m_temporary = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + kTemporaryName;
    }
    ~CExportFile() { Discard(); }
    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    bool Create()
    {
        m_file = fopen(m_temporary.c_str(), "wb");
        return m_file != NULL;
    }
    FILE* Stream() const { return m_file; }
    bool Write(const void* data, size_t size) { return size == 0 || fwrite(data, 1, size, m_file) == size; }
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }
    // Closes the file; false when not all that was written reached it.
    bool Close()
    {
        FILE* file = m_file;
        m_file = NULL;
        return fclose(file) == 0;
    }
    // Puts the closed file in the target's place; false when it can't.
    bool Finish()
    {
        m_done = ReplaceTarget(m_temporary, m_target);
        return m_done;
    }
    void Discard()
    {
        if (m_file != NULL)
            fclose(m_file);
        m_file = NULL;
        if (!m_done)
            remove(m_temporary.c_str());
    }

private:
    std::string m_target;
    std::string m_temporary;
    FILE* m_file;
    bool m_done;
};

// Writes the bytes as the whole file at the path.
bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    CExportFile file(path);
    if (!file.Create())
        return false;
    bool written = file.Write(bytes.data(), bytes.size());
    return file.Close() && written && file.Finish();
}

// Runs one part of the export; no memory ends it, and the run, as a failure.
template <typename Part>
bool UnlessOutOfMemory(Part part)
{
    try {
        return part();
    } catch (const std::bad_alloc&) {
        ShowOutOfMemory();
        return false;
    }
}

// Case is ignored as in the C runtime's _stricmp (ASCII letters only).
int CompareNoCase(const char* a, const char* b)
{
    for (;; a++, b++) {
        int ca = (unsigned char)LowerAscii(*a);
        int cb = (unsigned char)LowerAscii(*b);
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

// One movie of the big list. The keys are texts of the stored movie, or of
// the run's key store when the movie holds none, so nothing is copied. The
// entry keeps the first bytes of the primary key, case folded and packed
// so that the numbers order as the texts do: most comparisons are decided
// without reading the movies, which lie all over memory.
const size_t kLeadWords = 3;

struct SortEntry {
    const CMovie* movie;
    uint64_t lead[kLeadWords];
    const char* key;
    const char* key2;
};

SortEntry MakeEntry(const CMovie* movie, const char* key, const char* key2)
{
    SortEntry entry = {movie, {0, 0, 0}, key, key2};
    const char* p = key;
    for (size_t i = 0; i < kLeadWords * 8; i++) {
        uint64_t c = (unsigned char)LowerAscii(*p);
        entry.lead[i / 8] = (entry.lead[i / 8] << 8) | c;
        if (c != 0)
            p++;
    }
    return entry;
}

bool EntryBefore(const SortEntry& a, const SortEntry& b)
{
    for (size_t i = 0; i < kLeadWords; i++) {
        if (a.lead[i] != b.lead[i])
            return a.lead[i] < b.lead[i];
    }
    // Equal leads that end in a NUL are equal keys.
    int order = (a.lead[kLeadWords - 1] & 0xFF) == 0 ? 0 : CompareNoCase(a.key, b.key);
    if (order == 0)
        order = CompareNoCase(a.key2, b.key2);
    return order < 0;
}

void Prefetch(const void* address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Each movie's records lie apart in memory, and the export reads many
// movies one after the other, each waiting for its records in turn. This
// asks early for those of the movies a few places ahead of i, in the steps
// in which they name each other: the movie, then its title and IMDb record,
// then the IMDb texts.
void PrefetchAhead(const std::vector<const CMovie*>& movies, size_t i)
{
    if (i + 8 < movies.size())
        Prefetch(movies[i + 8]);
    if (i + 4 < movies.size()) {
        Prefetch(movies[i + 4]->m_title);
        Prefetch(movies[i + 4]->m_imdbInfo.get());
    }
    if (i + 2 < movies.size()) {
        if (const CImdbInfo* info = movies[i + 2]->m_imdbInfo.get()) {
            for (const char* text : {info->m_title, info->m_director, info->m_genre, info->m_country,
                                     info->m_tagline, info->m_plot, info->m_coverType})
                Prefetch(text);
        }
    }
}

// The movies of the range with their keys, in ascending id order. Keys the
// movies don't hold go to *made, whose texts stay in place as it grows.
std::vector<SortEntry> MakeSortEntries(const std::vector<const CMovie*>& movies, const ExportJob& job,
                                       std::deque<std::string>* made, ILoadProgress* progress)
{
    DWORD start = RangeStart(job.bigRange);
    DWORD end = RangeEnd(job.bigRange);
    DWORD count = 0;
    for (const CMovie* movie : movies)
        count += movie->m_id >= start && movie->m_id <= end ? 1 : 0;
    std::vector<SortEntry> entries;
    entries.reserve(count);
    CExportProgress shown(progress, "Exporting info...", count);
    std::string room;
    for (size_t i = 0; i < movies.size(); i++) {
        PrefetchAhead(movies, i);
        const CMovie* movie = movies[i];
        if (movie->m_id >= start && movie->m_id <= end) {
            const char* key = MovieSortKeyText(job.sortCode, *movie, &room);
            if (key == room.c_str()) {
                made->push_back(std::move(room));
                key = made->back().c_str();
                room.clear();
            }
            entries.push_back(MakeEntry(movie, key, MovieTitleKey(*movie)));
        }
        shown.Step();
    }
    return entries;
}

// The movie's cover when it is written: cover bytes and a plain type.
bool HasWrittenCover(const CMovie& movie)
{
    const CImdbInfo* info = movie.m_imdbInfo.get();
    return info != NULL && info->HasCover() && IsPlainCoverType(info->m_coverType);
}

} // namespace

DWORD CountExportMovies(const ExportRange& range)
{
    DWORD count = 0;
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id))
        count += InRange(range, id) ? 1 : 0;
    return count;
}

DWORD CountExportCovers(const ExportRange& range)
{
    DWORD count = 0;
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
        if (InRange(range, id))
            theCollection.ReadMovie(id, [&](const CMovie& movie) { count += HasWrittenCover(movie) ? 1 : 0; });
    }
    return count;
}

void ShowOutOfMemory()
{
    // The short text needs no memory of its own to be shown.
    try {
        ShowError(0, kOutOfMemory);
    } catch (...) {
    }
}

bool WriteBigList(const ExportJob& job, ILoadProgress* progress)
{
    return UnlessOutOfMemory([&] {
        TokenRunCounts counts;
        CExportFile file(job.outputFile);
        if (!file.Create()) {
            ShowError(0, "Unable to create file");
            return false;
        }
        setvbuf(file.Stream(), NULL, _IOFBF, 64 * 1024);
        std::string text;
        if (!file.Write(Expand(job.bigScripts.head, NULL, -1, job, &counts, &text))) {
            ShowError(0, kWriteError);
            return false;
        }

        // The keys and bodies read the stored movies in place, under the
        // store's lock from the first key to the last body, so no movie can
        // go meanwhile; the token engine's own reads take the lock again on
        // this thread. No message box is shown while it is held (a box would
        // run the whole program's messages); the progress window handles
        // only its own, and the wizard is modal, so nothing changes the
        // catalogue meanwhile.
        bool written = true;
        theCollection.ReadMovies([&](const std::vector<const CMovie*>& movies) {
            std::deque<std::string> made;
            std::vector<SortEntry> entries = MakeSortEntries(movies, job, &made, progress);
            if (job.order == kDescending)
                std::stable_sort(entries.begin(), entries.end(),
                                 [](const SortEntry& a, const SortEntry& b) { return EntryBefore(b, a); });
            else
                std::stable_sort(entries.begin(), entries.end(), EntryBefore);

            std::vector<const CMovie*> sorted;
            sorted.reserve(entries.size());
            for (const SortEntry& entry : entries)
                sorted.push_back(entry.movie);
            for (size_t i = 0; i < sorted.size(); i++) {
                PrefetchAhead(sorted, i);
                // A body that can't be written means a full or lost disc: one
                // message ends the list rather than one per movie.
                written = file.Write(Expand(job.bigScripts.body, sorted[i], int32_t(i + 1), job, &counts, &text));
                if (!written)
                    break;
            }
        });
        if (written)
            written = file.Write(Expand(job.bigScripts.foot, NULL, -1, job, &counts, &text));
        // A list that is not whole does not replace the old one.
        if (!file.Close() || !written) {
            ShowError(0, kWriteError);
            return true;
        }
        if (!file.Finish()) {
            ShowError(0, "Unable to create file");
            return false;
        }
        return true;
    });
}

bool WriteSmallFiles(const ExportJob& job, ILoadProgress* progress)
{
    return UnlessOutOfMemory([&] {
        TokenRunCounts counts;
        CExportProgress shown(progress, "Exporting info...", CountExportMovies(job.smallRange));
        CExportFileNames names;
        size_t fixed = job.outputFolder.size() + 1 + job.fileType.size() + kIdSuffixRoom;
        size_t room = fixed < kMaxExportPath ? kMaxExportPath - fixed : 0;
        int32_t number = 1;
        std::string text;
        for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
            shown.Step();
            if (!InRange(job.smallRange, id))
                continue;
            std::string path;
            bool found = theCollection.ReadMovie(id, [&](const CMovie& movie) {
                std::string name;
                if (job.nameKind == kNameByTitle) {
                    name = movie.m_title != NULL ? movie.m_title : "";
                    MakeValidFileName(&name, room);
                    if (name.empty())
                        name = "unknown-" + std::to_string((unsigned long)id);
                    name = names.Take(name, id);
                } else {
                    name = std::to_string((unsigned long)id);
                }
                path = job.outputFolder + name + "." + job.fileType;
                Expand(job.smallScript, &movie, number, job, &counts, &text);
            });
            if (!found) {
                ShowError(0, "Severe database error");
                return false;
            }
            // The running number counts the files made.
            CExportFile file(path);
            if (!file.Create()) {
                ShowError(0, "Unable to create file, %s", path.c_str());
                continue;
            }
            bool written = file.Write(text);
            if (!file.Close() || !written) {
                ShowError(0, "Unable to write data to file, %s", path.c_str());
                break;
            }
            if (!file.Finish()) {
                ShowError(0, "Unable to create file, %s", path.c_str());
                continue;
            }
            number++;
        }
        return true;
    });
}

bool WriteCovers(const ExportJob& job, ILoadProgress* progress)
{
    return UnlessOutOfMemory([&] {
        if (!job.noCoverName.empty())
            WriteWholeFile(job.coverFolder + job.noCoverName, job.noCoverBytes);  // silent

        CExportProgress shown(progress, "Exporting covers...", CountExportCovers(job.coverRange));
        for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
            if (!InRange(job.coverRange, id))
                continue;
            std::string path;
            bool created = false;
            bool written = false;
            theCollection.ReadMovie(id, [&](const CMovie& movie) {
                if (!HasWrittenCover(movie))
                    return;
                // Only a plain type names the file, so the cover stays in its folder.
                path = job.coverFolder + std::to_string((unsigned long)id) + "." + movie.m_imdbInfo->m_coverType;
                CExportFile file(path);
                created = file.Create();
                if (created) {
                    const std::vector<BYTE>& cover = movie.m_imdbInfo->m_cover;
                    written = file.Write(cover.data(), cover.size());
                    written = file.Close() && written;
                    created = !written || file.Finish();
                }
            });
            if (path.empty())
                continue;
            shown.Step();
            if (!created) {
                ShowError(0, "Error creating cover file %s", path.c_str());
                break;
            }
            if (!written) {
                ShowError(0, "Error writing to cover file %s", path.c_str());
                break;
            }
        }
        return true;
    });
}
