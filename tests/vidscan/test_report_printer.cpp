#include <gtest/gtest.h>

#include "tools/vidscan/ReportPrinter.h"

namespace {

std::string Printed(const FileReport& report)
{
    std::string out;
    PrintReport(report, out);
    return out;
}

TEST(ReportPrinter, DurationsRoundAtTheMinuteAndTheHour)
{
    EXPECT_EQ("60.000 sec", FormatDuration(59.9996));
    EXPECT_EQ("1 min 0 sec", FormatDuration(60.0));
    EXPECT_EQ("59.999 sec", FormatDuration(59.999));
    EXPECT_EQ("1 min 0 sec", FormatDuration(60.4));
    EXPECT_EQ("1 hr 0 min 0 sec", FormatDuration(3599.5));
    EXPECT_EQ("1 hr 2 min 3 sec", FormatDuration(3723.2));
    EXPECT_EQ("12.345 sec", FormatDuration(12.345));
}

TEST(ReportPrinter, RatesAndFormatLines)
{
    FileReport report;
    SetCodecField(report.container.name, "Audio-Video Interleaved (AVI)");
    SetCodecField(report.container.author, "Microsoft Corporation");
    report.hasVideo = report.hasAudio = true;
    report.duration = 10;
    report.bytesPerSecond = 1499;
    report.width = 320;
    report.height = 240;
    report.framesPerSecond = 25.0;
    report.sampleRate = 44100;
    report.audioBytesPerSecond = 16000;
    report.channels = 2;
    report.hasVideoFourCC = true;
    report.videoFourCC = FourCC("DIV3");
    report.hasAudioId = true;
    report.audioId = 0x55;
    SetCodecField(report.audioCodec.name, "MPEG Layer-3");
    SetCodecField(report.audioCodec.notes, "free line one\nfree line two\n");
    EXPECT_EQ("\n File Format:  Audio-Video Interleaved (AVI)\n"
              "      Author:  Microsoft Corporation\n"
              "\n     Content:  Video and Audio\n"
              "    Duration:  10.000 sec\n"
              "   Data Rate:  12 kbps (ave)\n"
              "  Video Info:  320 x 240, 25 fps\n"
              "  Audio Info:  44100 Hz, 128.0 kbps, stereo\n"
              "\nVideo Format:\n"
              "      FourCC:  \"DIV3\"\n"
              "\nAudio Format:  MPEG Layer-3\n"
              "   Format ID:  0x0055\n"
              "free line one\nfree line two\n",
              Printed(report));

    // The data rate rounds to whole kbps in 64 bits, even at the largest.
    report.bytesPerSecond = 1500;
    EXPECT_NE(std::string::npos, Printed(report).find("Data Rate:  12 kbps"));
    report.bytesPerSecond = 1563;
    EXPECT_NE(std::string::npos, Printed(report).find("Data Rate:  13 kbps"));
    report.bytesPerSecond = INT32_MAX;
    report.audioBytesPerSecond = INT32_MAX;
    EXPECT_NE(std::string::npos, Printed(report).find("Data Rate:  17179869 kbps"));
    EXPECT_NE(std::string::npos, Printed(report).find("44100 Hz, 17179869.2 kbps"));

    // Fractional rates get three decimals; a FourCC of letters is quoted
    // for sound too, one with unprintable bytes is shown in hexadecimal.
    report.framesPerSecond = 29.97;
    report.audioId = FourCC("twos");
    report.videoFourCC = 0x00000001;
    std::string out = Printed(report);
    EXPECT_NE(std::string::npos, out.find("  Video Info:  320 x 240, 29.970 fps\n"));
    EXPECT_NE(std::string::npos, out.find("      FourCC:  0x00000001\n"));
    EXPECT_NE(std::string::npos, out.find("\nAudio Format:  MPEG Layer-3\n      FourCC:  \"twos\"\n"));

    // Two channels or more are stereo.
    report.channels = 3;
    EXPECT_NE(std::string::npos, Printed(report).find("kbps, stereo\n"));
}

TEST(ReportPrinter, MissingValuesLeaveTheirLinesOut)
{
    // Video without rate or size: the Content line but no Video Info.
    FileReport report;
    report.hasVideo = true;
    EXPECT_EQ("\n File Format:\n\n     Content:  Video only\n", Printed(report));

    // Without a Content line the first value block opens with an empty
    // line; audio parts are joined by ", " whichever are there.
    report.hasVideo = false;
    report.duration = 75;
    report.audioBytesPerSecond = 1000;
    report.channels = 1;
    EXPECT_EQ("\n File Format:\n\n    Duration:  1 min 15 sec\n", Printed(report));
    report.hasAudio = true;
    EXPECT_EQ("\n File Format:\n\n     Content:  Audio only\n    Duration:  1 min 15 sec\n"
              "  Audio Info:  8.0 kbps, mono\n",
              Printed(report));
}

} // namespace
