#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/PluginRecord.h"
#include "plugins/FormatLog.h"
#include "plugins/dvdtitles/DvdLanguages.h"
#include "plugins/dvdtitles/DvdTitles.h"
#include "tests/plugins/PluginFolder.h"

namespace {

dvd_time_t Time(uint8_t h, uint8_t m, uint8_t s, uint8_t frame = 0x40)
{
    dvd_time_t t = {h, m, s, frame};
    return t;
}

DvdTitleSetRow Row(int32_t length, int32_t programs, int32_t audio, int32_t subtitles,
                   float fps = 25.0f)
{
    DvdTitleSetRow row;
    row.length = length;
    row.programs = programs;
    row.audioCount = audio;
    row.subtitleCount = subtitles;
    row.framesPerSecond = fps;
    return row;
}

uint16_t Lang(const char* code)
{
    return uint16_t(uint8_t(code[0]) << 8 | uint8_t(code[1]));
}

audio_attr_t Audio(int format, int channels, const char* lang, int quantization = 0)
{
    audio_attr_t a = {};
    a.audio_format = format;
    a.channels = channels - 1;
    a.lang_type = 1;
    a.lang_code = Lang(lang);
    a.quantization = quantization;
    return a;
}

subp_attr_t Subtitle(const char* lang, int languageExtension, int codeExtension = 0)
{
    subp_attr_t s = {};
    s.type = 1;
    s.lang_code = Lang(lang);
    s.lang_extension = languageExtension;
    s.code_extension = codeExtension;
    return s;
}

std::vector<std::string> Texts(const std::vector<DvdSubtitleInfo>& list)
{
    std::vector<std::string> out;
    for (const DvdSubtitleInfo& s : list)
        out.push_back(s.language + "|" + s.description);
    return out;
}

}  // namespace

TEST(DvdTitleTimes, BcdCellsChainsAndMerges)
{
    EXPECT_EQ(6330, PlaybackSeconds(Time(0x01, 0x45, 0x30, 0xFF)));  // frames not counted
    EXPECT_EQ(25.0f, PlaybackFrameRate(Time(0, 0, 0, 0x40)));
    EXPECT_EQ(29.97f, PlaybackFrameRate(Time(0, 0, 0, 0xC0)));
    EXPECT_EQ(0.0f, PlaybackFrameRate(Time(0, 0, 0, 0x80)));

    auto merged = [](std::vector<int64_t> chains) {
        int32_t length = 0;
        for (int64_t j : chains)
            length = MergeLength(length, j);
        return length;
    };
    EXPECT_EQ(5350, merged({5400, 5300}));  // two versions of one movie
    EXPECT_EQ(8400, merged({5400, 3000}));
    EXPECT_EQ(2100, merged({1000, 1100}));  // short chains add up
    EXPECT_EQ(8200, merged({4000, 4200}));  // a chain of 4200 s is still short
    EXPECT_EQ(4201 + (4000 - 4201) / 2, merged({4000, 4201}));
    EXPECT_EQ(5401 + 4201, merged({5401, 4201}));  // 1200 s apart: two movies
    EXPECT_EQ(4201 + (5400 - 4201) / 2, merged({5400, 4201}));
    EXPECT_EQ(5300 + (5400 - 5300) / 2, merged({5300, 5400}));
    EXPECT_EQ(INT32_MAX, merged({INT32_MAX, 5000}));  // kept in range, no overflow
    EXPECT_EQ(INT32_MAX, merged({int64_t(1) << 40}));

    // Cells count up to and including the first one that ends an angle block.
    cell_playback_t cells[3] = {};
    cells[0].playback_time = Time(0, 0x10, 0);
    cells[1].playback_time = Time(0, 0, 0x30);
    cells[1].block_mode = 3;
    cells[2].playback_time = Time(0x02, 0, 0);
    pgc_t chain = {};
    chain.nr_of_cells = 3;
    chain.cell_playback = cells;
    EXPECT_EQ(630, ChainSeconds(chain));
    chain.cell_playback = NULL;  // a count without a table
    EXPECT_EQ(0, ChainSeconds(chain));
}

