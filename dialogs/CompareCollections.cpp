#include "dialogs/CompareCollections.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <unordered_map>

#include "core/StrUtil.h"
#include "export/TokenEngine.h"

namespace {

// Expands the template for each movie of the collection in ascending id
// order; the callback takes the text and the movie id.
void ExpandEach(CMovieCollection& collection, const char* templateText, const std::atomic<bool>& stop,
                long* done, const std::function<void(long)>& progress,
                const std::function<void(std::string&&, DWORD)>& take)
{
    CTokenCollectionScope scope(&collection);
    for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID && !stop; id = collection.GetNextIdOfMovie(id)) {
        CMovie* movie = collection.GetMovieCopy(id);
        if (movie != NULL) {
            char* text = NULL;
            StrSet(&text, templateText);
            ExpandScriptTokens(&text, movie, -1, NULL, NULL);
            take(std::string(text != NULL ? text : ""), id);
            free(text);
        }
        collection.ReleaseMovieCopy(&movie);
        ++*done;
        if (progress)
            progress(*done);
    }
}

} // namespace

CompareResult CompareCollections(CMovieCollection& current, CMovieCollection& other, const char* templateText,
                                 const std::atomic<bool>& stop, const std::function<void(long done)>& progress)
{
    CompareResult result;
    long done = 0;
    std::vector<CompareEntry> listA;
    std::vector<bool> matched;
    // Texts of list A to the indexes holding them, first first.
    std::unordered_map<std::string, std::vector<size_t>> byText;
    std::unordered_map<std::string, size_t> used;  // how many of each were matched
    ExpandEach(current, templateText, stop, &done, progress, [&](std::string&& text, DWORD id) {
        byText[text].push_back(listA.size());
        listA.push_back(CompareEntry{ std::move(text), id });
        matched.push_back(false);
    });
    ExpandEach(other, templateText, stop, &done, progress,
               [&](std::string&& text, DWORD id) {
                   auto it = byText.find(text);
                   if (it != byText.end()) {
                       size_t& next = used[text];
                       if (next < it->second.size()) {
                           matched[it->second[next++]] = true;
                           return;
                       }
                   }
                   result.onlyOther.push_back(CompareEntry{ std::move(text), id });
               });
    for (size_t i = 0; i < listA.size(); i++) {
        if (!matched[i])
            result.onlyCurrent.push_back(std::move(listA[i]));
    }
    return result;
}

namespace {

// What one movie's copy added to the destination, taken back when the movie
// can't be completed.
struct Added {
    std::vector<DWORD> discs;
    std::vector<DWORD> looseFiles;
};

void Undo(CMovieCollection& destination, const Added& added)
{
    for (DWORD id : added.discs)
        destination.RemoveDisc(id);
    for (DWORD id : added.looseFiles)
        destination.RemoveFile(id);
}

// Copies the source file into destination; NO_ID when it can't.
DWORD CopyFile(CMovieCollection& source, CMovieCollection& destination, DWORD fileId)
{
    CMovieFile* file = source.GetFileCopy(fileId);
    DWORD id = NO_ID;
    if (file != NULL) {
        CMovieFile local;
        local.CopyFrom(*file);
        id = destination.AddFile(&local);
    }
    source.ReleaseFileCopy(&file);
    return id;
}

} // namespace

std::vector<DWORD> CopyMovies(CMovieCollection& source, CMovieCollection& destination,
                              const std::vector<DWORD>& movieIds)
{
    std::vector<DWORD> copied;
    std::map<DWORD, DWORD> fileIds;  // source file id -> destination file id
    std::map<DWORD, DWORD> discIds;
    for (DWORD movieId : movieIds) {
        CMovie* stored = source.GetMovieCopy(movieId);
        std::unique_ptr<CMovie> movie;
        if (stored != NULL) {
            movie.reset(new CMovie);
            movie->CopyFrom(stored);
        }
        source.ReleaseMovieCopy(&stored);
        if (movie == NULL)
            continue;

        Added added;
        // Mappings made for this movie, kept only when it is complete.
        std::map<DWORD, DWORD> newFiles;
        std::map<DWORD, DWORD> newDiscs;
        auto find = [](const std::map<DWORD, DWORD>& a, const std::map<DWORD, DWORD>& b, DWORD id) {
            auto it = a.find(id);
            if (it != a.end())
                return it->second;
            it = b.find(id);
            return it != b.end() ? it->second : NO_ID;
        };
        bool complete = true;
        std::vector<DWORD> mapped;
        for (DWORD fileId : movie->m_fileIds) {
            DWORD known = find(fileIds, newFiles, fileId);
            if (known != NO_ID) {
                mapped.push_back(known);
                continue;
            }
            CDisc* disc = source.GetDiscCopyByFile(fileId);
            if (disc == NULL) {
                // A file of no disc goes alone.
                DWORD id = CopyFile(source, destination, fileId);
                if (id != NO_ID) {
                    added.looseFiles.push_back(id);
                    newFiles[fileId] = id;
                    mapped.push_back(id);
                }
                continue;
            }
            if (find(discIds, newDiscs, disc->m_id) != NO_ID) {
                // Its disc came already, without this file: it can't be read.
                source.ReleaseDiscCopy(&disc);
                continue;
            }
            // The disc comes with all its files, once.
            CDisc local;
            local.CopyFrom(*disc);
            DWORD sourceDiscId = disc->m_id;
            source.ReleaseDiscCopy(&disc);
            std::vector<DWORD> discFiles;
            for (DWORD onDisc : local.m_fileIds) {
                DWORD id = CopyFile(source, destination, onDisc);
                if (id == NO_ID)
                    continue;
                newFiles[onDisc] = id;
                discFiles.push_back(id);
            }
            local.m_fileIds = discFiles;
            DWORD discId = destination.AddDisc(&local, true);
            if (discId == NO_ID) {
                for (DWORD id : discFiles)
                    destination.RemoveFile(id);
                complete = false;
                break;
            }
            added.discs.push_back(discId);
            newDiscs[sourceDiscId] = discId;
            DWORD id = find(newFiles, newFiles, fileId);
            if (id != NO_ID)
                mapped.push_back(id);
        }
        if (complete) {
            movie->m_fileIds = mapped;
            // The movie keeps its id where it is free, else it gets a new one.
            CMovie* taken = destination.GetMovieCopy(movie->m_id);
            bool idTaken = taken != NULL;
            destination.ReleaseMovieCopy(&taken);
            if (idTaken)
                movie->m_id = NO_ID;
            complete = destination.AddMovie(movie.get(), !idTaken) != NO_ID;
        }
        if (!complete) {
            Undo(destination, added);
            continue;
        }
        fileIds.insert(newFiles.begin(), newFiles.end());
        discIds.insert(newDiscs.begin(), newDiscs.end());
        copied.push_back(movieId);
    }
    return copied;
}
