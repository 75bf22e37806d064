// The Windows programs' small-block heap against the C runtime's heap, in one
// run. Opens a catalogue of short texts, closes it, opens one of long texts
// (blocks of other sizes), closes it, three times over, and prints the
// committed memory and the heap's calls to commit or decommit pages after each
// step, the best load time and the slowest close of each catalogue; then
// allocates and frees 2M blocks of 40 bytes followed by 2M of 72, and
// times blocks of mixed sizes replaced in a working set that stays in memory.
// All is done with the heap on, then again with it off (every block from the
// runtime's heap).
// "process" is the process's commit as the system reports it (under Wine, its
// resident private memory); "heap" is what the small-block heap holds.
// Usage: bench_heap [folder [movies]] (default: the current folder and 20000
// movies; the two catalogue files are deleted at the end).
#ifdef _WIN32

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/SmallBlockHeap.h"

namespace {

struct Shape {
    const char* name;
    size_t text;  // length of the short texts
    size_t plot;  // length of the plot
    int cast;     // cast entries per movie
};

const Shape kShapes[] = {{"short texts", 12, 250, 8}, {"long texts", 70, 1100, 14}};
const int kCycles = 3;
long g_movies = 20000;
const long kFilesEach = 2;
const long kDiscs = 1000;
const size_t kBlocks = 2000000;
const size_t kWorkingSet = 100000;
const size_t kReplaced = 1000000;

const double kMiB = 1024.0 * 1024.0;

struct Memory {
    double process;
    double heap;
};

Memory Committed()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return Memory{counters.PagefileUsage / kMiB, SmallBlockHeapCommitted() / kMiB};
}

void PrintStep(const char* step, const Memory& m)
{
    printf("  %-46s process %7.1f MiB, heap %7.1f MiB\n", step, m.process, m.heap);
}

// A text of the given length that starts with the label and the number.
char* Text(const char* label, long number, size_t length)
{
    std::string text = label + std::to_string(number);
    while (text.size() < length)
        text += " lorem ipsum";
    text.resize(length);
    char* copy = NULL;
    StrSet(&copy, text.c_str());
    return copy;
}

void SetText(char** field, const char* label, long number, size_t length)
{
    free(*field);
    *field = Text(label, number, length);
}

bool Build(CMovieCollection& c, const Shape& shape)
{
    for (long d = 0; d < kDiscs; d++) {
        CDisc disc;
        SetText(&disc.m_serialNumber, "SN", d, 9);
        SetText(&disc.m_name, "Disc ", d, shape.text);
        for (long f = 0; f < g_movies * kFilesEach / kDiscs; f++)
            disc.AddFileId(DWORD(d * (g_movies * kFilesEach / kDiscs) + f));
        if (c.AddDisc(&disc, false) == NO_ID)
            return false;
    }
    for (long i = 0; i < g_movies; i++) {
        CMovie movie;
        SetText(&movie.m_title, "Title ", i, shape.text);
        SetText(&movie.m_language, "Language ", i % 20, shape.text);
        for (long f = 0; f < kFilesEach; f++)
            movie.m_fileIds.push_back(DWORD(i * kFilesEach + f));
        movie.m_imdbInfo.reset(new CImdbInfo);
        CImdbInfo& info = *movie.m_imdbInfo;
        info.m_complete = 1;
        SetText(&info.m_title, "Title ", i, shape.text);
        SetText(&info.m_director, "Director ", i % 500, shape.text);
        SetText(&info.m_genre, "Genre ", i % 30, shape.text);
        SetText(&info.m_plot, "Plot ", i, shape.plot);
        for (int a = 0; a < shape.cast; a++) {
            char* actor = Text("Actor ", i * shape.cast + a, shape.text);
            char* character = Text("Character ", a, shape.text);
            info.AddCastEntry(actor, character);
            free(actor);
            free(character);
        }
        if (c.AddMovie(&movie, false) == NO_ID)
            return false;
    }
    for (long i = 0; i < g_movies * kFilesEach; i++) {
        CMovieFile file;
        SetText(&file.m_fileName, "file", i, shape.text);
        SetText(&file.m_folder, "\\Movies\\", i % 100, shape.text);
        SetText(&file.m_movieTitle, "Title ", i / kFilesEach, shape.text);
        file.m_partNumber = int32_t(i % kFilesEach + 1);
        file.m_size = 700000000LL + i;
        SetAviFormat(file, 640);
        if (c.AddFile(&file) == NO_ID)
            return false;
    }
    return true;
}