TEST(DvdTitleChoice, ScoresAndTies)
{
    // Equal length and equal score (one has most programs, the other most
    // audio streams): more audio streams win, in either order.
    EXPECT_EQ(1u, ChooseTitleSet({Row(100, 9, 1, 0), Row(100, 5, 2, 0)}));
    EXPECT_EQ(0u, ChooseTitleSet({Row(100, 5, 2, 0), Row(100, 9, 1, 0)}));
    // Longest (1.0) against most audio and subtitles (1.0): length decides.
    EXPECT_EQ(1u, ChooseTitleSet({Row(50, 1, 2, 1), Row(100, 1, 1, 0, 29.97f)}));
    EXPECT_EQ(0u, ChooseTitleSet({Row(100, 1, 1, 0), Row(50, 1, 2, 1)}));
    // All equal: the earlier one.
    EXPECT_EQ(0u, ChooseTitleSet({Row(100, 5, 2, 1), Row(100, 5, 2, 1)}));
    // Most subtitles, audio and programs (1.25) beat the longest (1.0).
    EXPECT_EQ(1u, ChooseTitleSet({Row(100, 1, 1, 0), Row(99, 2, 2, 1)}));
    // A title set without a frame rate is never scored.
    EXPECT_EQ(1u, ChooseTitleSet({Row(9999, 9, 8, 32, 0.0f), Row(10, 1, 1, 0)}));
    EXPECT_EQ(0u, ChooseTitleSet({Row(10, 1, 1, 0, 0.0f)}));
    EXPECT_EQ(0u, ChooseTitleSet({}));

    TopValueSet top;
    top.Add(5, 0);
    top.Add(7, 1);
    top.Add(7, 2);
    top.Add(6, 3);
    EXPECT_EQ((std::vector<size_t>{1, 2}), top.rows);
    top.Add(0xFFFFFFFFu, 4);  // compared unsigned
    EXPECT_TRUE(top.Holds(4));
    EXPECT_FALSE(top.Holds(1));
}

TEST(DvdTitleTexts, RegionsVideoAndLanguages)
{
    EXPECT_EQ("1, 2, 3, 4, 5, 6", RegionText(0x00));
    EXPECT_EQ("1", RegionText(0xFE));
    EXPECT_EQ("unknown", RegionText(0xFF));
    EXPECT_EQ("free", RegionText(0xC0));
    EXPECT_EQ("2, 5", RegionText(0xED));

    video_attr_t v = {};
    v.video_format = 1;
    v.picture_size = 3;
    v.display_aspect_ratio = 3;
    v.permitted_df = 2;
    DvdVideoInfo info = DescribeVideo(v);
    EXPECT_EQ("MPEG-1", info.compression);
    EXPECT_EQ("PAL", info.tvSystem);
    EXPECT_EQ(352, info.width);
    EXPECT_EQ(288, info.height);
    EXPECT_EQ("16:9", info.aspectRatio);
    EXPECT_EQ("widescreen & letterboxed", info.displayMode);
    v.video_format = 0, v.picture_size = 1, v.display_aspect_ratio = 1, v.mpeg_version = 1;
    info = DescribeVideo(v);
    EXPECT_EQ("NTSC", info.tvSystem);
    EXPECT_EQ(704, info.width);
    EXPECT_EQ(480, info.height);
    EXPECT_EQ("unknown", info.aspectRatio);
    EXPECT_EQ("MPEG-2", info.compression);

    int rows = 0;
    for (const DvdLanguage* row = DvdLanguageTable(); row->code[0] != '\0'; row++, rows++) {
        EXPECT_EQ(2u, strlen(row->code));
        EXPECT_STREQ(row->name, FindLanguageName(Lang(row->code))) << row->code;  // codes unique
    }
    EXPECT_EQ(143, rows);
    EXPECT_STREQ("Not Specified", FindLanguageName(Lang("  ")));
    EXPECT_STREQ("Deutsch", FindLanguageName(Lang("de")));
    EXPECT_STREQ("*Afar", FindLanguageName(Lang("aa")));
    EXPECT_STREQ("*Latvian, Lettish", FindLanguageName(Lang("lv")));
    EXPECT_STREQ("*Zulu", FindLanguageName(Lang("zu")));
    EXPECT_STREQ("", FindLanguageName(Lang("zz")));
    EXPECT_STREQ("", FindLanguageName(0));
}

