// Times building the add-file dialog's offered files on a catalogue of
// 10,000 files, half of them held by movies with 30 KB covers, beside loading
// the same catalogue in the same run: building should cost less than a load.
#include <cstdio>

#ifdef _WIN32
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "core/Disc.h"
#include "core/MediaFormat.h"
#include "core/MediaFormatInfo.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "dialogs/AddFileDlg.h"

namespace {

DWORD StoreFile(const std::string& title, DWORD discId)
{
    CMovieFile file;
    StrSet(&file.m_movieTitle, title.c_str());
    StrSet(&file.m_folder, "\\Films\\");
    StrSet(&file.m_fileName, (title + ".avi").c_str());
    SetAviFormat(file, 640);
    DWORD id = theCollection.AddFile(&file);
    CDisc* disc = theCollection.GetDiscCopy(discId);
    disc->AddFileId(id);
    theCollection.ReleaseDiscCopy(&disc);
    return id;
}

} // namespace

int main()
{
    const long files = 10000;
    const long discs = 20;
    theCollection.Clear();
    std::vector<DWORD> discIds;
    for (long d = 0; d < discs; d++) {
        CDisc disc;
        StrSet(&disc.m_name, ("DISC" + std::to_string(d)).c_str());
        StrSet(&disc.m_serialNumber, "1A2B-3C4D");
        disc.m_driveLetter = 'm';
        discIds.push_back(theCollection.AddDisc(&disc, false));
    }
    std::vector<BYTE> cover(30 * 1024, 0x5A);
    for (long i = 0; i < files; i++) {
        DWORD fileId = StoreFile("Film number " + std::to_string(i), discIds[i % discs]);
        if (i % 2 != 0)
            continue;
        CMovie movie;
        movie.AddFile(fileId, true);
        movie.m_imdbInfo.reset(new CImdbInfo);
        movie.m_imdbInfo->m_cover = cover;
        StrSet(&movie.m_imdbInfo->m_coverType, "jpg");
        theCollection.AddMovie(&movie, false);
    }

    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "vistrel-bench-add-file.vdb";
    theCollection.Save(path.c_str(), true);
    CMovieCollection loaded;
    BenchClock::time_point start = BenchClock::now();
    loaded.Load(path.c_str());
    double load = SecondsSince(start);
    remove(path.c_str());

    CMovie edited;
    StrSet(&edited.m_title, "Film number 1");
    StrSet(&edited.m_mediaTypeName, "AVI");
    CAddFileDlg dialog;
    start = BenchClock::now();
    dialog.SetMovie(&edited);
    double build = SecondsSince(start);
    printf("%ld files (%ld free) on %ld discs: offered files built in %.3f s (%zu offered), load %.3f s, "
           "ratio %.3f\n",
           files, files / 2, discs, build, dialog.GetItems().size(), load, build / load);
    return 0;
}

#else
int main()
{
    printf("The add-file dialog runs on Windows only.\n");
    return 0;
}
#endif
