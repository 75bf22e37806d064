// The tool's reports on files made by ffmpeg, field by field against
// ffprobe's answers, and five whole reports written from those answers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "ProbeAnswer.h"
#include "ToolProcess.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string kData = VISTREL_TEST_DATA "/vidscan";

// What the report gives of each file, to be compared.
enum {
    kFrameRate = 1,
    kSampleRate = 2,
    kChannels = 4,
    kDuration = 8,
    kVideoTag = 16,   // FourCC against codec_tag_string
    kAudioTag = 32,   // FourCC against codec_tag_string
    kFormatId = 64,   // Format ID against codec_tag
};
const unsigned kMpeg = kFrameRate | kSampleRate | kChannels | kDuration;
const unsigned kQuickTime = kMpeg | kVideoTag | kAudioTag;
const unsigned kAvi = kMpeg | kVideoTag | kFormatId;

struct Fixture {
    const char* name;
    const char* fileFormat;
    unsigned fields;
    const char* audioFormat;  // the audio codec name, when the tool knows it
};

const Fixture kFixtures[] = {
    {"xvid_mp3.avi", "Audio-Video Interleaved (AVI)", kAvi, NULL},
    {"div3_pcm.avi", "Audio-Video Interleaved (AVI)", kAvi, NULL},
    {"mjpeg.avi", "Audio-Video Interleaved (AVI)", kFrameRate | kDuration | kVideoTag, NULL},
    // An audio-only AVI's main header has no frame time, hence no length.
    {"pcm.avi", "Audio-Video Interleaved (AVI)", kSampleRate | kChannels | kFormatId, NULL},
    {"described.wmv", "Advanced Systems Format (ASF)", kAvi & ~kFrameRate, NULL},
    {"moov_last.mov", "QuickTime", kQuickTime, NULL},
    {"faststart.mov", "QuickTime", kQuickTime, NULL},
    // ISO files (handler component type 0); AAC and IMA4 samples are
    // packets, the M4A's rate field is 0 and the 96 kHz PCM's description
    // is of version 2. (ISO sound descriptions always say two channels.)
    {"aac.mp4", "QuickTime", kQuickTime, NULL},
    {"aac96.m4a", "QuickTime", kQuickTime, NULL},
    {"ima4.mov", "QuickTime", kQuickTime, NULL},
    {"lpcm96.mov", "QuickTime", kQuickTime, NULL},
    {"rv10.rm", "RealMedia", kFrameRate | kDuration, NULL},
    {"vcd.mpg", "MPEG-1 System Stream", kMpeg, "MPEG-1 Layer 2"},
    {"dvd.mpg", "MPEG-2 Program Stream", kMpeg, "MPEG-1 Layer 2"},
    {"lsf_mp2.mpg", "MPEG-1 System Stream", kMpeg, "MPEG-1, Low Bitrate Extension, Layer 2"},
    {"joined.mpg", "MPEG-1 System Stream", kMpeg, "MPEG-1 Layer 2"},
    {"AVSEQ01.DAT", "MPEG-1 Embedded System Stream", kMpeg, "MPEG-1 Layer 2"},
    // ffprobe guesses an elementary stream's length from its header.
    {"video.m1v", "MPEG-1 Video Elementary Stream", kFrameRate, NULL},
};

std::string Report(const std::vector<std::string>& args)
{
    ProgramResult result = RunProgram(VIDSCAN_EXE, args, kData);
    EXPECT_EQ(0, result.exitCode);
    return UnixLines(result.out);
}

std::string Value(const std::map<std::string, std::string>& fields, const char* label)
{
    auto found = fields.find(label);
    return found != fields.end() ? found->second : std::string();
}

// The part of a ", "-joined value that ends in the unit, as a number.
double Part(const std::string& value, const char* unit, bool* found)
{
    size_t at = value.find(unit);
    *found = at != std::string::npos;
    if (!*found)
        return 0;
    size_t start = value.rfind(", ", at);
    return atof(value.c_str() + (start == std::string::npos ? 0 : start + 2));
}

