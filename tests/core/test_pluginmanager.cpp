#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/FormatList.h"
#include "core/MediaFormatInfo.h"
#include "core/PluginManager.h"

#if defined(_WIN32) && defined(__i386__)
// Pushes four arguments, calls fn and returns how many of the 16 bytes the
// callee left on the stack: 0 for a standard call, 16 for a C call. The
// callee's own result is kept in lastCallResult.
extern "C" unsigned lastCallResult;
unsigned lastCallResult;
extern "C" unsigned CallAndMeasure4(void* fn, unsigned a, unsigned b, unsigned c, unsigned d);
extern "C" unsigned CallAndMeasure1(void* fn, unsigned a);
asm(".text\n"
    ".globl _CallAndMeasure4\n"
    "_CallAndMeasure4:\n"
    "  pushl %ebp\n  movl %esp, %ebp\n  pushl %ebx\n  pushl %esi\n  pushl %edi\n"
    "  movl %esp, %esi\n"
    "  pushl 24(%ebp)\n  pushl 20(%ebp)\n  pushl 16(%ebp)\n  pushl 12(%ebp)\n"
    "  call *8(%ebp)\n"
    "  movl %eax, _lastCallResult\n"
    "  movl %esi, %eax\n  subl %esp, %eax\n  movl %esi, %esp\n"
    "  popl %edi\n  popl %esi\n  popl %ebx\n  popl %ebp\n  ret\n"
    ".globl _CallAndMeasure1\n"
    "_CallAndMeasure1:\n"
    "  pushl %ebp\n  movl %esp, %ebp\n  pushl %ebx\n  pushl %esi\n  pushl %edi\n"
    "  movl %esp, %esi\n"
    "  pushl 12(%ebp)\n"
    "  call *8(%ebp)\n"
    "  movl %eax, _lastCallResult\n"
    "  movl %esi, %eax\n  subl %esp, %eax\n  movl %esi, %esp\n"
    "  popl %edi\n  popl %esi\n  popl %ebx\n  popl %ebp\n  ret\n");
#endif

