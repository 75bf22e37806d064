// Timing of the painted movie list over large catalogues. Not a test: run by
// hand with --gtest_also_run_disabled_tests --gtest_filter=*ListBench*; it
// prints the figures.
#ifdef _WIN32

#include <gtest/gtest.h>

#define PSAPI_VERSION 2
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/MovieListView.h"
#include "classlib/ClassLib.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Pump()
{
    MSG msg;
    while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

void RunOnce(DWORD count)
{
    theCollection.Clear();
    for (DWORD i = 0; i < count; i++) {
        CMovie movie;
        std::string title = "Movie number " + std::to_string(i * 7919 % count);
        StrSet(&movie.m_title, title.c_str());
        StrSet(&movie.m_customType, i % 3 == 0 ? "DVD" : "AVI");
        theCollection.AddMovie(&movie, false);
    }
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "vdb", 0, path);
    ASSERT_TRUE(theCollection.Save(path, true));
    theCollection.Clear();

    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, 600, 700,
                              NULL, NULL));
    CMovieListView view;
    ASSERT_TRUE(view.Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 700), &host, 59648));
    Pump();

    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(theCollection.Load(path));
    double load = Seconds(start);
    view.ShowMovies();
    double filled = Seconds(start);
    view.UpdateWindow();
    double first = Seconds(start);

    start = std::chrono::steady_clock::now();
    view.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    view.UpdateWindow();
    double page = Seconds(start);

    // A full scroll: the thumb through the whole range in at most 400 jumps,
    // a page down at each, then the bottom.
    start = std::chrono::steady_clock::now();
    const ScrollBarState& bar = view.GetScroll().Vertical();
    const int32_t step = std::max(std::max(1, bar.page), (bar.maximum - bar.minimum) / 400);
    for (int32_t pos = bar.minimum; pos <= bar.maximum; pos += step) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        info.nPos = pos;
        SetScrollInfo(view.m_hWnd, SB_VERT, &info, FALSE);
        view.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
        view.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
        view.UpdateWindow();
    }
    view.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    view.UpdateWindow();
    double full = Seconds(start);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("%6lu movies: load %.3f s, fill %.3f s, first screen %.3f s (after load %.3f s), "
                "one page %.4f s, full scroll %.2f s, working set %lu KB, GDI %lu, USER %lu, "
                "cached boxes %lu\n",
                (unsigned long)count, load, filled, first, first - load, page, full,
                (unsigned long)(memory.WorkingSetSize / 1024),
                (unsigned long)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                (unsigned long)GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
                (unsigned long)view.GetCachedCellCount());
    view.DestroyWindow();
    host.DestroyWindow();
    theCollection.Clear();
    DeleteFileA(path);
}

TEST(ListBench, DISABLED_OpenAndScrollLargeCatalogues)
{
    SetErrorBoxRecording(true);
    for (DWORD count : {DWORD(1000), DWORD(10000), DWORD(100000)})
        RunOnce(count);
}

}  // namespace

#endif