void CompareWithProbe(const Fixture& fixture)
{
    SCOPED_TRACE(fixture.name);
    ProbeAnswer probe;
    ASSERT_TRUE(ReadProbeAnswer(kData + "/" + fixture.name + ".json", probe));
    auto fields = ReportFields(Report({std::string("./") + fixture.name}));
    const auto* video = probe.Stream("video");
    const auto* audio = probe.Stream("audio");

    EXPECT_EQ(fixture.fileFormat, Value(fields, "File Format"));
    EXPECT_EQ(video && audio ? "Video and Audio" : video ? "Video only" : "Audio only",
              Value(fields, "Content"));
    if (fixture.fields & kDuration) {
        double expected = atof(probe.format.at("duration").c_str());
        EXPECT_NEAR(expected, ReportSeconds(Value(fields, "Duration")),
                    std::max(1.0, 0.02 * expected));
    }

    std::string videoInfo = Value(fields, "Video Info");
    if (video != NULL) {
        EXPECT_EQ(video->at("width") + " x " + video->at("height"),
                  videoInfo.substr(0, videoInfo.find(',')));
        bool found;
        double rate = Part(videoInfo, " fps", &found);
        EXPECT_EQ(bool(fixture.fields & kFrameRate), found) << videoInfo;
        if (found) {
            EXPECT_NEAR(ProbeRate(video->at("r_frame_rate")), rate, 0.001);
        }
        if (fixture.fields & kVideoTag) {
            EXPECT_EQ("\"" + video->at("codec_tag_string") + "\"", Value(fields, "Video FourCC"));
        }
    }
    if (audio != NULL) {
        std::string audioInfo = Value(fields, "Audio Info");
        bool found;
        double rate = Part(audioInfo, " Hz", &found);
        EXPECT_EQ(bool(fixture.fields & kSampleRate), found) << audioInfo;
        if (found) {
            EXPECT_EQ(atoi(audio->at("sample_rate").c_str()), int(rate));
        }
        if (fixture.fields & kChannels) {
            EXPECT_NE(std::string::npos,
                      audioInfo.find(audio->at("channels") == "1" ? "mono" : "stereo"));
        }
        if (fixture.fields & kAudioTag) {
            EXPECT_EQ("\"" + audio->at("codec_tag_string") + "\"", Value(fields, "Audio FourCC"));
        }
        if (fixture.fields & kFormatId) {
            EXPECT_EQ(audio->at("codec_tag"), Value(fields, "Audio Format ID"));
        }
        if (fixture.audioFormat != NULL) {
            EXPECT_EQ(fixture.audioFormat, Value(fields, "Audio Format"));
        }
    }
}

TEST(VidscanFixtures, ReportsAgreeWithProbe)
{
    for (const Fixture& fixture : kFixtures)
        CompareWithProbe(fixture);

    // Two mux rates: no data rate, and the length of the tail scan, where
    // the second stream's clock has gone on to 6 seconds.
    auto joined = ReportFields(Report({"./joined.mpg"}));
    EXPECT_EQ(0u, joined.count("Data Rate"));
    EXPECT_NEAR(6.0, ReportSeconds(joined["Duration"]), 0.05);

    // MPEG-4 video in a system stream: its group-of-VOP headers share the
    // sequence header's code but give no picture size or rate.
    auto mpeg4 = ReportFields(Report({"./mpeg4.mpg"}));
    EXPECT_EQ("MPEG-1 System Stream", mpeg4["File Format"]);
    EXPECT_EQ(0u, mpeg4.count("Video Info"));
    EXPECT_EQ("44100 Hz, 64.0 kbps, mono", mpeg4["Audio Info"]);
}

TEST(VidscanFixtures, ExtendedCutAndSplitSequenceHeaders)
{
    // The stream-header plug-in's fixtures: 4096 x 2160 (the 12-bit width
    // is 0); a stream behind a header cut after 2 and after 4 bytes (the
    // latter reading 720x576 at 25 fps), 15 pictures at 30000/1001 per
    // second, 0.5005 s, whose nearest double lies below; system and program
    // streams whose only header is split between two video packets.
    const char* const files[][2] = {{"uhd.m2v", "0.083 sec; 4096 x 2160, 24 fps"},
                                    {"cut2.m1v", "0.500 sec; 352 x 240, 29.970 fps"},
                                    {"cut4.m1v", "0.500 sec; 352 x 240, 29.970 fps"},
                                    {"split.mpg", "0.601 sec; 352 x 240, 29.970 fps"},
                                    {"split_ps.mpg", "0.801 sec; 352 x 240, 29.970 fps"}};
    for (const auto& file : files) {
        auto fields = ReportFields(Report({std::string("../mpeg/") + file[0]}));
        EXPECT_EQ(file[1], fields["Duration"] + "; " + fields["Video Info"]) << file[0];
    }
}

TEST(VidscanFixtures, WholeReports)
{
    for (const char* name :
         {"xvid_mp3.avi", "div3_pcm.avi", "mjpeg.avi", "faststart.mov", "rv10.rm"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadBytes(kData + "/" + name + ".report"), Report({std::string("./") + name}));
    }
}

TEST(VidscanFixtures, AsfTextsInTheConsoleOrAnsiCodePage)
{
    std::string console = "Caf? Noir", ansi = "Caf? Noir";
#ifdef _WIN32
    char text[32];
    WideCharToMultiByte(CP_OEMCP, 0, L"Caf\u00e9 Noir", -1, text, sizeof(text), NULL, NULL);
    console = text;
    WideCharToMultiByte(CP_ACP, 0, L"Caf\u00e9 Noir", -1, text, sizeof(text), NULL, NULL);
    ansi = text;
#endif
    std::string texts = "       Title:  %s\n      Author:  Jane Doe\n"
                        "   Copyright:  (c) 2003 Example Films\n      Rating:  Family\n";
    for (bool useAnsi : {false, true}) {
        std::string expected = texts;
        expected.replace(expected.find("%s"), 2, useAnsi ? ansi : console);
        std::string report = useAnsi ? Report({"-A", "described.wmv"}) : Report({"described.wmv"});
        EXPECT_EQ("   File Name:  described.wmv\n" + expected,
                  report.substr(0, report.find("\n File Format:")));
    }
}

} // namespace
