#include "tools/vidscan/ReportPrinter.h"
#include "core/StrUtil.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

void PrintCodecDetails(const CodecRecord& codec, std::string& out)
{
    if (codec.author[0] != '\0')
        AppendFormat(out, "      Author:  %s\n", codec.author);
    if (codec.webSite[0] != '\0')
        AppendFormat(out, "    Web Site:  %s\n", codec.webSite);
    if (codec.notes[0] != '\0')
        out += codec.notes;
}

// The FourCC's characters when all four are printable ASCII.
bool PrintableFourCC(uint32_t fourcc, char text[5])
{
    for (int k = 0; k < 4; k++) {
        unsigned c = (fourcc >> (8 * k)) & 0xFF;
        if (c < 32 || c > 126)
            return false;
        text[k] = char(c & 0x7F);
    }
    text[4] = '\0';
    return true;
}

// A Video Format or Audio Format block: the codec's name, its FourCC
// quoted, or its id in hexadecimal (8 digits for video, a 4-digit format id
// for sound), and the codec's details.
void PrintFormatBlock(const char* label, const CodecRecord& codec, bool hasId, uint32_t id,
                      bool audio, std::string& out)
{
    out += label;
    if (codec.name[0] != '\0')
        AppendFormat(out, "  %s", codec.name);
    out += "\n";
    if (hasId) {
        char fourcc[5];
        if (PrintableFourCC(id, fourcc))
            AppendFormat(out, "      FourCC:  \"%s\"\n", fourcc);
        else if (audio)
            AppendFormat(out, "   Format ID:  0x%04lX\n", (unsigned long)id);
        else
            AppendFormat(out, "      FourCC:  0x%08lX\n", (unsigned long)id);
    }
    PrintCodecDetails(codec, out);
}

} // namespace

void AppendFormat(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    out += StrFormatV(format, args);
    va_end(args);
}

void PrintFileNameLine(const std::string& name, std::string& out)
{
    AppendFormat(out, "   File Name:  %s\n", name.c_str());
}

std::string FormatDuration(double seconds)
{
    std::string text;
    if (seconds < 60) {
        AppendFormat(text, "%0.3f sec", seconds);
        return text;
    }
    int s = DoubleToInt32(std::floor(seconds + 0.5));
    if (s >= 3600)
        AppendFormat(text, "%d hr %d min %d sec", s / 3600, (s / 60) % 60, s % 60);
    else
        AppendFormat(text, "%d min %d sec", (s / 60) % 60, s % 60);
    return text;
}

void PrintReport(const FileReport& report, std::string& out)
{
    for (const ReportDescription& description : report.descriptions) {
        if (!description.text.empty())
            AppendFormat(out, "%12s:  %s\n", description.label.c_str(), description.text.c_str());
    }

    out += "\n File Format:";
    if (report.container.name[0] != '\0')
        AppendFormat(out, "  %s", report.container.name);
    out += "\n";
    PrintCodecDetails(report.container, out);

    bool content = true;
    if (report.hasVideo && report.hasAudio)
        out += "\n     Content:  Video and Audio\n";
    else if (report.hasVideo)
        out += "\n     Content:  Video only\n";
    else if (report.hasAudio)
        out += "\n     Content:  Audio only\n";
    else
        content = false;
    // Without a Content line the next block that is printed opens with an
    // empty line of its own.
    bool openBlock = !content;
    auto startBlock = [&]() {
        if (openBlock)
            out += "\n";
        openBlock = false;
    };

    if (report.duration != 0) {
        startBlock();
        out += "    Duration:  " + FormatDuration(report.duration);
        if (report.bytesPerSecond != 0)
            AppendFormat(out, "\n   Data Rate:  %ld kbps (ave)",
                         long((int64_t(report.bytesPerSecond) * 8 + 500) / 1000));
        out += "\n";
    }

    bool hasSize = report.width != 0 && report.height != 0;
    if (report.hasVideo && (report.framesPerSecond != 0 || hasSize)) {
        startBlock();
        out += "  Video Info:  ";
        if (hasSize)
            AppendFormat(out, "%d x %d", int(report.width), int(report.height));
        if (report.framesPerSecond != 0) {
            if (hasSize)
                out += ", ";
            double rate = report.framesPerSecond;
            AppendFormat(out, rate != std::floor(rate) ? "%0.3f fps" : "%0.0f fps", rate);
        }
        out += "\n";
    }

    if (report.hasAudio &&
        (report.sampleRate != 0 || report.audioBytesPerSecond != 0 || report.channels != 0)) {
        startBlock();
        out += "  Audio Info:  ";
        const char* separator = "";
        if (report.sampleRate != 0) {
            AppendFormat(out, "%d Hz", int(report.sampleRate));
            separator = ", ";
        }
        if (report.audioBytesPerSecond != 0) {
            AppendFormat(out, "%s%0.1f kbps", separator, double(report.audioBytesPerSecond) * 8 * 0.001);
            separator = ", ";
        }
        if (report.channels == 1)
            AppendFormat(out, "%smono", separator);
        else if (report.channels >= 2)
            AppendFormat(out, "%sstereo", separator);
        out += "\n";
    }

    if (report.videoCodec.name[0] != '\0' || report.hasVideoFourCC)
        PrintFormatBlock("\nVideo Format:", report.videoCodec, report.hasVideoFourCC,
                         report.videoFourCC, false, out);
    if (report.audioCodec.name[0] != '\0' || report.hasAudioId)
        PrintFormatBlock("\nAudio Format:", report.audioCodec, report.hasAudioId, report.audioId,
                         true, out);
}