bool BuildFiles(const std::string paths[2], bool heapOn)
{
    SetSmallBlockHeapOn(heapOn);
    for (int s = 0; s < 2; s++) {
        CMovieCollection c;
        if (!Build(c, kShapes[s]) || !c.Save(paths[s].c_str(), false)) {
            fprintf(stderr, "building %s failed: %s\n", paths[s].c_str(), LastErrorBoxText().c_str());
            return false;
        }
    }
    return true;
}

struct Result {
    double best[2];        // best load time of each catalogue
    double close[2];       // slowest close of each
    size_t closeCalls[2];  // the heap's page calls in that close
    double firstLoad[2];   // committed after the first load of each
    double peak;           // the most committed after any step
    double last;           // committed after the last close
};

// The committed figure that counts: the heap's own with the heap on, the
// process's with it off.
double Figure(const Memory& m, bool heapOn)
{
    return heapOn ? m.heap : m.process;
}

bool Cycle(const std::string paths[2], bool heapOn, Result& result)
{
    printf("%s:\n", heapOn ? "small-block heap" : "C runtime's heap");
    PrintStep("catalogues built and saved:", Committed());
    result = Result{{1e9, 1e9}, {0, 0}, {0, 0}, {0, 0}, 0, 0};
    char step[80];
    for (int cycle = 1; cycle <= kCycles; cycle++) {
        for (int s = 0; s < 2; s++) {
            std::unique_ptr<CMovieCollection> loaded(new CMovieCollection);
            size_t calls = SmallBlockHeapPageCalls();
            BenchClock::time_point start = BenchClock::now();
            if (!loaded->Load(paths[s].c_str()) || loaded->GetMovieCount() != DWORD(g_movies)) {
                fprintf(stderr, "loading %s failed: %s\n", paths[s].c_str(), LastErrorBoxText().c_str());
                return false;
            }
            double seconds = SecondsSince(start);
            if (seconds < result.best[s])
                result.best[s] = seconds;
            Memory m = Committed();
            snprintf(step, sizeof step, "cycle %d, %s open (%.3f s, %zu calls):", cycle, kShapes[s].name, seconds,
                     SmallBlockHeapPageCalls() - calls);
            PrintStep(step, m);
            if (cycle == 1)
                result.firstLoad[s] = Figure(m, heapOn);
            if (Figure(m, heapOn) > result.peak)
                result.peak = Figure(m, heapOn);

            calls = SmallBlockHeapPageCalls();
            start = BenchClock::now();
            loaded.reset();
            seconds = SecondsSince(start);
            calls = SmallBlockHeapPageCalls() - calls;
            if (seconds > result.close[s]) {
                result.close[s] = seconds;
                result.closeCalls[s] = calls;
            }
            m = Committed();
            snprintf(step, sizeof step, "cycle %d, %s closed (%.3f s, %zu calls):", cycle, kShapes[s].name, seconds,
                     calls);
            PrintStep(step, m);
            result.last = Figure(m, heapOn);
        }
    }
    return true;
}

