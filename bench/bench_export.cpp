// Times the export of generated catalogues (information, cast and covers on
// every movie) sorted by title to one HTML file through the shipped
// big-list script, and beside each, in the same run, writing as many bytes
// with plain fwrite; shows how the CPU time grows with the catalogue. Then
// a body that shows the running total of seen movies beside one without it.
// Usage: bench_export [movies...] (default 1000 10000 20000 100000).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ctime>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "export/ExportWriter.h"
#include "export/ScriptFiles.h"

namespace {

const char kWords[][10] = {"river", "night", "stone", "city", "dream", "winter", "light", "storm"};

std::string Words(unsigned seed, size_t length)
{
    std::string text;
    while (text.size() < length) {
        seed = seed * 1103515245u + 12345u;
        text += kWords[(seed >> 16) % 8];
        text += ' ';
    }
    return text;
}

// A path of the source tree as the program sees it (a Unix path under Wine).
std::string SourcePath(const char* relative)
{
    std::string path = std::string(VISTREL_SOURCE_DIR) + "/" + relative;
#ifdef _WIN32
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    path = "Z:" + path;
#endif
    return path;
}

void FillCatalogue(long movies)
{
    std::vector<BYTE> cover(8 * 1024, 0x5A);
    for (long i = 0; i < movies; i++) {
        CMovie movie{DWORD(i)};
        StrSet(&movie.m_title, (Words(unsigned(i) * 2654435761u, 14) + std::to_string(i)).c_str());
        CImdbInfo* info = new CImdbInfo;
        movie.m_imdbInfo.reset(info);
        StrSet(&info->m_genre, kWords[i % 8]);
        StrSet(&info->m_director, Words(unsigned(i) + 7, 12).c_str());
        StrSet(&info->m_tagline, Words(unsigned(i) + 3, 40).c_str());
        StrSet(&info->m_plot, Words(unsigned(i) + 5, 300).c_str());
        info->m_rating = 5.0 + (i % 50) / 10.0;
        info->m_year = 1950 + int(i % 60);
        info->m_runtime = 90 + DWORD(i % 60);
        for (int c = 0; c < 5; c++)
            info->AddCastEntry(Words(unsigned(i * 5 + c), 12).c_str(), Words(unsigned(i * 7 + c), 10).c_str());
        info->m_cover = cover;
        StrSet(&info->m_coverType, "jpg");
        movie.m_seen = i % 3 == 0;
        theCollection.AddMovie(&movie, true);
    }
}

struct Timing {
    double wall;
    double cpu;
};

// The best of five runs of work, by wall time.
template <class Work>
Timing BestOfFive(Work work)
{
    Timing best = {1e30, 1e30};
    for (int run = 0; run < 5; run++) {
        std::clock_t cpuStart = std::clock();
        BenchClock::time_point start = BenchClock::now();
        work();
        Timing t = {SecondsSince(start), double(std::clock() - cpuStart) / CLOCKS_PER_SEC};
        if (t.wall < best.wall)
            best = t;
    }
    return best;
}

long FileSize(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return -1;
    fseek(file, 0, SEEK_END);
    long bytes = ftell(file);
    fclose(file);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<long> sizes;
    for (int i = 1; i < argc; i++)
        sizes.push_back(atol(argv[i]));
    if (sizes.empty())
        sizes = {1000, 10000, 20000, 100000};
    SetErrorBoxRecording(true);

    ExportJob job;
    if (!LoadThreePartScriptFile(SourcePath("resources/scripts/template-script/big.vsc").c_str(), true,
                                 &job.bigScripts))
        return 1;
    std::string folder = SourcePath("build");
    job.outputFile = folder + "/bench-export.html";
    job.sortCode = 55;
    job.coverPrefix = "../covers/";
    job.noCoverName = "no_pic.gif";
    std::string plainPath = folder + "/bench-export-plain.bin";
    std::vector<char> chunk(64 * 1024, 'x');

    printf("export sorted by title through big.vsc, best of 5; baseline: plain fwrite of as many bytes\n");
    printf("%8s %10s %9s %9s %10s %9s %9s\n", "movies", "bytes", "export s", "cpu s", "fwrite s", "x fwrite",
           "cpu x/10");
    std::map<long, double> cpuOf;
    for (long movies : sizes) {
        theCollection.Clear();
        FillCatalogue(movies);
        bool ok = true;
        Timing exported = BestOfFive([&] { ok = WriteBigList(job, NULL) && ok; });
        long bytes = FileSize(job.outputFile);
        if (!ok || bytes < 0)
            return 1;
        Timing plain = BestOfFive([&] {
            FILE* file = fopen(plainPath.c_str(), "wb");
            if (file == NULL)
                return;
            for (long left = bytes; left > 0; left -= long(chunk.size()))
                fwrite(chunk.data(), 1, size_t(std::min<long>(left, long(chunk.size()))), file);
            fclose(file);
        });
        // Growth: the CPU time against that of a tenth as many movies.
        cpuOf[movies] = exported.cpu;
        char growth[32] = "-";
        if (movies % 10 == 0 && cpuOf.count(movies / 10) != 0)
            snprintf(growth, sizeof(growth), "x%.1f", exported.cpu / cpuOf[movies / 10]);
        printf("%8ld %10ld %9.3f %9.3f %10.4f %9.1f %9s\n", movies, bytes, exported.wall, exported.cpu, plain.wall,
               exported.wall / plain.wall, growth);
    }

    // The total of seen movies is counted once per run, not once per body.
    printf("\nbody \"%%movie_id %%movies_total_seen\", best of 5; baseline: body \"%%movie_id\"\n");
    printf("%8s %12s %12s %9s\n", "movies", "seen s", "id alone s", "x alone");
    ExportJob plainJob = job;
    plainJob.bigScripts = {"", "%movie_id\n", ""};
    ExportJob seenJob = job;
    seenJob.bigScripts = {"", "%movie_id %movies_total_seen\n", ""};
    for (long movies : sizes) {
        theCollection.Clear();
        FillCatalogue(movies);
        bool ok = true;
        Timing seen = BestOfFive([&] { ok = WriteBigList(seenJob, NULL) && ok; });
        Timing alone = BestOfFive([&] { ok = WriteBigList(plainJob, NULL) && ok; });
        if (!ok)
            return 1;
        printf("%8ld %12.3f %12.3f %9.1f\n", movies, seen.wall, alone.wall, seen.wall / alone.wall);
    }
    remove(plainPath.c_str());
    remove(job.outputFile.c_str());
    return 0;
}