namespace {

std::string Filter(const std::vector<const char*>& pluginTexts)
{
    CFormatList list;
    for (const char* text : pluginTexts)
        list.AddFormats(text);
    char* out = NULL;
    list.BuildFilter(&out);
    list.BuildFilter(&out);  // the old text is replaced, and flags reset
    std::string result = out;
    free(out);
    return result;
}

TEST(FormatList, FiltersForNoneOneAndTwoPlugins)
{
    EXPECT_EQ("All supported formats||All files (*.*)|*.*||", Filter({}));
    EXPECT_EQ("All supported formats||All files (*.*)|*.*||", Filter({NULL, ""}));

    const std::string one = "All supported formats|*.avi|Avi file (*.avi)|*.avi|All files (*.*)|*.*||";
    EXPECT_EQ(one, Filter({"|Avi file (*.avi)|*.avi|"}));
    EXPECT_EQ(one, Filter({"Avi file (*.avi)|*.avi"}));  // bars are optional
    EXPECT_EQ(one, Filter({"|Avi file (*.avi)|*.avi|Orphan description|"}));

    EXPECT_EQ("All supported formats|*.avi;*.avi;*.mov"
              "|Avi file (*.avi)|*.avi; *.avi"
              "|QuickTime file (*.mov)|*.mov"
              "|All files (*.*)|*.*||",
              Filter({"|Avi file (*.avi)|*.avi|",
                      "|Avi file (*.avi)|*.avi|QuickTime file (*.mov)|*.mov|"}));

    // Pieces are kept as cut, blanks included; descriptions compare exactly.
    EXPECT_EQ("All supported formats|*.mpg; *.mpeg;*.MPG"
              "|Mpeg|*.mpg;  *.mpeg|mpeg|*.MPG"
              "|All files (*.*)|*.*||",
              Filter({"|Mpeg|*.mpg; *.mpeg|", "|mpeg|*.MPG|"}));
}

TEST(PluginManager, SplitsPathsAtTheLastBackslashAndDot)
{
    struct {
        const char* path;
        const char* dir;
        const char* name;
        const char* ext;
    } cases[] = {
        {"C:\\movies\\film.part1.avi", "C:\\movies\\", "film.part1", ".avi"},
        {"C:\\some.dir\\movie", "C:\\some.dir\\", "movie", NULL},
        {"film.mpg", "", "film", ".mpg"},
        {"D:\\VIDEO_TS\\.ifo", "D:\\VIDEO_TS\\", "", ".ifo"},
        {"D:\\", "D:\\", "", NULL},
    };
    for (const auto& c : cases) {
        char* dir = NULL;
        char* name = NULL;
        char* ext = NULL;
        CPluginManager::SplitPath(c.path, &dir, &name, &ext);
        EXPECT_STREQ(c.dir, dir) << c.path;
        EXPECT_STREQ(c.name, name) << c.path;
        EXPECT_STREQ(c.ext, ext) << c.path;
        free(dir);
        free(name);
        free(ext);
    }
}

TEST(PluginManager, EmptyManagerHasDefaultFilterAndAnswersNothing)
{
    CPluginManager manager;
    EXPECT_STREQ("All files (*.*)|*.*||", manager.GetFileFilter());
    EXPECT_EQ(0, manager.GetCount());
    EXPECT_EQ(nullptr, manager.GetEntry(0));
    MediaFormat m;
    InitMediaFormat(m);
    EXPECT_FALSE(manager.ReadFileInfo(m, "C:\\a.avi"));

    CMediaFormatInfo info;
    EXPECT_FALSE(info.ReadFromFile("C:\\a.avi"));
    EXPECT_EQ(nullptr, info.GetFormat());
}

#ifdef _WIN32

// ---------------------------------------------------------------------------
// Real DLLs from tests/plugins, copied into a temporary "plugins" folder.

std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

const std::string kDllDir = WindowsPath(VISTREL_TEST_PLUGIN_DIR) + "\\";

std::vector<std::string> callLog;
void LogCall(const char* line)
{
    callLog.push_back(line);
}

int TestPriority(const char* section, const char* entry, int defaultValue)
{
    EXPECT_STREQ("plugins", section);
    std::string name = entry;
    if (name == "a_prio10.dll")
        return 10;
    if (name == "b_prio5.dll")
        return 5;
    if (name == "c_off.dll")
        return -1;
    return defaultValue;
}

typedef void(PLUGIN_CDECL* TestSetLogFn)(void (*)(const char*));
typedef int(PLUGIN_CDECL* TestLiveRecordsFn)(void);

class PluginFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        callLog.clear();
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        static int serial = 0;
        folder = std::string(temp) + "vistrel_plugins_" + std::to_string(GetCurrentProcessId()) +
                 "_" + std::to_string(++serial) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
        manager.SetProfileIntReader(TestPriority);
        manager.SetPluginFolder(folder.c_str());
    }

    void TearDown() override
    {
        manager.UnloadPlugins();
        for (const std::string& name : copied)
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    // Copies tp_<variant>.dll into the folder under the given name.
    void Install(const char* variant, const char* asName)
    {
        std::string from = kDllDir + "tp_" + variant + ".dll";
        ASSERT_TRUE(CopyFileA(from.c_str(), (folder + asName).c_str(), FALSE)) << from;
        copied.push_back(asName);
    }

    void LoadAndLog()
    {
        manager.LoadPlugins();
        for (int i = 0; i < manager.GetCount(); i++) {
            TestSetLogFn setLog = reinterpret_cast<TestSetLogFn>(
                GetProcAddress(manager.GetEntry(i)->module, "TestSetLog"));
            ASSERT_NE(nullptr, setLog);
            setLog(LogCall);
        }
    }

    int LiveRecords(int index)
    {
        TestLiveRecordsFn live = reinterpret_cast<TestLiveRecordsFn>(
            GetProcAddress(manager.GetEntry(index)->module, "TestLiveRecords"));
        return live != NULL ? live() : -1;
    }

    CPluginManager manager;
    std::string folder;
    std::vector<std::string> copied;
};

