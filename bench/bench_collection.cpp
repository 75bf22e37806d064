// Times the collection's bulk operations: adding movies and files, and taking
// and handing back a copy of every movie, unchanged and with a new title.
// Usage: bench_collection [movies] (default 100000; twice as many files).
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

typedef std::chrono::steady_clock Clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorBoxRecording(true);
    long movies = argc > 1 ? atol(argv[1]) : 100000;
    if (movies <= 0)
        movies = 100000;
    long files = movies * 2;
    CMovieCollection collection;

    Clock::time_point start = Clock::now();
    CMovieFile file;
    StrSet(&file.m_folder, "\\movies\\");
    for (long i = 0; i < files; i++) {
        char name[40];
        snprintf(name, sizeof name, "movie%ld_cd%ld.avi", i / 2, i % 2 + 1);
        StrSet(&file.m_fileName, name);
        StrSet(&file.m_movieTitle, name);
        file.m_size = 700LL * 1024 * 1024;
        if (collection.AddFile(&file) == NO_ID) {
            fprintf(stderr, "adding file %ld failed\n", i);
            return 1;
        }
    }
    printf("add %ld files: %.3f s\n", files, SecondsSince(start));

    start = Clock::now();
    for (long i = 0; i < movies; i++) {
        CMovie movie;
        char title[40];
        snprintf(title, sizeof title, "Movie %ld", i);
        StrSet(&movie.m_title, title);
        movie.m_fileIds.push_back(DWORD(i * 2));
        movie.m_fileIds.push_back(DWORD(i * 2 + 1));
        if (collection.AddMovie(&movie, false) == NO_ID) {
            fprintf(stderr, "adding movie %ld failed\n", i);
            return 1;
        }
    }
    printf("add %ld movies: %.3f s\n", movies, SecondsSince(start));

    start = Clock::now();
    long seen = 0;
    for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID;
         id = collection.GetNextIdOfMovie(id)) {
        CMovie* copy = collection.GetMovieCopy(id);
        if (copy == NULL)
            return 1;
        seen++;
        collection.ReleaseMovieCopy(&copy);
    }
    printf("take and hand back %ld unchanged movie copies: %.3f s\n", seen, SecondsSince(start));

    // The baseline: the same copying and comparing, without the store.
    start = Clock::now();
    {
        CMovie original;
        StrSet(&original.m_title, "Movie 1");
        long same = 0;
        for (long i = 0; i < seen; i++) {
            CMovie copy;
            copy.CopyFrom(&original);
            same += copy.IsDifferent(original) ? 0 : 1;
        }
        printf("  baseline: %ld CopyFrom and IsDifferent without the store: %.3f s\n", same,
               SecondsSince(start));
    }

    start = Clock::now();
    for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID;
         id = collection.GetNextIdOfMovie(id)) {
        CMovie* copy = collection.GetMovieCopy(id);
        if (copy == NULL)
            return 1;
        StrAppend(&copy->m_title, " (retitled)");
        collection.ReleaseMovieCopy(&copy);
    }
    printf("take and hand back %ld retitled movie copies (files follow): %.3f s\n", seen,
           SecondsSince(start));

    start = Clock::now();
    CMovie** held = new CMovie*[movies];
    long count = 0;
    for (DWORD id = collection.GetNextIdOfMovie(NO_ID); id != NO_ID;
         id = collection.GetNextIdOfMovie(id))
        held[count++] = collection.GetMovieCopy(id);
    for (long i = 0; i < count; i++)
        collection.ReleaseMovieCopy(&held[i]);
    delete[] held;
    printf("take %ld movie copies at once, then hand them back: %.3f s\n", count,
           SecondsSince(start));
    return 0;
}
