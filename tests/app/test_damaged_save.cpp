// A damaged catalogue through the program: the load message names the copy
// of the original, the first Save keeps it there, and the crash copy never
// gets one.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ProgramRun.h"
#include "resources/resource.h"

namespace {

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A catalogue of the given movies whose last record has a damaged tag;
// returns its bytes.
std::string WriteDamagedCatalogue(const std::string& path, int movies)
{
    if (!WriteCatalogue(path, movies))
        return std::string();
    std::string bytes = ReadFileBytes(path);
    bytes[bytes.rfind("MOVIE") + 4] = 'X';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return bytes;
}

TEST(DamagedDatabase, FirstSaveKeepsTheOriginalNamedInTheLoadMessage)
{
    CProgramRun run("damaged-save");
    std::string named = run.PathOf("named.vdb");
    std::string original = WriteDamagedCatalogue(named, 5);
    ASSERT_FALSE(original.empty());
    ASSERT_TRUE(run.Start("\"" + named + "\""));
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND error = run.WaitDialog("database file is corrupt");
    ASSERT_NE(error, nullptr);
    std::string text = CProgramRun::DialogText(error);
    EXPECT_NE(std::string::npos, text.find("1 record(s) could not be read")) << text;
    EXPECT_NE(std::string::npos,
              text.find("At the next save the original file will be kept as " + named + ".damaged."))
        << text;
    CProgramRun::Press(error, IDOK);
    ASSERT_NE(run.MainWindow(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 4; }));

    run.SendCommand(ID_FILE_SAVE);
    EXPECT_NE(original, ReadFileBytes(named));
    EXPECT_EQ(original, ReadFileBytes(named + ".damaged"));
    EXPECT_EQ(4, CatalogueMovieCount(named));
    EXPECT_FALSE(FileExists(named + ".saving"));
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak.damaged")));

    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitExit());
}

// The crash copy is the program's own file: its message promises no copy and
// the silent save over it at the next open keeps none.
TEST(DamagedDatabase, DamagedCrashCopyIsNeverKept)
{
    CProgramRun run("damaged-crash");
    std::string named = run.PathOf("named.vdb");
    ASSERT_TRUE(WriteCatalogue(named, 5));
    ASSERT_FALSE(WriteDamagedCatalogue(run.PathOf("saved.bak"), 3).empty());
    run.SetInt("open", "autoload_last", 0);
    run.SetString("open", "recent1", named);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND question = run.WaitDialog("It seams you had a crash last time.");
    ASSERT_NE(question, nullptr);
    CProgramRun::Press(question, IDOK);
    HWND error = run.WaitDialog("database file is corrupt");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(std::string::npos, CProgramRun::DialogText(error).find("kept as"));
    CProgramRun::Press(error, IDOK);
    ASSERT_NE(run.MainWindow(), nullptr);

    run.PostCommand(ID_FILE_RECENT1);
    HWND unsaved = run.WaitDialog("You have not saved the current database.");
    ASSERT_NE(unsaved, nullptr);
    CProgramRun::Press(unsaved, IDOK);
    ASSERT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 5; }));
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak.damaged")));

    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitExit());
}

} // namespace

#endif