TEST(PluginManagerWin, FolderIsBesideTheProgram)
{
    std::string path(4096, '\0');
    path.resize(GetModuleFileNameA(NULL, &path[0], DWORD(path.size())));
    std::string expected = path.substr(0, path.rfind('\\') + 1) + "plugins\\";
    CPluginManager manager;
    EXPECT_EQ(expected, manager.GetPluginFolder());
    EXPECT_STREQ(thePluginManager.GetPluginFolder(), manager.GetPluginFolder());
}

TEST(PluginManagerWin, ExportsHavePlainNamesAndTheirCallingConventions)
{
    std::string path = kDllDir + "tp_prio10.dll";
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(nullptr, module) << path;
    const char* names[] = {"Version", "PluginDesc", "PluginFormats", "ReadFromFile", "FreeFormat"};
    for (const char* name : names)
        EXPECT_NE(nullptr, GetProcAddress(module, name)) << name;
    EXPECT_EQ(nullptr, GetProcAddress(module, "ReadFromFile@16"));
    EXPECT_EQ(nullptr, GetProcAddress(module, "_ReadFromFile@16"));

    const char* dir = "C:\\";
    const char* name = "x";
    const char* ext = ".avi";
#if defined(__i386__)
    // The standard-call exports clean their own arguments (16 and 4 bytes).
    void* read = reinterpret_cast<void*>(GetProcAddress(module, "ReadFromFile"));
    void* freeFormat = reinterpret_cast<void*>(GetProcAddress(module, "FreeFormat"));
    EXPECT_EQ(0u, CallAndMeasure4(read, unsigned(uintptr_t(dir)), unsigned(uintptr_t(name)),
                                  unsigned(uintptr_t(ext)), 0));
    MediaFormat* record = reinterpret_cast<MediaFormat*>(uintptr_t(lastCallResult));
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("C:\\|x|.avi|0", record->reportText);
    EXPECT_EQ(0u, CallAndMeasure1(freeFormat, unsigned(uintptr_t(&record))));
    EXPECT_EQ(nullptr, record);
#else
    // One calling convention on 64-bit Windows: the typed pointers suffice.
    PluginReadFromFileFn read =
        reinterpret_cast<PluginReadFromFileFn>(GetProcAddress(module, "ReadFromFile"));
    PluginFreeFormatFn freeFormat =
        reinterpret_cast<PluginFreeFormatFn>(GetProcAddress(module, "FreeFormat"));
    MediaFormat* record = read(dir, name, ext, 0);
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("C:\\|x|.avi|0", record->reportText);
    freeFormat(&record);
    EXPECT_EQ(nullptr, record);
#endif

    // The C-call exports leave the caller's stack as it was.
    PluginVersionFn version = reinterpret_cast<PluginVersionFn>(GetProcAddress(module, "Version"));
    EXPECT_EQ(1, version());
    EXPECT_STREQ("prio10", reinterpret_cast<PluginDescFn>(GetProcAddress(module, "PluginDesc"))());
    FreeLibrary(module);
}

