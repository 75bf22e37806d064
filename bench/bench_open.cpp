// Times opening a catalogue in the program under Wine: from the start of
// vistrel.exe with the catalogue to a usable main window (shown, enabled,
// no progress window, answering messages), at 1,000, 10,000 and 30,000
// movies with long texts. Beside each figure, from the same run, the load
// alone in this process, which the opening cannot beat.
#include <cstdio>

#if defined(_WIN32) && !defined(VISTREL_NO_PROGRAM_RUN)
#include <windows.h>

#include <memory>
#include <string>

#include "ProgramRun.h"
#include "bench/BenchFiles.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

const int kProgressBar = 1067;
const DWORD kOpenWaitMs = 30 * 60 * 1000;

std::string LongText(const char* what, int i, size_t length)
{
    std::string text = std::string(what) + " " + std::to_string(i) + ":";
    while (text.size() < length)
        text += " a sentence of the kind that fills a plot outline or a comment";
    return text;
}

bool WriteLongCatalogue(const std::string& path, int movies)
{
    CMovieCollection collection;
    for (int i = 0; i < movies; i++) {
        CMovie movie;
        StrSet(&movie.m_title, ("Film " + std::to_string((i * 7919) % movies)).c_str());
        std::unique_ptr<CImdbInfo> info(new CImdbInfo);
        StrSet(&info->m_plot, LongText("Plot", i, 600).c_str());
        StrSet(&info->m_comment, LongText("Comment", i, 300).c_str());
        StrSet(&info->m_tagline, LongText("Tagline", i, 80).c_str());
        info->m_year = WORD(1950 + i % 60);
        for (int c = 0; c < 8; c++) {
            std::unique_ptr<CImdbCastEntry> entry(new CImdbCastEntry);
            entry->SetStrings(("Actor " + std::to_string(c)).c_str(), ("Role " + std::to_string(c)).c_str());
            info->m_cast.push_back(std::move(entry));
        }
        movie.m_imdbInfo = std::move(info);
        if (collection.AddMovie(&movie, false) == NO_ID)
            return false;
    }
    return collection.Save(path.c_str(), true);
}

struct ProcessWindows {
    DWORD process;
    HWND main;
    bool other;  // a visible window besides the main one (a progress window, a box)
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM param)
{
    ProcessWindows* found = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->process && IsWindowVisible(window) && window != found->main)
        found->other = found->other || GetDlgItem(window, kProgressBar) != NULL || GetWindow(window, GW_OWNER) != NULL;
    return TRUE;
}

// The main window is shown and enabled, no progress window or box is up,
// and the window's thread answers.
bool Usable(DWORD process, HWND main)
{
    if (!IsWindowVisible(main) || !IsWindowEnabled(main))
        return false;
    ProcessWindows found = { process, main, false };
    EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&found));
    DWORD_PTR answer = 0;
    return !found.other && SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer) != 0;
}

struct Figures {
    double load;
    double open;
};

bool Measure(int movies, Figures* figures)
{
    CProgramRun run("BenchOpen");
    std::string catalogue = run.PathOf("bench.vdb");
    if (!WriteLongCatalogue(catalogue, movies))
        return false;

    CMovieCollection collection;
    BenchClock::time_point start = BenchClock::now();
    if (!collection.Load(catalogue.c_str()))
        return false;
    figures->load = SecondsSince(start);

    start = BenchClock::now();
    if (!run.Start("\"" + catalogue + "\"") || !run.AnswerPluginWarning())
        return false;
    HWND main = run.MainWindow(kOpenWaitMs);
    if (main == NULL || !WaitFor([&] { return Usable(run.ProcessId(), main); }, kOpenWaitMs))
        return false;
    figures->open = SecondsSince(start);
    return true;    // the run's end closes the program
}

} // namespace

int main()
{
    SetErrorBoxRecording(true);
    for (int movies : { 1000, 10000, 30000 }) {
        Figures figures;
        if (!Measure(movies, &figures)) {
            std::printf("OpenCatalogue %6d movies: failed\n", movies);
            return 1;
        }
        std::printf("OpenCatalogue %6d movies: %.2f s to a usable window; the load alone %.3f s\n", movies,
                    figures.open, figures.load);
    }
    return 0;
}
#else
int main()
{
    std::printf("bench_open runs in the Windows build with the tests only\n");
    return 0;
}
#endif