TEST(DvdTitleTexts, AudioDescriptionsMergingAndOrder)
{
    audio_attr_t a = Audio(0, 6, "en");
    a.multichannel_extension = 1;
    a.application_mode = 2;
    a.sample_frequency = 1;
    a.code_extension = 3;
    DvdAudioInfo info = DescribeAudio(a);
    EXPECT_EQ("English", info.language);
    EXPECT_EQ("AC3 (Dolby Digital 5.1 + multichannel) surround sound", info.description);
    EXPECT_EQ(96000, info.sampleRate);
    EXPECT_EQ("16bit", info.quantization);
    EXPECT_EQ("Director's comments", info.caption);

    a = Audio(6, 3, "xx", 3);
    a.application_mode = 1;
    a.code_extension = 9;
    info = DescribeAudio(a);
    EXPECT_EQ("", info.language);  // an unknown code of language type 1
    EXPECT_EQ("DTS (3 channel(s)) karaoke", info.description);
    EXPECT_EQ("DRC", info.quantization);
    EXPECT_EQ("Unknown", info.caption);
    a.lang_type = 0;
    EXPECT_EQ("Not specified", DescribeAudio(a).language);
    EXPECT_EQ(" (Mono)", DescribeAudio(Audio(7, 1, "en")).description);  // byte 0 above 223
    EXPECT_EQ("Audio for visually impaired", [] {
        audio_attr_t v = Audio(2, 2, "en");
        v.code_extension = 2;
        return DescribeAudio(v).caption;
    }());

    // Equal streams become one; then most channels first, equal ones kept
    // in their order.
    std::vector<DvdAudioInfo> list = {DescribeAudio(Audio(2, 2, "de", 1)),
                                      DescribeAudio(Audio(0, 6, "en")),
                                      DescribeAudio(Audio(2, 2, "de", 1)),
                                      DescribeAudio(Audio(4, 2, "fr", 2)),
                                      DescribeAudio(Audio(0, 6, "en"))};
    MergeAudio(list);
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ("AC3 (Dolby Digital 5.1)", list[0].description);
    EXPECT_EQ("MPEG-1 (Stereo)", list[1].description);
    EXPECT_EQ("LPCM (Stereo)", list[2].description);
    EXPECT_EQ("Francais", list[2].language);
}

TEST(DvdTitleTexts, SubtitlesAndTheHearingImpairedRule)
{
    subp_attr_t list[] = {Subtitle("en", 0, 2), Subtitle("de", 9), Subtitle("xx", 13),
                          Subtitle("fr", 16), Subtitle("it", 4)};
    list[2].type = 2;
    EXPECT_EQ((std::vector<std::string>{"English|big letters", "Deutsch|forced",
                                        "No language specified|director's comments",
                                        "Francais|", "Italiano|reserved"}),
              Texts(DescribeSubtitles(list, 5)));
    subp_attr_t unknown = Subtitle("xx", 0);
    EXPECT_EQ("Unknown language|", Texts(DescribeSubtitles(&unknown, 1))[0]);

    // Few streams marked 1 to 3 among more plain ones, none marked 5 to 7:
    // every marked stream is for the hearing impaired.
    subp_attr_t marked[] = {Subtitle("en", 0), Subtitle("de", 0), Subtitle("en", 1),
                            Subtitle("fr", 0, 14)};
    EXPECT_EQ((std::vector<std::string>{"English|", "Deutsch|", "English|for hearing impaired",
                                        "Francais|for hearing impaired"}),
              Texts(DescribeSubtitles(marked, 4)));
    // Not with as many marked as plain, nor beside a real hearing-impaired code.
    EXPECT_EQ("English|", Texts(DescribeSubtitles(marked + 2, 2))[0]);
    marked[1] = Subtitle("de", 5);
    EXPECT_EQ("English|", Texts(DescribeSubtitles(marked, 4))[2]);

    // Duplicates go; described ones after plain ones, no language last.
    subp_attr_t many[] = {Subtitle("xx", 0), Subtitle("en", 9), Subtitle("de", 0),
                          Subtitle("en", 9), Subtitle("fr", 0)};
    many[0].type = 0;
    std::vector<DvdSubtitleInfo> merged = DescribeSubtitles(many, 5);
    MergeSubtitles(merged);
    EXPECT_EQ((std::vector<std::string>{"Deutsch|", "Francais|", "English|forced",
                                        "No language specified|"}),
              Texts(merged));
    // Counts beyond what the library holds (32) are not read.
    std::vector<subp_attr_t> lots(40, Subtitle("en", 0));
    EXPECT_EQ(32u, DescribeSubtitles(lots.data(), 40).size());
}

