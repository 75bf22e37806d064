// The export writer on small catalogues: the big list in every order and
// range, one file per movie with hostile titles and cover types, covers and
// the default picture, the failures, and the demo catalogue through the
// shipped scripts.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <cstdio>
#include <future>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "core/DatabaseFile.h"
#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/ExportPaths.h"
#include "export/ExportWriter.h"
#include "export/ScriptFiles.h"

namespace {

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.insert(name);
        }
        closedir(dir);
    }
    return names;
}

void RemoveTree(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder)) {
        std::string path = folder + "/" + name;
        if (remove(path.c_str()) != 0) {
            RemoveTree(path);
            rmdir(path.c_str());
        }
    }
    rmdir(folder.c_str());
}

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theCollection.Clear();
        SetErrorBoxRecording(true);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = TestTempPath(std::string("export-") + info->name());
        RemoveTree(folder);
        CreatePath((folder + "/out/covers").c_str());
        job.outputFile = folder + "/out/list.txt";
        job.outputFolder = folder + "/out/";
        job.coverFolder = folder + "/out/covers/";
        job.coverPrefix = "covers/";
    }
    void TearDown() override
    {
        theCollection.Clear();
        RemoveTree(folder);
    }

    DWORD Add(DWORD id, const char* title, const char* genre = NULL, const char* coverType = NULL)
    {
        CMovie movie(id);
        StrSet(&movie.m_title, title);
        if (genre != NULL || coverType != NULL) {
            movie.m_imdbInfo.reset(new CImdbInfo);
            StrSet(&movie.m_imdbInfo->m_genre, genre);
            if (coverType != NULL) {
                movie.m_imdbInfo->m_cover = {'C', 'O', 'V', BYTE(id)};
                StrSet(&movie.m_imdbInfo->m_coverType, coverType);
            }
        }
        return theCollection.AddMovie(&movie, true);
    }
    std::string BigList(int sortCode, int order, ExportRange range = {false, 0, 0})
    {
        job.sortCode = sortCode;
        job.order = order;
        job.bigRange = range;
        EXPECT_TRUE(WriteBigList(job, NULL));
        return ReadAll(job.outputFile);
    }

    std::string folder;
    ExportJob job;
};

} // namespace

TEST_F(ExportRunTest, TheBigListInEveryOrderAndRange)
{
    Add(1, "Brazil", "Drama");
    Add(2, "alien", "Horror");
    Add(3, "The Abyss", "Drama");
    Add(4, "Casino", "Drama");
    job.bigScripts = {"[%movie_name %nr_of_movies] ", "%movie_number:%movie_name; ", "[end]"};
    int messages = ErrorBoxCount();

    // Head and foot see no movie; equal genres go by title, both ways.
    EXPECT_EQ("[%movie_name 4] 1:The Abyss; 2:Brazil; 3:Casino; 4:alien; [end]", BigList(77, 1));
    EXPECT_EQ("[%movie_name 4] 1:alien; 2:Casino; 3:Brazil; 4:The Abyss; [end]", BigList(77, 51));
    EXPECT_EQ("[%movie_name 4] 1:The Abyss; 2:alien; 3:Brazil; 4:Casino; [end]", BigList(55, 0));
    EXPECT_EQ("[%movie_name 4] 1:Casino; 2:The Abyss; 3:alien; 4:Brazil; [end]", BigList(44, 51));
    EXPECT_EQ("[%movie_name 4] 1:The Abyss; 2:alien; [end]", BigList(55, 1, {true, 2, 3}));
    EXPECT_EQ("[%movie_name 4] [end]", BigList(55, 1, {true, 3, 2}));
    EXPECT_EQ(messages, ErrorBoxCount());
    EXPECT_EQ(4u, CountExportMovies({false, 0, 0}));
    EXPECT_EQ(2u, CountExportMovies({true, 2, 3}));
    EXPECT_EQ(0u, CountExportMovies({true, 3, 2}));
}

