// A catalogue whose load lost records promises to keep its original at the
// next save. The program is killed before that save; the next start offers
// the crash copy, and saving it over the damaged file still keeps the
// original byte for byte.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "ProgramRun.h"

#include <fstream>
#include <iterator>

#include "resources/resource.h"

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CrashPromise, CrashCopySavedOverTheDamagedFileKeepsItsOriginal)
{
    CProgramRun run("crash-promise");
    std::string path = run.PathOf("films.vdb");
    ASSERT_TRUE(WriteCatalogue(path, 20));
    // The last movie's record has a wrong tag: the load loses it.
    std::string damaged = ReadBytes(path);
    size_t last = damaged.rfind("MOVIE");
    ASSERT_NE(std::string::npos, last);
    damaged[last + 4] = 'X';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << damaged;

    ASSERT_TRUE(run.Start("\"" + path + "\""));
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND message = run.WaitDialog("Your database file is corrupt");
    ASSERT_NE(message, nullptr) << run.Describe();
    EXPECT_NE(std::string::npos, CProgramRun::DialogText(message).find("kept as " + path + ".damaged."));
    CProgramRun::Press(message, IDOK);
    ASSERT_TRUE(WaitFor([&] { return CatalogueMovieCount(run.PathOf("saved.bak")) == 19; }))
        << run.Describe();

    // Killed before any save.
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, run.ProcessId());
    ASSERT_TRUE(process != NULL && TerminateProcess(process, 1));
    CloseHandle(process);
    ASSERT_TRUE(run.WaitExit());

    // The next start restores the crash copy, which has no file name: Save
    // asks for one, and the damaged file is chosen and replaced.
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerPluginWarning());
    HWND question = run.WaitDialog("It seams you had a crash last time.");
    ASSERT_NE(question, nullptr);
    CProgramRun::Press(question, IDOK);
    ASSERT_NE(run.MainWindow(), nullptr);
    run.PostCommand(ID_FILE_SAVE);
    HWND saveAs = run.WaitDialog("Save As");
    ASSERT_NE(saveAs, nullptr);
    ASSERT_TRUE(CProgramRun::ChooseFile(saveAs, path));
    HWND replace = run.WaitDialog("replace");
    ASSERT_NE(replace, nullptr) << run.Describe();
    CProgramRun::Press(replace, IDYES);

    ASSERT_TRUE(WaitFor([&] { return ReadBytes(path) != damaged; })) << run.Describe();
    EXPECT_EQ(damaged, ReadBytes(path + ".damaged"));
    EXPECT_EQ(19, CatalogueMovieCount(path));

    PostMessageA(run.MainWindow(0), WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitExit());
    // A normal end takes the crash copy and its note.
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak")));
    EXPECT_FALSE(FileExists(run.PathOf("saved.bak.original")));
}

} // namespace

#endif