TEST(DvdTitleRecord, RecordAndReport)
{
    DvdTitleSummary s;
    s.region = "free";
    video_attr_t v = {};
    s.video = DescribeVideo(v);
    s.row = Row(3600, 12, 1, 1, 0.0f);
    s.audio.push_back(DescribeAudio(Audio(3, 2, "sv", 2)));
    s.subtitles = DescribeSubtitles(std::vector<subp_attr_t>{Subtitle("nl", 0)}.data(), 1);
    MediaFormat* r = MakeDvdRecord(s);
    ASSERT_NE(nullptr, r);
    EXPECT_STREQ("DVD", r->kindName);
    EXPECT_EQ(0, r->frameCount);  // no frame rate: no division by zero
    ASSERT_EQ(1u, r->audioCount);
    EXPECT_EQ(24, r->audioStreams[0]->bitsPerSample);
    EXPECT_STREQ("Svenska", r->audioStreams[0]->language);
    EXPECT_STREQ("MPEG-2 (Stereo)", r->audioStreams[0]->compression);
    ASSERT_EQ(1u, r->subtitleCount);
    EXPECT_STREQ("Nederlands", r->subtitleTexts[0]);
    EXPECT_STREQ("[IFO file]\r\n\r\nRegion: free\r\n\r\n[Video stream]\r\nCompression: MPEG-1\r\n"
                 "TV system: NTSC\r\nAspect ratio: 4:3\r\n"
                 "Display mode: widescreen, pan-scan & letterboxed\r\nResolution: 720x480\r\n"
                 "Frames per sec: 0.00\r\nLength in sec: 0\r\nChapters: 12\r\n\r\n"
                 "[Audio stream(s)]\r\nNumber of audio streams: 1\r\n\r\n"
                 "Language: Svenska\r\nCompression: MPEG-2 (Stereo)\r\nSampling: 48kHz\r\n"
                 "Quant: 24bit\r\n\r\n[Subtitel(s)]\r\nNumber of subtitels: 1\r\n\r\nNederlands\r\n",
                 r->reportText);
    DeleteMediaFormat(&r);

    // A length whose frame count passes the int32 range is held at its top.
    s.row = Row(INT32_MAX, 1, 0, 0, 29.97f);
    s.audio.clear();
    r = MakeDvdRecord(s);
    EXPECT_EQ(INT32_MAX, r->frameCount);
    EXPECT_EQ(-1, r->selectedAudio);
    DeleteMediaFormat(&r);

    // 100 s at 29.97 are 2997 frames, not one less; 101 s are 3026.97,
    // which read back as 100 whole seconds.
    for (int32_t seconds : {100, 101}) {
        s.row = Row(seconds, 1, 0, 0, 29.97f);
        r = MakeDvdRecord(s);
        EXPECT_EQ(seconds == 100 ? 2997 : 3026, r->frameCount);
        EXPECT_NE(nullptr, strstr(r->reportText, "Length in sec: 100\r\n"));
        DeleteMediaFormat(&r);
    }
}

namespace {
void Quiet(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuiet = {Quiet};
}  // namespace

TEST(DvdTitleFolder, HostLibraryReadsTheFixture)
{
    std::string path = std::string(VISTREL_TEST_DATA) + "/dvd/VIDEO_TS";
    dvd_reader_t* dvd = DVDOpen2(NULL, &kQuiet, path.c_str());
    ASSERT_NE(nullptr, dvd);
    // The host's library has no command evaluator: with every chain played,
    // title set 1 (longest, with a subtitle) wins; when the chain whose
    // pre-commands jump is skipped, title set 2 does.
    MediaFormat* r = ReadDvdTitles(dvd, NULL);
    ASSERT_NE(nullptr, r);
    EXPECT_STREQ("Deutsch", r->audioStreams[0]->language);
    EXPECT_EQ(125, r->frameCount);
    DeleteMediaFormat(&r);
    r = ReadDvdTitles(dvd, [](const vm_cmd_t*, int count) { return count > 0; });
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(2u, r->audioCount);
    EXPECT_EQ(75, r->frameCount);
    DeleteMediaFormat(&r);
    DVDClose(dvd);

    // A manager file the library can't read: NULL and its log line.
    std::string dir = testing::TempDir() + "/" + UniqueScratchName("dvd_broken_") + "/";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "VIDEO_TS.IFO") << "not an information file";
    std::string log = dir + "format_msg.log";
    remove(log.c_str());
    SetFormatLogPath(log.c_str());
    dvd = DVDOpen2(NULL, &kQuiet, dir.c_str());
    ASSERT_NE(nullptr, dvd);
    EXPECT_EQ(nullptr, ReadDvdTitles(dvd, NULL));
    DVDClose(dvd);
    EXPECT_EQ("No titels found on DVD (reading error)\r\n", ReadAll(log));
    SetFormatLogPath("c:\\format_msg.log");
    std::filesystem::remove_all(dir);
}

