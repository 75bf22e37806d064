// Writing an export.
#include "export/ExportWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

// The script expanded for the movie (or none), as a heap text.
std::string Expand(const std::string& script, const CMovie* movie, int32_t number, const ExportJob& job)
{
    char* text = NULL;
    StrAssign(&text, script.c_str());
    if (movie == NULL)
        ExpandScriptTokens(&text, NULL, -1, NULL, NULL);
    else
        ExpandScriptTokens(&text, movie, number, job.coverPrefix.c_str(),
                           job.noCoverName.empty() ? NULL : job.noCoverName.c_str());
    std::string result = text != NULL ? text : "";
    free(text);
    return result;
}

bool WriteText(FILE* file, const std::string& text)
{
    return text.empty() || fwrite(text.data(), 1, text.size(), file) == text.size();
}

bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
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

struct SortEntry {
    DWORD id;
    std::string key;
    std::string key2;
};

bool EntryBefore(const SortEntry& a, const SortEntry& b)
{
    int order = CompareNoCase(a.key.c_str(), b.key.c_str());
    if (order == 0)
        order = CompareNoCase(a.key2.c_str(), b.key2.c_str());
    return order < 0;
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

bool WriteBigList(const ExportJob& job, ILoadProgress* progress)
{
    FILE* file = fopen(job.outputFile.c_str(), "wb");
    if (file == NULL) {
        ShowError(0, "Unable to create file");
        return false;
    }
    setvbuf(file, NULL, _IOFBF, 64 * 1024);
    if (!WriteText(file, Expand(job.bigScripts.head, NULL, -1, job))) {
        ShowError(0, kWriteError);
        fclose(file);
        return false;
    }

    std::vector<SortEntry> entries;
    {
        CExportProgress shown(progress, "Exporting info...", CountExportMovies(job.bigRange));
        for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID;
             id = theCollection.GetNextIdOfMovie(id)) {
            if (InRange(job.bigRange, id)) {
                char* key = NULL;
                char* key2 = NULL;
                MovieSortKeysById(job.sortCode, id, &key, &key2);
                entries.push_back(SortEntry{id, key != NULL ? key : "", key2 != NULL ? key2 : ""});
                free(key);
                free(key2);
            }
            shown.Step();
        }
    }
    if (job.order == kDescending)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const SortEntry& a, const SortEntry& b) { return EntryBefore(b, a); });
    else
        std::stable_sort(entries.begin(), entries.end(), EntryBefore);

    bool stop = false;
    bool written = true;
    int32_t number = 1;
    for (const SortEntry& entry : entries) {
        // Read in place: a copy of every movie would copy every cover too.
        bool found = theCollection.ReadMovie(entry.id, [&](const CMovie& movie) {
            written = WriteText(file, Expand(job.bigScripts.body, &movie, number++, job));
        });
        if (!found) {
            ShowError(0, "Severe database error");
            stop = true;
            break;
        }
        // A body that can't be written means a full or lost disc: one
        // message ends the list rather than one per movie.
        if (!written)
            break;
    }
    if (!stop && written)
        written = WriteText(file, Expand(job.bigScripts.foot, NULL, -1, job));
    bool closed = fclose(file) == 0;
    if (!stop && (!written || !closed))
        ShowError(0, kWriteError);
    return !stop;
}

bool WriteSmallFiles(const ExportJob& job, ILoadProgress* progress)
{
    CExportProgress shown(progress, "Exporting info...", CountExportMovies(job.smallRange));
    CExportFileNames names;
    size_t fixed = job.outputFolder.size() + 1 + job.fileType.size() + kIdSuffixRoom;
    size_t room = fixed < kMaxExportPath ? kMaxExportPath - fixed : 0;
    int32_t number = 1;
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
        shown.Step();
        if (!InRange(job.smallRange, id))
            continue;
        std::string path;
        bool created = false;
        bool written = false;
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
            FILE* file = fopen(path.c_str(), "wb");
            created = file != NULL;
            if (created) {
                written = WriteText(file, Expand(job.smallScript, &movie, number++, job));
                written = fclose(file) == 0 && written;
            }
        });
        if (!found) {
            ShowError(0, "Severe database error");
            return false;
        }
        if (!created) {
            ShowError(0, "Unable to create file, %s", path.c_str());
            continue;
        }
        if (!written) {
            ShowError(0, "Unable to write data to file, %s", path.c_str());
            break;
        }
    }
    return true;
}

bool WriteCovers(const ExportJob& job, ILoadProgress* progress)
{
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
            FILE* file = fopen(path.c_str(), "wb");
            created = file != NULL;
            if (created) {
                const std::vector<BYTE>& cover = movie.m_imdbInfo->m_cover;
                written = fwrite(cover.data(), 1, cover.size(), file) == cover.size();
                written = fclose(file) == 0 && written;
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
}