// The total of seen movies, counted once per run, is the catalogue's at
// the time of each run.
TEST_F(ExportRunTest, TheSeenTotalOfEachRun)
{
    for (DWORD id = 1; id <= 3; id++)
        Add(id, "Movie");
    auto See = [](DWORD id) {
        CMovie* movie = theCollection.GetMovieCopy(id);
        ASSERT_TRUE(movie != NULL);
        movie->m_seen = 1;
        theCollection.ReleaseMovieCopy(&movie);
    };
    job.bigScripts = {"", "%movies_total_seen,", ""};
    job.smallScript = "%movies_total_seen";
    job.nameKind = 14;
    job.fileType = "txt";
    See(1);
    EXPECT_EQ("1,1,1,", BigList(44, 1));
    See(3);
    EXPECT_EQ("2,2,2,", BigList(44, 1));
    ASSERT_TRUE(WriteSmallFiles(job, NULL));
    EXPECT_EQ("2", ReadAll(job.outputFolder + "3.txt"));
    See(2);
    ASSERT_TRUE(WriteSmallFiles(job, NULL));
    EXPECT_EQ("3", ReadAll(job.outputFolder + "1.txt"));
}

namespace {

std::string Folded(const char* text)
{
    std::string folded = text != NULL ? text : "";
    for (char& c : folded)
        c = LowerAscii(c);
    return folded;
}

// The ids in the order of a plain case-blind comparison of the whole keys.
std::string ExpectedOrder(std::vector<std::pair<DWORD, std::pair<std::string, std::string>>> rows, bool descending)
{
    std::stable_sort(rows.begin(), rows.end(), [descending](const auto& a, const auto& b) {
        return descending ? b.second < a.second : a.second < b.second;
    });
    std::string ids;
    for (const auto& row : rows)
        ids += std::to_string((unsigned long)row.first) + ",";
    return ids;
}

} // namespace

// Keys that share more than their first two dozen characters, differ in
// case or in Latin-1 letters, or are equal come out in the order of a
// comparison of the whole texts, both ways.
TEST_F(ExportRunTest, LongKeysSortAsWholeTexts)
{
    const char* tails[] = {"", "a", "A", "ab", "aB", "b", "\xe9", "\xc9", "z", "Zz", "aaa", "AAAb"};
    const char* genres[] = {NULL, "Drama", "DRAMA", "Documentary about very long things", "Documentary about very long thingz"};
    std::vector<std::pair<DWORD, std::pair<std::string, std::string>>> byTitle, byGenre;
    DWORD id = 0;
    for (size_t length = 21; length <= 25; length++) {
        for (size_t t = 0; t < sizeof(tails) / sizeof(tails[0]); t++, id++) {
            std::string title = (id % 3 == 0 ? "The " : "") + std::string(length, id % 2 ? 'k' : 'K') + tails[t];
            const char* genre = genres[id % 5];
            Add(id, title.c_str(), genre);
            std::string key = Folded(title.c_str());
            if (key.compare(0, 4, "the ") == 0)
                key.erase(0, 4);
            byTitle.push_back({id, {key, key}});
            byGenre.push_back({id, {genre != NULL ? Folded(genre) : "[unknown]", key}});
        }
    }
    job.bigScripts = {"", "%movie_id,", ""};
    EXPECT_EQ(ExpectedOrder(byTitle, false), BigList(55, 1));
    EXPECT_EQ(ExpectedOrder(byTitle, true), BigList(55, 51));
    EXPECT_EQ(ExpectedOrder(byGenre, false), BigList(77, 1));
    EXPECT_EQ(ExpectedOrder(byGenre, true), BigList(77, 51));
}

// A movie removed on another thread while the list is written waits for
// the export, which writes every movie it began with.
TEST_F(ExportRunTest, RemovalWaitsForTheExport)
{
    class CRemoveWhileExporting : public ILoadProgress {
    public:
        void Show(const char*, int, int) override
        {
            std::promise<void> started;
            std::future<void> running = started.get_future();
            remover = std::thread([&started] {
                started.set_value();
                theCollection.RemoveMovie(1);
            });
            running.wait();
        }
        void SetPos(int) override {}
        void Close() override {}
        std::thread remover;
    };
    for (DWORD id = 0; id < 300; id++)
        Add(id, ("Movie " + std::to_string((unsigned long)id)).c_str());
    job.bigScripts = {"", "%movie_id,", ""};
    job.sortCode = 44;
    CRemoveWhileExporting progress;
    EXPECT_TRUE(WriteBigList(job, &progress));
    progress.remover.join();
    std::string all;
    for (DWORD id = 0; id < 300; id++)
        all += std::to_string((unsigned long)id) + ",";
    EXPECT_EQ(all, ReadAll(job.outputFile));
    EXPECT_EQ(299u, theCollection.GetMovieCount());
}

