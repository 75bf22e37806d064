// The portable half of the tool runner: cutting the output into lines and
// reading each report line into the record.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/PluginRecord.h"
#include "core/StrUtil.h"
#include "plugins/toolbridge/ToolRunner.h"

namespace {

const size_t kLabelLength = 15;

// A value read from the report as a 32-bit integer: truncated, NaN and
// negative values give 0, too large ones the largest.
int32_t ToCount(double value)
{
    if (!(value > 0))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    return int32_t(value);
}

// The decimal number at the start of text; 0 when there is none or it is
// not finite.
double ReadDecimal(const char* text)
{
    double value = strtod(text, NULL);
    return std::isfinite(value) ? value : 0;
}

// The integer at the start of text, as a count: negative ones give 0, too
// large ones the largest.
int32_t ReadCount(const char* text)
{
    long long value = strtoll(text, NULL, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    return value < 0 ? 0 : int32_t(value);
}

bool Contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

VideoStreamInfo* VideoOf(MediaFormat& record)
{
    return record.videoCount != 0 ? record.videoStreams[0] : NULL;
}

AudioStreamInfo* AudioOf(MediaFormat& record)
{
    return record.audioCount != 0 ? record.audioStreams[0] : NULL;
}

// Appends the line and CR LF to the record's reportText.
void AppendReportLine(MediaFormat& record, const char* line, size_t length, ReportParseState& state)
{
    if (state.textCapacity == 0) {
        state.textLength = record.reportText != NULL ? strlen(record.reportText) : 0;
        state.textCapacity = record.reportText != NULL ? state.textLength + 1 : 0;
    }
    size_t need = state.textLength + length + 3;
    if (need > state.textCapacity) {
        size_t capacity = std::max(need, std::max(state.textCapacity * 2, size_t(256)));
        char* text = static_cast<char*>(realloc(record.reportText, capacity));
        if (text == NULL)
            return;
        record.reportText = text;
        state.textCapacity = capacity;
    }
    memcpy(record.reportText + state.textLength, line, length);
    memcpy(record.reportText + state.textLength + length, "\r\n", 3);
    state.textLength += length + 2;
}

void ReadKind(MediaFormat& record, const char* value)
{
    if (StrEqualNoCase(value, "Audio-Video Interleaved (AVI)"))
        StrAssign(&record.kindName, "Avi");
    else if (StrEqualNoCase(value, "MPEG-1 System Stream"))
        StrAssign(&record.kindName, "Mpeg");
    else if (StrEqualNoCase(value, "Advanced Systems Format (ASF)"))
        StrAssign(&record.kindName, "Asf");
    else
        StrAssign(&record.kindName, value);
}

// "1 hr 2 min 3 sec", "12.345 sec": (number, unit) pairs.
int32_t ReadDuration(const char* value)
{
    std::vector<std::string> parts;
    SplitString(value, " ", parts);
    double seconds = 0;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        double number = ReadCount(parts[i].c_str());
        const char* unit = parts[i + 1].c_str();
        if (StrEqualNoCase(unit, "hr"))
            seconds += number * 3600;
        else if (StrEqualNoCase(unit, "min"))
            seconds += number * 60;
        else if (StrEqualNoCase(unit, "sec"))
            seconds += number;
    }
    return ToCount(seconds);
}

// The parts of the Video Info value are told apart by their units: a size
// "W x H" and a frame rate "R fps", either of which may be missing.
void ReadVideoInfo(MediaFormat& record, VideoStreamInfo& video, const char* value,
                   const ReportParseState& state)
{
    std::vector<std::string> parts;
    SplitString(value, ", ", parts);
    for (const std::string& part : parts) {
        size_t by = part.find(" x ");
        if (by != std::string::npos) {
            video.width = ReadCount(part.c_str());
            video.height = ReadCount(part.c_str() + by + 3);
        } else if (Contains(part, "fps")) {
            double rate = ReadDecimal(part.c_str());
            record.framesPerSecond = float(rate);
            // The rate in thousandths (the tool prints three decimals):
            // whole frames of whole seconds by one division of exact values,
            // so that 100 s at 29.970 are 2997 frames; the float rate lies
            // below 29.97 and its product lost one.
            if (state.seconds != 0)
                record.frameCount = ToCount(std::floor(rate * 1000 + 0.5) * state.seconds / 1000);
        }
    }
}

// The parts of the Audio Info value by their units: "N Hz", "K kbps" and
// "mono" or "stereo". The video stream gets what is left of the data rate.
void ReadAudioInfo(MediaFormat& record, AudioStreamInfo& audio, const char* value,
                   const ReportParseState& state)
{
    std::vector<std::string> parts;
    SplitString(value, ", ", parts);
    for (const std::string& part : parts) {
        if (Contains(part, "kbps")) {
            double kbps = ReadDecimal(part.c_str());
            audio.bitRate = ToCount(kbps * 1024);
            VideoStreamInfo* video = VideoOf(record);
            if (video != NULL && state.dataRate != 0)
                video->bitRate = ToCount((double(state.dataRate) - kbps) * 1024);
        } else if (Contains(part, "Hz")) {
            audio.sampleRate = ReadCount(part.c_str());
        } else if (part == "mono") {
            audio.channels = 1;
        } else if (part == "stereo") {
            audio.channels = 2;
        }
    }
}

} // namespace