void Blocks(bool heapOn)
{
    SetSmallBlockHeapOn(heapOn);
    printf("%s, %zu blocks of 40 bytes then %zu of 72:\n", heapOn ? "small-block heap" : "C runtime's heap", kBlocks,
           kBlocks);
    PrintStep("before:", Committed());
    std::vector<void*> blocks(kBlocks);
    BenchClock::time_point start = BenchClock::now();
    for (size_t size : {size_t(40), size_t(72)}) {
        for (void*& p : blocks) {
            p = malloc(size);
            memset(p, 1, size);
        }
        PrintStep(size == 40 ? "40-byte blocks allocated:" : "72-byte blocks allocated:", Committed());
        for (void* p : blocks)
            free(p);
        PrintStep(size == 40 ? "40-byte blocks freed:" : "72-byte blocks freed:", Committed());
    }
    printf("  %.3f s in all\n", SecondsSince(start));
}

// Seconds to replace blocks of 8 to 600 bytes, at random, in a working set
// that the heap has already served.
double Replace(bool heapOn)
{
    SetSmallBlockHeapOn(heapOn);
    std::vector<void*> blocks(kWorkingSet);
    unsigned seed = 1;
    for (void*& p : blocks)
        p = malloc((seed = seed * 1103515245u + 12345u) % 593 + 8);
    BenchClock::time_point start = BenchClock::now();
    for (size_t i = 0; i < kReplaced; i++) {
        seed = seed * 1103515245u + 12345u;
        void*& p = blocks[(seed >> 8) % kWorkingSet];
        free(p);
        p = malloc(seed % 593 + 8);
    }
    double seconds = SecondsSince(start);
    for (void* p : blocks)
        free(p);
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    SetErrorBoxRecording(true);
    std::string folder = argc > 1 ? std::string(argv[1]) + "\\" : std::string();
    if (argc > 2 && atol(argv[2]) > 0)
        g_movies = atol(argv[2]);
    std::string paths[2] = {folder + "bench_heap_short.vdb", folder + "bench_heap_long.vdb"};
    printf("catalogues: %ld movies, %ld files, %ld discs each; %s and %s\n", g_movies, g_movies * kFilesEach, kDiscs,
           kShapes[0].name, kShapes[1].name);
    // Each heap builds and saves the catalogues before it loads them, so
    // that both meet a heap that has done some work.
    Result results[2];
    for (int off = 0; off < 2; off++) {
        if (!BuildFiles(paths, off == 0) || !Cycle(paths, off == 0, results[off]))
            return 1;
    }
    for (const std::string& path : paths)
        remove(path.c_str());
    Blocks(true);
    Blocks(false);
    double replaceHeap = Replace(true);
    double replaceRuntime = Replace(false);

    const Result& heap = results[0];
    const Result& runtime = results[1];
    double largest = heap.firstLoad[0] > heap.firstLoad[1] ? heap.firstLoad[0] : heap.firstLoad[1];
    printf("\nheap committed: largest single load %.1f MiB, peak over the cycles %.1f MiB (ratio %.2f), "
           "after the last close %.1f MiB\n",
           largest, heap.peak, heap.peak / largest, heap.last);
    for (int s = 0; s < 2; s++)
        printf("load of the %s catalogue (best of %d): heap %.3f s, runtime's heap %.3f s (runtime / heap %.2f)\n",
               kShapes[s].name, kCycles, heap.best[s], runtime.best[s], runtime.best[s] / heap.best[s]);
    for (int s = 0; s < 2; s++)
        printf("close %s: heap %.3f s, runtime %.3f s (slowest of %d, heap / runtime %.2f; %zu page calls by the heap)\n",
               kShapes[s].name, heap.close[s], runtime.close[s], kCycles, heap.close[s] / runtime.close[s],
               heap.closeCalls[s]);
    printf("%zu blocks of 8 to 600 bytes replaced among %zu: heap %.3f s, runtime's heap %.3f s "
           "(runtime / heap %.2f)\n",
           kReplaced, kWorkingSet, replaceHeap, replaceRuntime, replaceRuntime / replaceHeap);
    return 0;
}

#else

#include <cstdio>

int main()
{
    printf("bench_heap times the Windows programs' heap; run the Windows build\n");
    return 0;
}

#endif  // _WIN32
