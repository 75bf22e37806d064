// The plug-in as the plug-in manager loads it, beside the real tool; the
// tool runner with stand-ins that write too much, outlive the time-out or
// fail.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "ProbeAnswer.h"
#include "ToolProcess.h"
#include "core/PluginManager.h"
#include "core/PluginRecord.h"
#include "plugins/toolbridge/ToolRunner.h"
#include "tests/plugins/PluginFolder.h"

namespace {

const std::string kData = VISTREL_TEST_DATA "/vidscan";

std::string WindowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class ToolBridge : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        manager = new CPluginManager;
        manager->LoadPlugins();
    }
    static void TearDownTestSuite() { delete manager; }

    static PluginEntry* Bridge()
    {
        return manager->GetCount() == 1 ? manager->GetEntry(0) : NULL;
    }

    // The record the plug-in gives for the file in pass, through its exports.
    static MediaFormat* Read(const char* name, const char* ext, BYTE pass)
    {
        std::string dir = WindowsPath(kData) + "\\";
        return Bridge()->ReadFromFile(dir.c_str(), name, ext, pass);
    }

    static CPluginManager* manager;
};
CPluginManager* ToolBridge::manager;

// A stand-in tool in a program folder of its own.
std::string FolderWithTool(const char* fake)
{
    std::string folder = FreshFolder(std::string("toolbridge-") + fake);
    CreateDirectoryA((folder + "\\plugins").c_str(), NULL);
    CopyTestFile(std::string(FAKE_TOOLS_DIR) + "/" + fake + ".exe", folder + "\\plugins\\vidscan.exe");
    return folder;
}

TEST_F(ToolBridge, RecordsAgreeWithProbe)
{
    ASSERT_NE(nullptr, Bridge());
    EXPECT_EQ(1, Bridge()->Version());
    struct Case {
        const char* name;
        const char* ext;
        const char* kind;
        bool rates;  // the report has the frame rate and the audio values
    } cases[] = {{"xvid_mp3", ".avi", "Avi", true},
                 {"described", ".wmv", "Asf", false},
                 {"faststart", ".mov", "QuickTime", true},
                 {"rv10", ".rm", "RealMedia", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeAnswer probe;
        ASSERT_TRUE(ReadProbeAnswer(kData + "/" + c.name + c.ext + ".json", probe));
        MediaFormat target;
        InitMediaFormat(target);
        ASSERT_TRUE(manager->ReadFileInfo(target, (WindowsPath(kData) + "\\" + c.name + c.ext).c_str()));
        EXPECT_STREQ(c.kind, target.kindName);
        ASSERT_EQ(1u, target.videoCount);
        ASSERT_EQ(1u, target.audioCount);
        const auto& video = *probe.Stream("video");
        const auto& audio = *probe.Stream("audio");
        EXPECT_EQ(atoi(video.at("width").c_str()), target.videoStreams[0]->width);
        EXPECT_EQ(atoi(video.at("height").c_str()), target.videoStreams[0]->height);
        if (c.rates) {
            EXPECT_NEAR(ProbeRate(video.at("r_frame_rate")), target.framesPerSecond, 0.001);
            EXPECT_EQ(atoi(audio.at("sample_rate").c_str()), target.audioStreams[0]->sampleRate);
            EXPECT_EQ(atoi(audio.at("channels").c_str()), target.audioStreams[0]->channels);
            EXPECT_EQ(int32_t(target.framesPerSecond * int(atof(probe.format.at("duration").c_str()))),
                      target.frameCount);
        }
        EXPECT_EQ(0u, std::string(target.reportText).find("   File Name:  " + std::string(c.name)));
        FreeMediaFormat(target);
    }
}

TEST_F(ToolBridge, PassesExtensionsAndTheCodecList)
{
    ASSERT_NE(nullptr, Bridge());
    // Pass 0 takes only the known extensions, pass 1 any file the tool
    // reads, "unknown" included; no extension is for pass 1 only.
    EXPECT_EQ(nullptr, Read("del", ".txt", 0));
    MediaFormat* record = Read("del", ".txt", 1);
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("unknown", record->kindName);
    EXPECT_EQ(0u, record->videoCount + record->audioCount);
    Bridge()->FreeFormat(&record);
    EXPECT_EQ(nullptr, record);
    EXPECT_EQ(nullptr, Read("AVSEQ01.DAT", NULL, 0));
    record = Read("AVSEQ01.DAT", NULL, 1);
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("MPEG-1 Embedded System Stream", record->kindName);
    Bridge()->FreeFormat(&record);
    // The tool ends with 1 for a file it cannot open.
    EXPECT_EQ(nullptr, Read("missing", ".avi", 0));

    // A codec list beside the tool naming XVID as DivX makes a DivX file.
    char module[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    std::string list = std::string(module).substr(0, std::string(module).rfind('\\')) +
                       "\\plugins\\vidscan.cdb";
    WriteBytes(list, "msvid: XVID\n N: DivX 5 compatible; XVID\n");
    record = Read("xvid_mp3", ".AVI", 0);
    DeleteFileA(list.c_str());
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("DivX", record->kindName);
    EXPECT_STREQ("DivX 5 compatible", record->videoStreams[0]->compression);
    Bridge()->FreeFormat(&record);

    ExpectNullOnEveryException(Bridge(), WindowsPath(kData) + "\\", "xvid_mp3", ".avi");
}

TEST(ToolRunner, ToolsThatAreMissingFailOrMisbehave)
{
    CToolRunner runner;
    EXPECT_EQ(120000u, runner.timeoutMs);

    // No tool, and a tool ending with 3: no record.
    runner.programFolder = FolderWithTool("none");
    EXPECT_EQ(nullptr, runner.Run("x.avi"));
    runner.programFolder = FolderWithTool("fake_exit3");
    EXPECT_EQ(nullptr, runner.Run("x.avi"));

    // A tool writing more than 1 MiB is read to its end; the record holds
    // the first MiB.
    runner.programFolder = FolderWithTool("fake_big");
    MediaFormat* record = runner.Run("x.avi");
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("Big", record->kindName);
    size_t length = strlen(record->reportText);
    EXPECT_GT(length, 1000000u);
    EXPECT_LT(length, 1100000u);
    DeleteMediaFormat(&record);

    // A tool still running at the time-out, writing all the while, gives
    // no record and is ended. The time-out leaves a loaded machine time to
    // start the tool; the tool itself would write for a minute.
    runner.programFolder = FolderWithTool("fake_busy");
    runner.timeoutMs = 10000;
    std::string pidFile = runner.programFolder + "\\pid.txt";
    DWORD started = GetTickCount();
    EXPECT_EQ(nullptr, runner.Run(pidFile.c_str()));
    DWORD waited = GetTickCount() - started;
    EXPECT_GE(waited, 10000u);
    EXPECT_LT(waited, 40000u);
    FILE* file = fopen(pidFile.c_str(), "r");
    ASSERT_NE(nullptr, file);
    unsigned long pid = 0;
    EXPECT_EQ(1, fscanf(file, "%lu", &pid));
    EXPECT_NE(0ul, pid);
    fclose(file);
    HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (child != NULL) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child, 0));
        CloseHandle(child);
    }
}

} // namespace

#endif