TEST_F(ExportRunTest, HostileTitlesAndCoverTypesStayInTheirFolders)
{
    std::string longTitle(300, 'L');
    DWORD ids[] = {
        Add(10, "CON", NULL, "jpg"),
        Add(11, "nul.", NULL, "../../x"),
        Add(12, "a:b?", NULL, "jpg\\..\\y"),
        Add(13, "Alien", NULL, "PNG"),
        Add(14, "ALIEN"),
        Add(15, longTitle.c_str()),
        Add(16, NULL),
    };
    job.smallScript = "%movie_number %movie_cover_file";
    job.fileType = "txt";
    job.noCoverName = "no_pic.gif";
    job.noCoverBytes = {'G', 'I', 'F'};
    std::set<std::string> outside = FilesIn(folder);
    ASSERT_TRUE(WriteSmallFiles(job, NULL));
    ASSERT_TRUE(WriteCovers(job, NULL));

    std::set<std::string> files = FilesIn(folder + "/out");
    EXPECT_EQ(sizeof(ids) / sizeof(ids[0]) + 1, files.size());  // and the covers folder
    for (const char* name : {"CON_.txt", "nul_.txt", "a_b_.txt", "Alien.txt", "ALIEN-14.txt", "unknown-16.txt", "covers"})
        EXPECT_EQ(1u, files.count(name)) << name;
    size_t cut = kMaxExportPath - job.outputFolder.size() - 1 - 3 - 11;
    EXPECT_EQ(1u, files.count(std::string(cut, 'L') + ".txt"));

    // Only plain cover types name files and links; the others count as no
    // cover, and nothing lands outside the folders.
    EXPECT_EQ("1 covers/10.jpg", ReadAll(job.outputFolder + "CON_.txt"));
    EXPECT_EQ("2 covers/no_pic.gif", ReadAll(job.outputFolder + "nul_.txt"));
    EXPECT_EQ("3 covers/no_pic.gif", ReadAll(job.outputFolder + "a_b_.txt"));
    EXPECT_EQ("4 covers/13.PNG", ReadAll(job.outputFolder + "Alien.txt"));
    EXPECT_EQ((std::set<std::string>{"10.jpg", "13.PNG", "no_pic.gif"}), FilesIn(folder + "/out/covers"));
    EXPECT_EQ(std::string("COV\x0a", 4), ReadAll(job.coverFolder + "10.jpg"));
    EXPECT_EQ("GIF", ReadAll(job.coverFolder + "no_pic.gif"));
    EXPECT_EQ(outside, FilesIn(folder));
    EXPECT_EQ(2u, CountExportCovers({false, 0, 0}));
    EXPECT_EQ(1u, CountExportCovers({true, 11, 13}));

    // By id, with a range; the default picture is written whatever the range.
    job.nameKind = 14;
    job.fileType = "htm";
    job.smallRange = {true, 13, 14};
    ASSERT_TRUE(WriteSmallFiles(job, NULL));
    EXPECT_EQ("1 covers/13.PNG", ReadAll(job.outputFolder + "13.htm"));
    EXPECT_EQ("2 covers/no_pic.gif", ReadAll(job.outputFolder + "14.htm"));
    EXPECT_EQ("<missing>", ReadAll(job.outputFolder + "15.htm"));
}