CToolRunner::CToolRunner() : timeoutMs(120000)
{
#ifdef _WIN32
    // The module name of the process, cut at its last backslash; the
    // buffer grows until the whole name fits.
    std::vector<char> name(512);
    for (;;) {
        DWORD length = GetModuleFileNameA(NULL, name.data(), DWORD(name.size()));
        if (length == 0)
            return;
        if (length < name.size())
            break;
        name.resize(name.size() * 2);
    }
    std::string module = name.data();
    size_t slash = module.rfind('\\');
    if (slash != std::string::npos)
        programFolder = module.substr(0, slash);
#endif
}

void CToolRunner::ParseReportLine(MediaFormat& record, const char* line, ReportParseState& state)
{
    size_t length = strlen(line);
    if (length <= kLabelLength)
        return;
    AppendReportLine(record, line, length, state);
    std::string label(line, kLabelLength);
    const char* value = line + kLabelLength;

    if (label == " File Format:  ") {
        ReadKind(record, value);
    } else if (label == "     Content:  ") {
        // One stream of each kind, made at its first mention.
        if (strstr(value, "Video") != NULL && record.videoCount == 0 && AddVideoStream(record))
            record.selectedVideo = 0;
        if (strstr(value, "Audio") != NULL && record.audioCount == 0 && AddAudioStream(record))
            record.selectedAudio = 0;
    } else if (label == "    Duration:  ") {
        state.seconds = ReadDuration(value);
    } else if (label == "   Data Rate:  ") {
        state.dataRate = float(ReadDecimal(value));
    } else if (label == "  Video Info:  ") {
        if (VideoStreamInfo* video = VideoOf(record))
            ReadVideoInfo(record, *video, value, state);
    } else if (label == "  Audio Info:  ") {
        if (AudioStreamInfo* audio = AudioOf(record))
            ReadAudioInfo(record, *audio, value, state);
    } else if (label == "Video Format:  ") {
        if (VideoStreamInfo* video = VideoOf(record)) {
            StrAssign(&video->compression, value);
            if (strstr(value, "DivX") != NULL && StrEqualNoCase(record.kindName, "Avi"))
                StrAssign(&record.kindName, "DivX");
        }
    } else if (label == "Audio Format:  ") {
        if (AudioStreamInfo* audio = AudioOf(record))
            StrAssign(&audio->compression, value);
    }
}

bool NextReportLine(const char* output, size_t length, size_t& position, std::string& line)
{
    if (position >= length)
        return false;
    size_t start = position;
    while (position < length && output[position] != '\r' && output[position] != '\n')
        position++;
    line.assign(output + start, position - start);
    if (position < length) {
        char first = output[position++];
        char pair = first == '\r' ? '\n' : '\r';
        if (position < length && output[position] == pair)
            position++;
    }
    return true;
}

int SplitString(const char* text, const char* separator, std::vector<std::string>& parts)
{
    parts.clear();
    std::string whole = text != NULL ? text : "";
    size_t step = separator != NULL ? strlen(separator) : 0;
    size_t from = 0;
    if (step != 0) {
        size_t at;
        while ((at = whole.find(separator, from)) != std::string::npos) {
            parts.push_back(whole.substr(from, at - from));
            from = at + step;
        }
    }
    parts.push_back(whole.substr(from));
    return int(parts.size());
}
