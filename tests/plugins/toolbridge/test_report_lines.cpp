#include <gtest/gtest.h>

#include <cstdlib>

#include "plugins/toolbridge/ToolRunner.h"

namespace {

// A record made from the output as the tool runner makes it.
class CParsed {
public:
    explicit CParsed(const std::string& output)
    {
        InitMediaFormat(record);
        size_t position = 0;
        std::string line;
        while (NextReportLine(output.data(), output.size(), position, line))
            CToolRunner::ParseReportLine(record, line.c_str(), state);
    }
    ~CParsed() { FreeMediaFormat(record); }
    VideoStreamInfo* Video() const { return record.videoCount ? record.videoStreams[0] : NULL; }
    AudioStreamInfo* Audio() const { return record.audioCount ? record.audioStreams[0] : NULL; }

    MediaFormat record;
    ReportParseState state;
};

std::vector<std::string> Lines(const std::string& output)
{
    std::vector<std::string> lines;
    size_t position = 0;
    std::string line;
    while (NextReportLine(output.data(), output.size(), position, line))
        lines.push_back(line);
    return lines;
}

TEST(ReportLines, EveryKindOfLineEnd)
{
    using List = std::vector<std::string>;
    EXPECT_EQ((List{"cr", "lf", "crlf", "lfcr", "last"}), Lines("cr\rlf\ncrlf\r\nlfcr\n\rlast"));
    EXPECT_EQ((List{"a", "", "b", ""}), Lines("a\r\rb\n\n"));
    EXPECT_EQ(List{}, Lines(""));

    std::vector<std::string> parts;
    EXPECT_EQ(1, SplitString("1 hr 2", "", parts));
    EXPECT_EQ("1 hr 2", parts[0]);
    EXPECT_EQ(3, SplitString("a, b, ", ", ", parts));
    EXPECT_EQ((List{"a", "b", ""}), parts);
    EXPECT_EQ(1, SplitString(NULL, " ", parts));
}

TEST(ReportLines, AWholeReportGivesTheRecord)
{
    CParsed parsed("   File Name:  clip.avi\n"
                   "\n"
                   " File Format:  Audio-Video Interleaved (AVI)\n"
                   "      Author:  Microsoft Corporation\n"
                   "\n"
                   "     Content:  Video and Audio\n"
                   "    Duration:  1 hr 2 min 3 sec\n"
                   "   Data Rate:  1016 kbps (ave)\n"
                   "  Video Info:  640 x 480, 29.970 fps\n"
                   "  Audio Info:  44100 Hz, 128.0 kbps, stereo\n"
                   "\n"
                   "Video Format:  DivX 5.0\n"
                   "      FourCC:  \"DX50\"\n"
                   "\n"
                   "Audio Format:\n"
                   "   Format ID:  0x0055\n");
    const MediaFormat& record = parsed.record;
    EXPECT_STREQ("DivX", record.kindName);
    EXPECT_EQ(3723, parsed.state.seconds);
    EXPECT_FLOAT_EQ(29.97f, record.framesPerSecond);
    EXPECT_EQ(int32_t(29.97f * 3723), record.frameCount);
    ASSERT_TRUE(parsed.Video() && parsed.Audio());
    EXPECT_EQ(0, record.selectedVideo);
    EXPECT_EQ(0, record.selectedAudio);
    EXPECT_EQ(640, parsed.Video()->width);
    EXPECT_EQ(480, parsed.Video()->height);
    EXPECT_EQ((1016 - 128) * 1024, parsed.Video()->bitRate);
    EXPECT_STREQ("DivX 5.0", parsed.Video()->compression);
    EXPECT_EQ(44100, parsed.Audio()->sampleRate);
    EXPECT_EQ(128 * 1024, parsed.Audio()->bitRate);
    EXPECT_EQ(2, parsed.Audio()->channels);
    EXPECT_EQ(NULL, parsed.Audio()->compression);  // "Audio Format:" alone is too short
    // Lines of 16 characters or more, each with CR LF.
    std::string text = record.reportText;
    EXPECT_EQ(0u, text.find("   File Name:  clip.avi\r\n File Format:  Audio-Video"));
    EXPECT_NE(std::string::npos, text.find("\r\n      FourCC:  \"DX50\"\r\n   Format ID:  0x0055\r\n"));
    EXPECT_EQ(std::string::npos, text.find("\r\n\r\n"));
}

TEST(ReportLines, PartsAreToldByTheirUnits)
{
    // A lone frame rate is kept; kbps without a sample rate is a bit rate.
    CParsed lone("     Content:  Video and Audio\n    Duration:  12.345 sec\n"
                 "   Data Rate:  100 kbps (ave)\n"
                 "  Video Info:  25 fps\n  Audio Info:  128.0 kbps\n");
    EXPECT_EQ(12, lone.state.seconds);
    EXPECT_FLOAT_EQ(25.0f, lone.record.framesPerSecond);
    EXPECT_EQ(300, lone.record.frameCount);
    EXPECT_EQ(0, lone.Video()->width);
    EXPECT_EQ(0, lone.Audio()->sampleRate);
    EXPECT_EQ(128 * 1024, lone.Audio()->bitRate);
    EXPECT_EQ(0, lone.Video()->bitRate);  // less than the audio alone: 0, not negative
    // 100 s at 29.970 fps are 2997 frames, not one less.
    CParsed ntsc("     Content:  Video only\n    Duration:  1 min 40 sec\n"
                 "  Video Info:  29.970 fps\n");
    EXPECT_EQ(2997, ntsc.record.frameCount);

    CParsed kinds(" File Format:  advanced systems format (asf)\n     Content:  Audio only\n"
                  "  Audio Info:  8000 Hz, mono\n  Video Info:  320 x 240\n"
                  "Video Format:  DivX\n");
    EXPECT_STREQ("Asf", kinds.record.kindName);
    EXPECT_EQ(NULL, kinds.Video());  // no video stream to take the info
    EXPECT_EQ(8000, kinds.Audio()->sampleRate);
    EXPECT_EQ(1, kinds.Audio()->channels);
    EXPECT_STREQ("Mpeg", CParsed(" File Format:  MPEG-1 System Stream\n").record.kindName);
    EXPECT_STREQ("QuickTime", CParsed(" File Format:  QuickTime\n").record.kindName);
    EXPECT_STREQ("empty file", CParsed(" File Format:  empty file\n").record.kindName);

    // A label alone (15 characters) is no line; one character more is read.
    CParsed edge("     Content:  Video and Audio\nAudio Format:  \nVideo Format:  X\n");
    EXPECT_EQ(NULL, edge.Audio()->compression);
    EXPECT_STREQ("X", edge.Video()->compression);
    EXPECT_STREQ("     Content:  Video and Audio\r\nVideo Format:  X\r\n", edge.record.reportText);
}

} // namespace