TEST_F(ExportRunTest, FailuresAreToldOnce)
{
    for (DWORD id = 0; id < 200; id++)
        Add(id, "Movie");
    job.bigScripts = {"head", std::string(2000, 'b'), "foot"};
    job.outputFile = folder + "/missing/list.htm";
    int before = ErrorBoxCount();
    EXPECT_FALSE(WriteBigList(job, NULL));
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ("Unable to create file", LastErrorBoxText());

#ifndef _WIN32
    // A disc that fills up (a file size limit for the process): one message
    // for the whole list, and the list of the last run stays as it was.
    job.outputFile = folder + "/out/list.htm";
    FILE* old = fopen(job.outputFile.c_str(), "wb");
    ASSERT_TRUE(old != NULL);
    fputs("old list", old);
    fclose(old);
    struct rlimit limit;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &limit));
    struct rlimit small = {100000, limit.rlim_max};
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    before = ErrorBoxCount();
    bool goOn = WriteBigList(job, NULL);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, handler);
    EXPECT_TRUE(goOn);
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ("Error writing to the export file.", LastErrorBoxText());
    EXPECT_EQ("old list", ReadAll(job.outputFile));
    EXPECT_EQ((std::set<std::string>{"covers", "list.htm"}), FilesIn(folder + "/out"));
#endif

    // Small files that can't be made are skipped one by one.
    job.outputFolder = folder + "/missing/";
    job.smallRange = {true, 0, 2};
    before = ErrorBoxCount();
    EXPECT_TRUE(WriteSmallFiles(job, NULL));
    EXPECT_EQ(before + 3, ErrorBoxCount());
    EXPECT_EQ("Unable to create file, " + folder + "/missing/Movie-2.htm", LastErrorBoxText());
}

#ifndef _WIN32
// The demo catalogue through the shipped big-list script, sorted by title,
// with covers; tests/export/check_export_html.sh then checks the page with
// the HTML tools and a browser.
TEST_F(ExportRunTest, TheDemoCatalogueThroughTheShippedScripts)
{
    std::string samples = std::string(VISTREL_SOURCE_DIR) + "/samples/demo.vdb";
    ASSERT_TRUE(theCollection.Load(samples.c_str()));
    ASSERT_EQ(50u, theCollection.GetMovieCount());
    std::string out = VISTREL_EXPORT_DEMO_DIR;
    RemoveTree(out);
    ASSERT_TRUE(CreatePath((out + "/list").c_str()) && CreatePath((out + "/covers").c_str()));

    ThreePartScript scripts;
    std::string shipped = std::string(VISTREL_SOURCE_DIR) + "/resources/scripts/template-script/big.vsc";
    ASSERT_TRUE(LoadThreePartScriptFile(shipped.c_str(), true, &scripts));
    ExportJob demo;
    demo.outputFile = out + "/list/movies.html";
    demo.bigScripts = scripts;
    demo.coverFolder = out + "/covers/";
    MakeRelativeLink(&demo.coverPrefix, (out + "/list").c_str(), (out + "/covers").c_str());
    EXPECT_EQ("../covers/", demo.coverPrefix);
    demo.noCoverName = "no_pic.gif";
    demo.noCoverBytes = {'G', 'I', 'F', '8', '9', 'a'};
    ASSERT_TRUE(WriteBigList(demo, NULL));
    ASSERT_TRUE(WriteCovers(demo, NULL));

    // Fifty rows in title order, each with a cover that is there.
    std::string page = ReadAll(demo.outputFile);
    std::vector<std::string> keys;
    size_t at = 0;
    while ((at = page.find("<b>", at)) != std::string::npos) {
        size_t end = page.find("</b>", at);
        std::string title = page.substr(at + 3, end - at - 3);
        if (title.compare(0, 4, "The ") == 0)
            title.erase(0, 4);
        for (char& c : title)
            c = LowerAscii(c);
        keys.push_back(title);
        at = end;
    }
    EXPECT_EQ(50u, keys.size());
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    at = 0;
    int images = 0;
    while ((at = page.find("src=\"", at)) != std::string::npos) {
        size_t end = page.find('"', at + 5);
        std::string link = page.substr(at + 5, end - at - 5);
        EXPECT_NE("<missing>", ReadAll(out + "/list/" + link)) << link;
        images++;
        at = end;
    }
    EXPECT_EQ(50, images);
    EXPECT_EQ("GIF89a", ReadAll(out + "/covers/no_pic.gif"));
}
#endif
