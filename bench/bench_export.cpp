// Times the export of a generated catalogue (information, cast and covers on
// every movie) sorted by title to one HTML file through the shipped
// big-list script, and beside it, in the same run, writing as many bytes
// with plain fwrite. Usage: bench_export [movies] (default 20000).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
        theCollection.AddMovie(&movie, true);
    }
}

} // namespace

int main(int argc, char** argv)
{
    long movies = argc > 1 ? atol(argv[1]) : 20000;
    SetErrorBoxRecording(true);
    FillCatalogue(movies);

    ExportJob job;
    if (!LoadThreePartScriptFile(SourcePath("resources/scripts/template-script/big.vsc").c_str(), true,
                                 &job.bigScripts))
        return 1;
    std::string folder = SourcePath("build");
    job.outputFile = folder + "/bench-export.html";
    job.sortCode = 55;
    job.coverPrefix = "../covers/";
    job.noCoverName = "no_pic.gif";

    BenchClock::time_point start = BenchClock::now();
    if (!WriteBigList(job, NULL))
        return 1;
    double exportSeconds = SecondsSince(start);
    FILE* written = fopen(job.outputFile.c_str(), "rb");
    if (written == NULL)
        return 1;
    fseek(written, 0, SEEK_END);
    long bytes = ftell(written);
    fclose(written);

    std::string plainPath = folder + "/bench-export-plain.bin";
    std::vector<char> chunk(64 * 1024, 'x');
    start = BenchClock::now();
    FILE* plain = fopen(plainPath.c_str(), "wb");
    for (long left = bytes; left > 0; left -= long(chunk.size()))
        fwrite(chunk.data(), 1, size_t(std::min<long>(left, long(chunk.size()))), plain);
    fclose(plain);
    double plainSeconds = SecondsSince(start);
    remove(plainPath.c_str());
    remove(job.outputFile.c_str());

    double megabytes = bytes / (1024.0 * 1024.0);
    printf("export of %ld movies sorted by title through big.vsc: %.3f s, %ld bytes, %.1f MB/s\n", movies,
           exportSeconds, bytes, megabytes / exportSeconds);
    printf("plain fwrite of as many bytes: %.3f s, %.1f MB/s; export takes %.2f times as long\n", plainSeconds,
           megabytes / plainSeconds, exportSeconds / plainSeconds);
    return 0;
}
