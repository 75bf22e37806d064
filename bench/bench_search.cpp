// Times the search walk over 100,000 movies with plots of about 600 bytes,
// one word in 1% of titles and plots, with the movie's extra texts, in both
// modes and with and without case; beside it, in the same run, a plain scan
// of the same texts (strstr, and a case-folding scan).
// Usage: bench_search [movies] (default 100000).
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "core/ErrorBox.h"
#include "core/StrUtil.h"
#include "dialogs/SearchWalk.h"

namespace {

const char kWords[][12] = { "river", "night", "stone", "city", "dream", "winter", "light", "storm" };

std::string Plot(long i, bool marked)
{
    std::string plot;
    unsigned seed = unsigned(i) * 2654435761u;
    while (plot.size() < 600) {
        seed = seed * 1103515245u + 12345u;
        plot += kWords[(seed >> 16) % 8];
        plot += ' ';
    }
    if (marked)
        plot += "Zanzibar";
    return plot;
}

// The texts a walk with extra texts reads, scanned with no store around.
long PlainScan(const std::vector<std::string>& texts, const char* word, bool foldCase)
{
    long hits = 0;
    size_t n = strlen(word);
    for (size_t t = 0; t < texts.size(); t += 2) {
        for (size_t k = t; k < t + 2; k++) {
            const char* text = texts[k].c_str();
            bool hit = false;
            if (!foldCase) {
                hit = strstr(text, word) != NULL;
            } else {
                for (const char* p = text; *p != '\0' && !hit; p++) {
                    size_t j = 0;
                    while (j < n && p[j] != '\0' && LowerAscii(p[j]) == LowerAscii(word[j]))
                        j++;
                    hit = j == n;
                }
            }
            if (hit) {
                hits++;
                break;
            }
        }
    }
    return hits;
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorBoxRecording(true);
    long count = argc > 1 ? atol(argv[1]) : 100000;
    if (count <= 0)
        count = 100000;
    CMovieCollection collection;
    std::vector<std::string> texts;
    for (long i = 0; i < count; i++) {
        CMovie movie;
        std::string title = "Movie number " + std::to_string(i) + (i % 100 == 7 ? " Zanzibar" : "");
        std::string plot = Plot(i, i % 100 == 42);
        StrSet(&movie.m_title, title.c_str());
        movie.m_imdbInfo.reset(new CImdbInfo);
        StrSet(&movie.m_imdbInfo->m_plot, plot.c_str());
        collection.AddMovie(&movie, false);
        texts.push_back(title);
        texts.push_back(plot);
    }
    printf("%ld movies, plots of about 600 bytes, \"Zanzibar\" in 1%% of titles and of plots\n", count);

    std::atomic<bool> stop(false);
    for (int exact = 1; exact >= 0; exact--) {
        for (int caseSensitive = 1; caseSensitive >= 0; caseSensitive--) {
            SearchOptions options;
            options.text = caseSensitive ? "Zanzibar" : "zanzibar";
            options.exact = exact != 0;
            options.caseSensitive = caseSensitive != 0;
            options.extra = true;
            long hits = 0;
            BenchClock::time_point start = BenchClock::now();
            SearchCollection(collection, options, stop, [&](int, DWORD, const char*) { hits++; });
            double walk = SecondsSince(start);
            start = BenchClock::now();
            long plainHits = PlainScan(texts, options.text.c_str(), !caseSensitive);
            double plain = SecondsSince(start);
            printf("%-9s %-16s: walk %.3f s (%ld found), plain scan %.3f s (%ld found), ratio %.2f\n",
                   exact ? "exact" : "any word", caseSensitive ? "case-sensitive" : "ignoring case", walk, hits,
                   plain, plainHits, walk / plain);
        }
    }
    return 0;
}
