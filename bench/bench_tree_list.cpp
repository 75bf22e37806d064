// Times the tree list of movies under Wine: a full load of 1,000 and of
// 10,000 movies, and one update after a single change, in one run. A load
// should grow about linearly (10,000 within 15 times 1,000), and an update
// should cost under a hundredth of a full load.
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "app/MovieListWnd.h"
#include "app/ProgressWindow.h"
#include "bench/BenchFiles.h"
#include "classlib/ClassLib.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

CWinApp theBenchApp("Vistrel Tree List Bench");

namespace {

void FillCatalogue(long movies)
{
    theCollection.Clear();
    for (long i = 0; i < movies; i++) {
        CMovie movie;
        // Titles in no particular order, so that sorting has work to do.
        StrSet(&movie.m_title, ("Film " + std::to_string((i * 7919) % movies)).c_str());
        movie.m_imdbInfo.reset(new CImdbInfo);
        movie.m_imdbInfo->m_year = WORD(1950 + i % 60);
        theCollection.AddMovie(&movie, false);
    }
}

struct Figures {
    double load;
    double update;
    double repaint;   // an update with nothing to apply: the repaint alone
    double progress;  // showing and closing the progress window
};

Figures Measure(CWnd& host, long movies)
{
    FillCatalogue(movies);
    std::unique_ptr<CMovieListWnd> list(new CMovieListWnd);
    RECT area = { 0, 0, 400, 600 };
    list->Create(area, &host, 1);
    BenchClock::time_point start = BenchClock::now();
    list->LoadMovies();
    Figures figures;
    figures.load = SecondsSince(start);
    CMovie* movie = theCollection.GetMovieCopy(DWORD(movies / 2));
    StrSet(&movie->m_title, "Changed");
    theCollection.ReleaseMovieCopy(&movie);
    start = BenchClock::now();
    list->UpdateListing();
    figures.update = SecondsSince(start);
    start = BenchClock::now();
    list->UpdateListing();
    figures.repaint = SecondsSince(start);
    start = BenchClock::now();
    {
        CProgressWindow window;
        window.SetText("Updating listing...", 0, 1);
        window.Show(list.get());
        window.Close();
    }
    figures.progress = SecondsSince(start);
    if (list->GetCount() != UINT(movies))
        std::printf("  (%u lines for %ld movies)\n", list->GetCount(), movies);
    return figures;
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    CWnd host;
    host.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 600, NULL, NULL);
    Figures small = Measure(host, 1000);
    Figures large = Measure(host, 10000);
    std::printf("LoadMovies     1,000 movies: %.3f s\n", small.load);
    std::printf("LoadMovies    10,000 movies: %.3f s (%.1f times 1,000; target 15)\n", large.load,
                large.load / small.load);
    std::printf("UpdateListing one change of 10,000: %.4f s (%.4f of a load; target 0.01)\n", large.update,
                large.update / large.load);
    std::printf("  of which at most: repaint %.4f s, progress window %.4f s\n", large.repaint, large.progress);
    host.DestroyWindow();
    theCollection.Clear();
    return 0;
}
#else
int main()
{
    std::printf("bench_tree_list runs in the Windows build only\n");
    return 0;
}
#endif
