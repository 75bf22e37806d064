// Times an import: a generated delimited file of 100,000 lines (about 20 MB)
// read, split and mapped, then every row added to an empty collection;
// beside python3's csv module reading the same file and the collection
// loading the saved result, in the same run.
// Usage: bench_import [lines] (default 100000).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "dialogs/ImportText.h"

namespace {

typedef std::chrono::steady_clock Clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void WriteFile(const char* path, long lines)
{
    FILE* file = fopen(path, "wb");
    std::string comment(150, 'c');
    for (long i = 0; i < lines; i++) {
        fprintf(file, "%ld;\"Movie number %ld; the long title\";Drama;%s;http://example.invalid/title/tt%07ld/\r\n",
                i, i, comment.c_str(), i);
    }
    fclose(file);
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorBoxRecording(true);
    long count = argc > 1 ? atol(argv[1]) : 100000;
    if (count <= 0)
        count = 100000;
    const char* path = "/tmp/vistrel-bench-import.txt";
    const char* saved = "/tmp/vistrel-bench-import.vdb";
    WriteFile(path, count);

    Clock::time_point start = Clock::now();
    FILE* file = fopen(path, "rb");
    std::vector<std::string> lines;
    ReadImportLines(file, lines);
    long bytes = ftell(file);
    fclose(file);
    ImportTable table;
    ParseImportLines(lines, ';', '"', table);
    ImportMapping mapping = MappingFromChoices({"ID", "Title", "Movie genre", "Comment", "IMDB address"});
    std::vector<ImportRow> rows = BuildImportRows(std::move(table), mapping);
    double parse = SecondsSince(start);

    std::string python = std::string("python3 -c \"import csv,time,sys\nt=time.perf_counter()\n"
                                     "n=sum(1 for r in csv.reader(open('") + path +
                         "', newline=''), delimiter=';'))\nprint(time.perf_counter()-t)\"";
    double csvSeconds = -1;
    FILE* pipe = popen(python.c_str(), "r");
    if (pipe != NULL) {
        if (fscanf(pipe, "%lf", &csvSeconds) != 1)
            csvSeconds = -1;
        pclose(pipe);
    }

    CMovieCollection collection;
    start = Clock::now();
    CImportAdder adder(collection, mapping);
    for (ImportRow& row : rows)
        adder.Add(row);
    double add = SecondsSince(start);

    collection.Save(saved, true);
    CMovieCollection loaded;
    start = Clock::now();
    loaded.Load(saved);
    double load = SecondsSince(start);

    printf("file: %ld lines, %.1f MB\n", count, bytes / 1e6);
    printf("read, split and map: %.3f s (%.0f rows/s)\n", parse, count / parse);
    printf("python3 csv reader:  %.3f s (%.0f rows/s), ratio %.2f\n", csvSeconds, count / csvSeconds,
           parse / csvSeconds);
    printf("add to collection:   %.3f s; load of the result %.3f s; ratio %.2f\n", add, load, add / load);
    remove(path);
    remove(saved);
    return 0;
}