TEST_F(PluginFolderTest, AsksByPriorityAndPassAndNeverTheDisabledOne)
{
    Install("prio10", "a_prio10.dll");
    Install("prio5", "b_prio5.dll");
    Install("off", "c_off.dll");
    int boxes = ErrorBoxCount();
    LoadAndLog();
    EXPECT_EQ(boxes, ErrorBoxCount());
    ASSERT_EQ(3, manager.GetCount());
    EXPECT_STREQ("b_prio5.dll", manager.GetEntry(0)->fileName);
    EXPECT_EQ(5, manager.GetEntry(0)->priority);
    EXPECT_STREQ("a_prio10.dll", manager.GetEntry(1)->fileName);
    EXPECT_STREQ("c_off.dll", manager.GetEntry(2)->fileName);  // loaded, listed, last
    EXPECT_EQ(-1, manager.GetEntry(2)->priority);

    // Pass 0: prio5 does not know ".avi"; prio10 does and answers, so prio5
    // never gets to probe the file in pass 1.
    MediaFormat m;
    InitMediaFormat(m);
    ASSERT_TRUE(manager.ReadFileInfo(m, "C:\\films\\movie.avi"));
    EXPECT_EQ((std::vector<std::string>{"prio5:0", "prio10:0"}), callLog);
    EXPECT_STREQ("prio10", m.kindName);
    EXPECT_STREQ("C:\\films\\|movie|.avi|0", m.reportText);
    EXPECT_EQ(0, LiveRecords(1));  // the plug-in's record was handed back

    // No extension: nobody answers in pass 0, prio5 probes in pass 1.
    callLog.clear();
    ASSERT_TRUE(manager.ReadFileInfo(m, "C:\\some.dir\\movie"));
    EXPECT_EQ((std::vector<std::string>{"prio5:0", "prio10:0", "prio5:1"}), callLog);
    EXPECT_STREQ("prio5", m.kindName);
    EXPECT_STREQ("C:\\some.dir\\|movie|(null)|1", m.reportText);
    EXPECT_EQ(0, LiveRecords(0));
    FreeMediaFormat(m);

    // Disabling prio5 and re-sorting: only prio10 is left, and it does not probe.
    manager.GetEntry(0)->priority = -1;
    manager.SortByPriority();
    EXPECT_STREQ("a_prio10.dll", manager.GetEntry(0)->fileName);
    EXPECT_STREQ("b_prio5.dll", manager.GetEntry(1)->fileName);
    callLog.clear();
    EXPECT_FALSE(manager.ReadFileInfo(m, "C:\\x.mpg"));
    EXPECT_EQ((std::vector<std::string>{"prio10:0", "prio10:1"}), callLog);

    EXPECT_EQ("All supported formats|*.avi;*.mpg; *.mpeg;*.avi"
              "|Avi file (*.avi)|*.avi; *.avi"
              "|Mpeg file (*.mpg)|*.mpg;  *.mpeg"
              "|All files (*.*)|*.*||",
              std::string(manager.GetFileFilter()));
}

TEST_F(PluginFolderTest, BrokenPluginsAreDroppedAndAloneGiveTheWarning)
{
    Install("version2", "version2.dll");
    Install("noexport", "noexport.dll");
    int before = ErrorBoxCount();
    manager.LoadPlugins();
    EXPECT_EQ(0, manager.GetCount());
    EXPECT_EQ(nullptr, GetModuleHandleA((folder + "version2.dll").c_str()));
    EXPECT_EQ(nullptr, GetModuleHandleA((folder + "noexport.dll").c_str()));
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ("Warning: Couldn't find any import plugins. Check the plugins directory where "
              "vistrel.exe lay.",
              LastErrorBoxText());
    EXPECT_STREQ("All supported formats||All files (*.*)|*.*||", manager.GetFileFilter());

    // With one good plug-in beside them no warning is given.
    Install("prio10", "a_prio10.dll");
    before = ErrorBoxCount();
    manager.LoadPlugins();
    ASSERT_EQ(1, manager.GetCount());
    EXPECT_STREQ("a_prio10.dll", manager.GetEntry(0)->fileName);
    EXPECT_EQ(before, ErrorBoxCount());
    EXPECT_STREQ("All supported formats|*.avi|Avi file (*.avi)|*.avi|All files (*.*)|*.*||",
                 manager.GetFileFilter());
}

TEST_F(PluginFolderTest, HolderTidiesAPluginAnswer)
{
    Install("nullslots", "nullslots.dll");
    thePluginManager.SetPluginFolder(folder.c_str());
    thePluginManager.LoadPlugins();
    ASSERT_EQ(1, thePluginManager.GetCount());

    CMediaFormatInfo info;
    ASSERT_TRUE(info.ReadFromFile("C:\\x.nul"));
    const MediaFormat* m = info.GetFormat();
    EXPECT_EQ(0u, m->audioCount);
    EXPECT_EQ(nullptr, m->audioStreams);
    EXPECT_EQ(-1, m->selectedAudio);
    EXPECT_EQ(nullptr, info.GetAudioStream());
    ASSERT_EQ(1u, m->videoCount);
    EXPECT_EQ(0, m->selectedVideo);
    ASSERT_NE(nullptr, info.GetVideoStream());
    EXPECT_EQ(640, info.GetVideoStream()->width);

    // A file no plug-in describes empties the holder.
    EXPECT_FALSE(info.ReadFromFile("C:\\x.avi"));
    EXPECT_EQ(nullptr, info.GetFormat());
    thePluginManager.UnloadPlugins();
}

#endif  // _WIN32

}  // namespace
