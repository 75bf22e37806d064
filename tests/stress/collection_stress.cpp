// Many threads on one collection at once, for ThreadSanitizer: eight take,
// change and hand back copies of the same movies, files and discs while
// another adds, removes, renumbers and saves. A bounded number of
// operations; the sanitizer fails the run on any race.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <thread>
#include <vector>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

const int kMovies = 40;
const int kRounds = 400;

void Holder(CMovieCollection& c, int seed)
{
    unsigned state = unsigned(seed) * 2654435761u;
    for (int round = 0; round < kRounds; round++) {
        state = state * 1103515245u + 12345u;
        DWORD id = (state >> 8) % kMovies;
        CMovie* movie = c.GetMovieCopy(id);
        CMovie* again = c.GetMovieCopy(id);  // shared on this thread
        if (movie != NULL) {
            std::string title = "Title " + std::to_string(seed) + "-" + std::to_string(round);
            StrSet(&movie->m_title, title.c_str());
            movie->m_seen = BYTE(round & 1);
        }
        c.ReleaseMovieCopy(&again);
        c.ReleaseMovieCopy(&movie);
        CMovieFile* file = c.GetFileCopy(id);
        if (file != NULL)
            file->m_partNumber = round;
        c.ReleaseFileCopy(&file);
        CDisc* disc = c.GetDiscCopyByFile(id);
        if (disc != NULL)
            StrSet(&disc->m_name, "DISC");
        c.ReleaseDiscCopy(&disc);
        c.GetFileName();
        c.GetMovieCount();
    }
}

void Changer(CMovieCollection& c, const std::string& path)
{
    for (int round = 0; round < kRounds; round++) {
        DWORD id = DWORD(round % kMovies);
        switch (round % 5) {
        case 0: {
            CMovie movie;
            StrSet(&movie.m_title, "Added");
            c.AddMovie(&movie, false);
            break;
        }
        case 1:
            c.RemoveMovie(DWORD(kMovies + round % 7));
            break;
        case 2:
            c.RenumberMovie(id, DWORD(kMovies + 100 + round), false);
            c.RenumberMovie(DWORD(kMovies + 100 + round), id, false);
            break;
        case 3:
            c.Save(path.c_str(), true);
            break;
        default:
            c.RemoveFile(DWORD(kMovies + round));
            break;
        }
    }
}

} // namespace

int main()
{
    SetErrorBoxRecording(true);
    CMovieCollection c;
    CDisc disc;
    StrSet(&disc.m_name, "STRESS");
    DWORD discId = c.AddDisc(&disc, false);
    for (int i = 0; i < kMovies + 400; i++) {
        CMovieFile file;
        StrSet(&file.m_fileName, "f.avi");
        DWORD fileId = c.AddFile(&file);
        CDisc* copy = c.GetDiscCopy(discId);
        copy->m_fileIds.push_back(fileId);
        c.ReleaseDiscCopy(&copy);
        if (i < kMovies) {
            CMovie movie;
            StrSet(&movie.m_title, "Movie");
            movie.m_fileIds.push_back(fileId);
            c.AddMovie(&movie, false);
        }
    }
    std::string path = "/tmp/vistrel-stress-" + std::to_string(getpid()) + ".vdb";
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; t++)
        threads.emplace_back(Holder, std::ref(c), t + 1);
    threads.emplace_back(Changer, std::ref(c), path);
    for (std::thread& thread : threads)
        thread.join();
    remove(path.c_str());
    printf("collection stress: %d threads, %d rounds each, %lu movies left\n", 9, kRounds,
           static_cast<unsigned long>(c.GetMovieCount()));
    return 0;
}
