// A damaged catalogue whose ids repeat opens in the program, which stays
// usable in every view and saves a file that loads cleanly.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "ProgramRun.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "resources/resource.h"

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Three discs with two files each and 50 movies, the first six with a file
// each; then the first disc takes the next one's id, movies 40 to 49 take
// the ids 30 to 39 again and the last file takes the one before it, which
// the sixth movie names as well as the fifth.
std::string WriteRepeatedIds(const std::string& path)
{
    SetErrorBoxRecording(true);
    CMovieCollection c;
    for (int d = 0; d < 3; d++) {
        CDisc disc;
        StrSet(&disc.m_name, ("Disc " + std::to_string(d)).c_str());
        for (int f = 2 * d; f < 2 * d + 2; f++) {
            CMovieFile file;
            StrSet(&file.m_folder, "\\");
            StrSet(&file.m_fileName, ("f" + std::to_string(f) + ".avi").c_str());
            disc.AddFileId(c.AddFile(&file));
        }
        c.AddDisc(&disc, false);
    }
    for (int i = 0; i < 50; i++) {
        CMovie movie;
        StrSet(&movie.m_title, ("Movie " + std::to_string(i)).c_str());
        if (i < 6)
            movie.m_fileIds.push_back(DWORD(std::min(i, 4)));
        c.AddMovie(&movie, false);
    }
    if (!c.Save(path.c_str(), false))
        return std::string();

    std::string bytes = ReadBytes(path);
    auto setIds = [&](const char* tag, const std::function<int(int)>& newId) {
        int n = 0;
        for (size_t at = bytes.find(tag); at != std::string::npos; at = bytes.find(tag, at + 5), n++) {
            int id = newId(n);
            for (int i = 0; i < 4; i++)
                bytes[at + 5 + i] = char((id >> (8 * i)) & 0xFF);
        }
    };
    setIds("CDROM", [](int n) { return n == 0 ? 1 : n; });
    setIds("MOVIE", [](int n) { return n < 40 ? n : n - 10; });
    setIds("MFILE", [](int n) { return n < 5 ? n : 4; });
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return bytes;
}

TEST(RepeatedIds, CatalogueOpensInEveryViewAndSavesClean)
{
    // Drives and files, painted movie-boxes, tree list of movies.
    for (DWORD style : { 0u, 1u, 3u }) {
        SCOPED_TRACE("view style " + std::to_string(style));
        CProgramRun run("repeated-ids");
        std::string path = run.PathOf("films.vdb");
        std::string damaged = WriteRepeatedIds(path);
        ASSERT_FALSE(damaged.empty());
        run.SetInt("menu", "loadstyle", style);
        ASSERT_TRUE(run.Start("\"" + path + "\""));
        ASSERT_TRUE(run.AnswerPluginWarning());
        HWND message = run.WaitDialog("Your database file is corrupt");
        ASSERT_NE(message, nullptr);
        EXPECT_NE(std::string::npos, CProgramRun::DialogText(message).find(
            " 11 record(s) repeating an id were given a new one. 1 record(s) repeating an id were dropped."));
        CProgramRun::Press(message, IDOK);
        // The load goes on once the box is gone; a command taken while it is
        // still up would meet the catalogue before the load.
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(message); }));

        // The views are filled: the window answers.
        HWND main = run.MainWindow();
        ASSERT_NE(main, nullptr);
        DWORD_PTR answer = 0;
        ASSERT_NE(0, SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kProgramWaitMs, &answer));

        run.SendCommand(ID_FILE_SAVE);
        EXPECT_EQ(damaged, ReadBytes(path + ".damaged"));
        CMovieCollection saved;
        int shown = ErrorBoxCount();
        ASSERT_TRUE(saved.Load(path.c_str()));
        EXPECT_EQ(shown, ErrorBoxCount()) << LastErrorBoxText();
        EXPECT_EQ(3u, saved.GetDiscCount());
        EXPECT_EQ(50u, saved.GetMovieCount());
        CMovie* last = saved.GetMovieCopy(49);
        ASSERT_NE(last, nullptr);
        EXPECT_STREQ("Movie 49", last->m_title);
        saved.ReleaseMovieCopy(&last);
        // The file left of id 4 stays with the fifth movie alone.
        CMovie* fifth = saved.GetMovieCopy(4);
        CMovie* sixth = saved.GetMovieCopy(5);
        CDisc* third = saved.GetDiscCopy(2);
        ASSERT_TRUE(fifth != NULL && sixth != NULL && third != NULL);
        EXPECT_EQ(std::vector<DWORD>{ 4 }, fifth->m_fileIds);
        EXPECT_TRUE(sixth->m_fileIds.empty());
        EXPECT_EQ(std::vector<DWORD>{ 4 }, third->m_fileIds);
        saved.ReleaseMovieCopy(&fifth);
        saved.ReleaseMovieCopy(&sixth);
        saved.ReleaseDiscCopy(&third);

        // Saved: the close box ends it without a question.
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(run.WaitExit());
    }
}

} // namespace

#endif