#ifdef _WIN32
namespace {

const char kFixtureReport[] =
    "[IFO file]\r\n\r\nRegion: 1, 2, 3, 4, 5, 6\r\n\r\n[Video stream]\r\nCompression: MPEG-2\r\n"
    "TV system: PAL\r\nAspect ratio: 4:3\r\nDisplay mode: not specified\r\n"
    "Resolution: 352x576\r\nFrames per sec: 25.00\r\nLength in sec: 3\r\nChapters: 2\r\n\r\n"
    "[Audio stream(s)]\r\nNumber of audio streams: 2\r\n\r\n"
    "Language: English\r\nCompression: MPEG-1 (Stereo)\r\nSampling: 48kHz\r\nQuant: 20bit\r\n\r\n"
    "Language: English\r\nCompression: AC3 (Mono)\r\nSampling: 48kHz\r\nQuant: DRC\r\n\r\n"
    "[Subtitel(s)]\r\nNumber of subtitels: 0\r\n\r\n";

}  // namespace

TEST(DvdTitlesDll, ReadsTheFixtureThroughThePluginManager)
{
    PluginFolder plugins("dvdtitles.dll");
    ASSERT_EQ(1, plugins.manager.GetCount());
    PluginEntry* entry = plugins.manager.GetEntry(0);
    EXPECT_STREQ("Handels DVD ifo files. Written by Tolvik.", entry->PluginDesc());
    EXPECT_STREQ("|DVD ifo file (vts_01_0.ifo)|vts_01_0.ifo|", entry->PluginFormats());

    // The folder itself, and the folder above it through "video_ts\": the
    // jumping chain of title set 1 is skipped and title set 2 is chosen.
    for (const char* path : {"dvd/VIDEO_TS/VTS_01_0.IFO", "dvd/vts_01_0.ifo"}) {
        MediaFormat m;
        InitMediaFormat(m);
        ASSERT_TRUE(plugins.manager.ReadFileInfo(m, FixturePath(path).c_str())) << path;
        EXPECT_STREQ("DVD", m.kindName);
        EXPECT_EQ(75, m.frameCount);
        EXPECT_EQ(25.0f, m.framesPerSecond);
        EXPECT_STREQ(kFixtureReport, m.reportText);
        ASSERT_EQ(1u, m.videoCount);
        EXPECT_EQ(352, m.videoStreams[0]->width);
        ASSERT_EQ(2u, m.audioCount);
        EXPECT_EQ(0u, m.subtitleCount);
        FreeMediaFormat(m);
    }

    // Title set 1 itself has German audio and an English subtitle; only
    // "vts_01_0.ifo" is taken, in either pass.
    std::string dir = FixtureDir("dvd/VIDEO_TS/x");
    EXPECT_EQ(nullptr, entry->ReadFromFile(dir.c_str(), "VTS_02_0", ".IFO", 1));
    EXPECT_EQ(nullptr, entry->ReadFromFile(dir.c_str(), "VTS_01_0", NULL, 1));
    EXPECT_EQ(nullptr, entry->ReadFromFile(NULL, "VTS_01_0", ".IFO", 1));
    MediaFormat* record = entry->ReadFromFile(dir.c_str(), "VTS_01_0", ".IFO", 1);
    ASSERT_NE(nullptr, record);
    entry->FreeFormat(&record);
    EXPECT_EQ(nullptr, record);
    ExpectNullOnEveryException(entry, dir, "VTS_01_0", ".IFO");
    EXPECT_EQ(0, plugins.NewBoxes());
}

TEST(DvdTitlesDll, FailuresGoToTheLog)
{
    PluginFolder plugins("dvdtitles.dll");
    ASSERT_EQ(1, plugins.manager.GetCount());
    PluginEntry* entry = plugins.manager.GetEntry(0);

    LogWatch missing;
    std::string dir = FixtureDir("mpeg/vcd.mpg");
    EXPECT_EQ(nullptr, entry->ReadFromFile(dir.c_str(), "vts_01_0", ".ifo", 0));
    EXPECT_NE(std::string::npos, missing.Added().find("Error reading from media\r\n"));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string broken = std::string(temp) + "vistrel_dvd_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(broken.c_str(), NULL);
    std::ofstream(broken + "\\VIDEO_TS.IFO") << "not an information file";
    LogWatch unreadable;
    EXPECT_EQ(nullptr, entry->ReadFromFile(broken.c_str(), "vts_01_0", ".ifo", 0));
    EXPECT_NE(std::string::npos,
              unreadable.Added().find("No titels found on DVD (reading error)\r\n"));
    DeleteFileA((broken + "\\VIDEO_TS.IFO").c_str());
    RemoveDirectoryA(broken.c_str());
    EXPECT_EQ(0, plugins.NewBoxes());
}
#endif
