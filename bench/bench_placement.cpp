// Times placing the files of a 20-file disc into catalogues of 1,000 and
// 10,000 movies with 30 KB covers, beside loading the same catalogue in the
// same run: one placement should cost at most a tenth of one load.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchFiles.h"
#include "core/ErrorBox.h"
#include "core/FilePlacement.h"
#include "core/MediaFormat.h"
#include "core/MediaFormatInfo.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

DWORD StoreFile(const std::string& title, int32_t width)
{
    CMovieFile file;
    StrSet(&file.m_movieTitle, title.c_str());
    StrSet(&file.m_fileName, "f.avi");
    SetAviFormat(file, width);
    return theCollection.AddFile(&file);
}

void Run(long movies)
{
    theCollection.Clear();
    std::vector<BYTE> cover(30 * 1024, 0x5A);
    for (long i = 0; i < movies; i++) {
        std::string title = "Movie number " + std::to_string(i);
        DWORD fileId = StoreFile(title, 640);
        CMovie movie;
        movie.AddFile(fileId, true);
        movie.m_imdbInfo.reset(new CImdbInfo);
        movie.m_imdbInfo->m_cover = cover;
        StrSet(&movie.m_imdbInfo->m_coverType, "jpg");
        theCollection.AddMovie(&movie, false);
    }
    const char* path = "/tmp/vistrel-bench-placement.vdb";
    theCollection.Save(path, true);
    CMovieCollection loaded;
    BenchClock::time_point start = BenchClock::now();
    loaded.Load(path);
    double load = SecondsSince(start);
    remove(path);

    start = BenchClock::now();
    for (int i = 0; i < 20; i++)
        PlaceNewFile(StoreFile("New disc film " + std::to_string(i / 2) + " cd" + std::to_string(i % 2 + 1), 352),
                     NULL);
    double place = SecondsSince(start) / 20;
    printf("%6ld movies: one placement %.4f s, load %.3f s, ratio %.3f\n", movies, place, load, place / load);
}

} // namespace

int main()
{
    SetErrorBoxRecording(true);
    Run(1000);
    Run(10000);
    theCollection.Clear();
    return 0;
}
