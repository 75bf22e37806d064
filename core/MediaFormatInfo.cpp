// Media information of a movie-file record: plug-in answers, the version
// 11/12 encoding, and the three older records that versions before 11 store.
#include "core/MediaFormatInfo.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/PluginManager.h"
#include "core/StrUtil.h"
#include "core/StreamIo.h"

const char* GetMediaTypeName(DWORD code)
{
    bool dvdRip = (code & 0xF00) == 0x200;
    bool videoCd = (code & 0xF00) == 0x100;
    switch (code & 0xF) {
    case 2:
        if (code & 0x10)
            return dvdRip ? "DVDrip (DivX)" : "DivX";
        return dvdRip ? "DVDrip (Avi)" : "Avi";
    case 3:
        return videoCd ? "VCD" : "MPEG-1";
    case 4:
        return videoCd ? "SVCD" : "MPEG-2";
    case 5:
        return "DVD";
    default:
        return "[unknown]";
    }
}

DWORD MapLegacyMediaCode(BYTE legacyCode)
{
    switch (legacyCode) {
    case 1: return 260;
    case 2: return 18;
    case 3: return 2;
    case 4: return 259;
    case 5: return 3;
    case 6: return 4;
    default: return 1;
    }
}

// ---------------------------------------------------------------------------
// Small helpers for the readers.

namespace {


// A count read from the stream is plausible when every element, at its
// smallest encoding, still fits into what is left of the stream.
bool CountFits(FILE* f, DWORD count, unsigned minBytesEach)
{
    if (count == 0)
        return true;
    long long left = StreamBytesLeft(f);
    if (left < 0)
        return true;
    return (long long)count * minBytesEach <= left;
}

bool ReadI32(FILE* f, int32_t* value)
{
    DWORD v;
    if (!ReadU32(f, &v))
        return false;
    *value = int32_t(v);
    return true;
}

bool ReadI16(FILE* f, int16_t* value)
{
    WORD v;
    if (!ReadU16(f, &v))
        return false;
    *value = int16_t(v);
    return true;
}

// Reads a text that counts as absent when empty.
bool ReadOptionalString(FILE* f, char** text)
{
    if (!ReadString(f, text))
        return false;
    if (*text != NULL && **text == 0) {
        free(*text);
        *text = NULL;
    }
    return true;
}

// A double block or a u32 that is not used.
bool SkipDouble(FILE* f)
{
    double unused;
    return ReadDouble(f, &unused);
}

bool SkipU32(FILE* f)
{
    DWORD unused;
    return ReadU32(f, &unused);
}

bool SkipString(FILE* f)
{
    char* unused = NULL;
    bool ok = ReadString(f, &unused);
    free(unused);
    return ok;
}

// Frames of a rate and a length; 0 when either is not a usable number, and
// held inside the range of the record's field.
int32_t FramesOf(double framesPerSecond, double seconds)
{
    double frames = framesPerSecond * seconds;
    if (!std::isfinite(frames) || frames <= 0)
        return 0;
    if (frames >= 2147483647.0)
        return 2147483647;
    return int32_t(frames);
}

// Seconds of a frame count at a rate; 0 when the rate is not usable.
double SecondsOf(double frames, double framesPerSecond)
{
    if (!(framesPerSecond > 0) || !std::isfinite(framesPerSecond))
        return 0;
    return frames / framesPerSecond;
}

// A stored double as the record's float, held inside the float's range.
float ToFloat(double value)
{
    if (value > 3.4e38)
        return 3.4e38f;
    if (value < -3.4e38)
        return -3.4e38f;
    return float(value);
}

long ClampLong(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647L;
    if (value <= -2147483648.0)
        return -2147483647L - 1;
    return long(value);
}

// The decimal number at the start of a text such as "16bit"; 0 when there
// is none, held inside the range of a 16-bit field.
int16_t LeadingNumber(const char* text)
{
    if (text == NULL)
        return 0;
    long value = strtol(text, NULL, 10);
    if (value > 32767)
        return 32767;
    if (value < -32768)
        return -32768;
    return int16_t(value);
}

const char* TextOrUnknown(const char* text)
{
    return (text != NULL && *text != 0) ? text : "[unknown]";
}

// Adds a fresh, initialised stream at the end of a stream array.
template <typename T>
T* AppendStream(T**& slots, uint32_t& count, void (*init)(T&))
{
    slots = (T**)ReallocOrThrow(slots, (count + 1) * sizeof(T*));
    T* stream = (T*)MallocOrThrow(sizeof(T));
    init(*stream);
    slots[count++] = stream;
    return stream;
}

VideoStreamInfo* AppendVideoStream(MediaFormat& format)
{
    return AppendStream(format.videoStreams, format.videoCount, InitVideoStreamInfo);
}

AudioStreamInfo* AppendAudioStream(MediaFormat& format)
{
    return AppendStream(format.audioStreams, format.audioCount, InitAudioStreamInfo);
}

// Removes NULL slots from a stream array; an array left empty is freed and
// its selection cleared, a selection past the end becomes the first stream.
template <typename T>
void TidyStreams(T**& slots, uint32_t& count, int32_t& selected)
{
    uint32_t kept = 0;
    if (slots != NULL) {
        for (uint32_t i = 0; i < count; i++) {
            if (slots[i] != NULL)
                slots[kept++] = slots[i];
        }
    }
    if (kept == 0) {
        free(slots);
        slots = NULL;
        count = 0;
        selected = -1;
        return;
    }
    count = kept;
    if (selected >= 0 && uint32_t(selected) >= count)
        selected = 0;
}

}  // namespace

// ---------------------------------------------------------------------------

CMediaFormatInfo::CMediaFormatInfo() : format(NULL)
{
}

CMediaFormatInfo::~CMediaFormatInfo()
{
    Clear();
}

void CMediaFormatInfo::Clear()
{
    if (format != NULL) {
        FreeMediaFormat(*format);
        free(format);
        format = NULL;
    }
}

// Discards the owned record and starts a fresh, initialised one.
static MediaFormat* NewFormat()
{
    MediaFormat* format = (MediaFormat*)MallocOrThrow(sizeof(MediaFormat));
    InitMediaFormat(*format);
    return format;
}

bool CMediaFormatInfo::ReadFromFile(const char* path)
{
    Clear();
    format = NewFormat();
    if (format == NULL)
        return false;
    if (!thePluginManager.ReadFileInfo(*format, path)) {
        Clear();
        return false;
    }
    Tidy();
    return true;
}

void CMediaFormatInfo::Tidy()
{
    if (format == NULL)
        return;
    TidyStreams(format->videoStreams, format->videoCount, format->selectedVideo);
    TidyStreams(format->audioStreams, format->audioCount, format->selectedAudio);
}

VideoStreamInfo* CMediaFormatInfo::GetVideoStream() const
{
    if (format == NULL || format->videoStreams == NULL || format->selectedVideo < 0 ||
        uint32_t(format->selectedVideo) >= format->videoCount)
        return NULL;
    return format->videoStreams[format->selectedVideo];
}

AudioStreamInfo* CMediaFormatInfo::GetAudioStream() const
{
    if (format == NULL || format->audioStreams == NULL || format->selectedAudio < 0 ||
        uint32_t(format->selectedAudio) >= format->audioCount)
        return NULL;
    return format->audioStreams[format->selectedAudio];
}

bool CMediaFormatInfo::IsDvd() const
{
    if (format == NULL || format->kindName == NULL)
        return false;
    const char* name = format->kindName;
    if (strstr(name, "DVD") == NULL && strstr(name, "dvd") == NULL)
        return false;
    return strstr(name, "rip") == NULL && strstr(name, "Rip") == NULL &&
           strstr(name, "RIP") == NULL;
}

bool CMediaFormatInfo::IsVcd() const
{
    if (format == NULL || format->kindName == NULL)
        return false;
    return strstr(format->kindName, "VCD") != NULL || strstr(format->kindName, "vcd") != NULL;
}

bool CMediaFormatInfo::IsSameAs(const CMediaFormatInfo& other) const
{
    return !MediaFormatDiffers(format, other.format);
}

void CMediaFormatInfo::CopyFrom(const CMediaFormatInfo& other)
{
    if (&other != this)
        SetFormat(other.format);
}

void CMediaFormatInfo::SetFormat(const MediaFormat* source)
{
    if (source == format)
        return;
    Clear();
    if (source == NULL)
        return;
    format = NewFormat();
    if (format != NULL)
        CopyMediaFormat(*format, *source);
}

// ---------------------------------------------------------------------------
// Database encoding.

bool CMediaFormatInfo::Read(FILE* stream, int version, DWORD code, bool isAvi, bool isMpeg,
                            bool isIfo)
{
    Clear();
    format = NewFormat();
    if (format == NULL)
        return false;
    if (version >= 11)
        return ReadCurrent(stream);
    if (isAvi)
        return ReadLegacyAvi(stream, code);
    if (isMpeg)
        return ReadLegacyMpeg(stream);
    if (isIfo)
        return ReadLegacyIfo(stream, version);
    return true;
}

// Smallest encodings of one element, used to check counts against the bytes
// left: every str takes at least its 0 byte.
enum {
    kMinVideo = 4 + 4 + 2 + 4 + 1 + 4,
    kMinAudio = 4 + 2 + 2 + 4 + 1 + 1 + 4,
    kMinSubtitle = 1,
    kMinAviStream = 1 + 3 * 4,
    kMinIfoAudio = 1 + 1 + 4 + 4 + 1 + 1 + 4,
    kMinIfoSubtitle = 2,
};

bool CMediaFormatInfo::ReadCurrent(FILE* f)
{
    MediaFormat& m = *format;
    DWORD bits, count;
    if (!ReadOptionalString(f, &m.kindName) || !ReadOptionalString(f, &m.reportText) ||
        !ReadI32(f, &m.frameCount) || !ReadBlock32(f, &bits))
        return false;
    memcpy(&m.framesPerSecond, &bits, sizeof(bits));
    if (!ReadI32(f, &m.selectedVideo) || !ReadI32(f, &m.selectedAudio))
        return false;

    if (!ReadU32(f, &count) || !CountFits(f, count, kMinVideo))
        return false;
    for (DWORD i = 0; i < count; i++) {
        VideoStreamInfo* s = AppendVideoStream(m);
        if (s == NULL || !ReadI32(f, &s->width) || !ReadI32(f, &s->height) ||
            !ReadI16(f, &s->colourDepth) || !ReadI32(f, &s->lengthInFrames) ||
            !ReadString(f, &s->compression) || !ReadI32(f, &s->bitRate))
            return false;
    }

    if (!ReadU32(f, &count) || !CountFits(f, count, kMinAudio))
        return false;
    for (DWORD i = 0; i < count; i++) {
        AudioStreamInfo* s = AppendAudioStream(m);
        if (s == NULL || !ReadI32(f, &s->sampleRate) || !ReadI16(f, &s->channels) ||
            !ReadI16(f, &s->bitsPerSample) || !ReadI32(f, &s->lengthInFrames) ||
            !ReadString(f, &s->compression) || !ReadString(f, &s->language) ||
            !ReadI32(f, &s->bitRate))
            return false;
    }

    if (!ReadU32(f, &count) || !CountFits(f, count, kMinSubtitle))
        return false;
    if (count > 0) {
        m.subtitleTexts = (char**)MallocOrThrow(count * sizeof(char*));
        memset(m.subtitleTexts, 0, count * sizeof(char*));
        m.subtitleCount = count;
        for (DWORD i = 0; i < count; i++) {
            if (!ReadString(f, &m.subtitleTexts[i]))
                return false;
        }
    }
    return true;
}

bool CMediaFormatInfo::Write(FILE* f) const
{
    MediaFormat empty;
    InitMediaFormat(empty);
    const MediaFormat& m = format != NULL ? *format : empty;

    DWORD bits;
    memcpy(&bits, &m.framesPerSecond, sizeof(bits));
    if (!WriteString(f, m.kindName) || !WriteString(f, m.reportText) ||
        !WriteU32(f, DWORD(m.frameCount)) || !WriteBlock32(f, bits) ||
        !WriteU32(f, DWORD(m.selectedVideo)) || !WriteU32(f, DWORD(m.selectedAudio)))
        return false;

    // Only real streams are written, so the count always matches what follows.
    uint32_t videoCount = m.videoStreams != NULL ? m.videoCount : 0;
    uint32_t written = 0;
    for (uint32_t i = 0; i < videoCount; i++)
        written += m.videoStreams[i] != NULL;
    if (!WriteU32(f, written))
        return false;
    for (uint32_t i = 0; i < videoCount; i++) {
        const VideoStreamInfo* s = m.videoStreams[i];
        if (s == NULL)
            continue;
        if (!WriteU32(f, DWORD(s->width)) || !WriteU32(f, DWORD(s->height)) ||
            !WriteU16(f, WORD(s->colourDepth)) || !WriteU32(f, DWORD(s->lengthInFrames)) ||
            !WriteString(f, s->compression) || !WriteU32(f, DWORD(s->bitRate)))
            return false;
    }

    uint32_t audioCount = m.audioStreams != NULL ? m.audioCount : 0;
    written = 0;
    for (uint32_t i = 0; i < audioCount; i++)
        written += m.audioStreams[i] != NULL;
    if (!WriteU32(f, written))
        return false;
    for (uint32_t i = 0; i < audioCount; i++) {
        const AudioStreamInfo* s = m.audioStreams[i];
        if (s == NULL)
            continue;
        if (!WriteU32(f, DWORD(s->sampleRate)) || !WriteU16(f, WORD(s->channels)) ||
            !WriteU16(f, WORD(s->bitsPerSample)) || !WriteU32(f, DWORD(s->lengthInFrames)) ||
            !WriteString(f, s->compression) || !WriteString(f, s->language) ||
            !WriteU32(f, DWORD(s->bitRate)))
            return false;
    }

    uint32_t subtitleCount = m.subtitleTexts != NULL ? m.subtitleCount : 0;
    if (!WriteU32(f, subtitleCount))
        return false;
    for (uint32_t i = 0; i < subtitleCount; i++) {
        if (!WriteString(f, m.subtitleTexts[i]))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Records of versions before 11.

bool CMediaFormatInfo::ReadLegacyAvi(FILE* f, DWORD code)
{
    MediaFormat& m = *format;
    DWORD frames, headerWidth, headerHeight, count;
    double framesPerSecond;
    if (!ReadU32(f, &frames) || !ReadU32(f, &headerWidth) || !ReadU32(f, &headerHeight) ||
        !ReadDouble(f, &framesPerSecond) || !SkipDouble(f) || !ReadU32(f, &count))
        return false;
    m.frameCount = int32_t(frames);
    m.framesPerSecond = ToFloat(framesPerSecond);
    if (!CountFits(f, count, kMinAviStream))
        return false;

    DWORD fourCc = 0;
    for (DWORD i = 0; i < count; i++) {
        BYTE kind;
        if (!ReadU8(f, &kind))
            return false;
        if (kind == 1) {
            VideoStreamInfo* s = AppendVideoStream(m);
            if (s == NULL)
                return false;
            m.selectedVideo = 0;
            DWORD streamCode;
            if (!ReadString(f, &s->compression) || !SkipU32(f) ||
                !ReadI32(f, &s->lengthInFrames) || !SkipU32(f) || !SkipDouble(f) ||
                !SkipDouble(f) || !ReadI32(f, &s->width) || !ReadI32(f, &s->height) ||
                !ReadU32(f, &streamCode) || !ReadI16(f, &s->colourDepth))
                return false;
            if (fourCc == 0)
                fourCc = streamCode;
            if (s->width == 0 || s->height == 0) {
                s->width = int32_t(headerWidth);
                s->height = int32_t(headerHeight);
            }
        } else if (kind == 2) {
            AudioStreamInfo* s = AppendAudioStream(m);
            if (s == NULL)
                return false;
            if (!ReadString(f, &s->compression) || !SkipU32(f) ||
                !ReadI32(f, &s->lengthInFrames) || !SkipU32(f) || !ReadI16(f, &s->channels) ||
                !ReadI16(f, &s->bitsPerSample) || !ReadI32(f, &s->sampleRate) ||
                !ReadI32(f, &s->bitRate))
                return false;
        } else {
            if (!SkipU32(f) || !SkipU32(f) || !SkipU32(f))
                return false;
        }
    }

    const char* name = (code & 0x10) ? "DivX" : "Avi";
    if (headerWidth >= 400) {
        StrAssign(&m.kindName, "DVDrip (");
        StrAppend(&m.kindName, name);
        StrAppend(&m.kindName, ")");
    } else {
        StrSet(&m.kindName, name);
    }

    // The report describes the selected video stream, or the header alone
    // when the record has none.
    const VideoStreamInfo* video = GetVideoStream();
    long width = video != NULL ? long(video->width) : long(int32_t(headerWidth));
    long height = video != NULL ? long(video->height) : long(int32_t(headerHeight));
    long depth = video != NULL ? long(video->colourDepth) : 0;

    char* text = NULL;
    StrAssign(&text, "[AVI file]\r\nCompression: ");
    if (video != NULL && video->compression != NULL && video->compression[0] != 0) {
        StrAppend(&text, video->compression);
    } else {
        char chars[5];
        for (int i = 0; i < 4; i++)
            chars[i] = char((fourCc >> (8 * i)) & 0xFF);
        chars[4] = 0;
        StrAppend(&text, chars);
    }
    StrAppend(&text, "\r\n");
    StrAppendFormat(&text, "Frames: %ld\r\n", long(m.frameCount));
    StrAppendFormat(&text, "Frames per sec: %.3f\r\n", double(m.framesPerSecond));
    StrAppendFormat(&text, "Length in sec: %.2f\r\n",
                    SecondsOf(double(m.frameCount), double(m.framesPerSecond)));
    StrAppendFormat(&text, "Resolution: %ldx%ld\r\n", width, height);
    StrAppendFormat(&text, "Color depth: %ld bits\r\n", depth);
    for (uint32_t i = 0; i < m.audioCount; i++) {
        const AudioStreamInfo* s = m.audioStreams[i];
        StrAppend(&text, "\r\n[Audio stream]\r\nCompression: ");
        StrAppend(&text, TextOrUnknown(s->compression));
        StrAppend(&text, "\r\n");
        StrAppendFormat(&text, "Samples Rate: %ld Hz\r\n", long(s->sampleRate));
        StrAppendFormat(&text, "Bit Depth: %ld bits\r\n", long(s->bitsPerSample));
        StrAppendFormat(&text, "Channels: %d\r\n", int(s->channels));
    }
    m.reportText = text;
    return true;
}

bool CMediaFormatInfo::ReadLegacyMpeg(FILE* f)
{
    MediaFormat& m = *format;
    VideoStreamInfo* s = AppendVideoStream(m);
    if (s == NULL)
        return false;
    m.selectedVideo = 0;

    BYTE videoCd, mpeg2;
    double framesPerSecond, seconds;
    if (!ReadI32(f, &s->bitRate) || !ReadI32(f, &s->width) || !ReadI32(f, &s->height) ||
        !ReadU8(f, &videoCd) || !ReadU8(f, &mpeg2) || !ReadDouble(f, &framesPerSecond) ||
        !ReadDouble(f, &seconds))
        return false;
    m.framesPerSecond = ToFloat(framesPerSecond);
    m.frameCount = FramesOf(framesPerSecond, seconds);

    bool isVideoCd = videoCd == 1;
    bool isMpeg2 = mpeg2 == 1;
    const char* kind = isVideoCd ? (isMpeg2 ? "SVCD" : "VCD") : (isMpeg2 ? "MPEG-2" : "MPEG-1");
    StrSet(&m.kindName, kind);
    StrSet(&s->compression, isMpeg2 ? "MPEG-2" : "MPEG-1");

    char* text = NULL;
    if (!isMpeg2) {
        StrAppendFormat(&text,
                        "[%s file]\r\nFrames per sec: %.3f\r\nLength in sec: %ld\r\n"
                        "Resolution: %ldx%ld\r\nBitrate (?): %ldKB/s\r\n",
                        isVideoCd ? "VCD" : "MPEG-1", double(m.framesPerSecond),
                        ClampLong(SecondsOf(double(m.frameCount), double(m.framesPerSecond))),
                        long(s->width), long(s->height), long(s->bitRate));
    } else {
        StrAppendFormat(&text, "[%s file]\r\nFrames per sec: %.3f\r\nResolution: %ldx%ld\r\n",
                        isVideoCd ? "SVCD" : "MPEG-2", double(m.framesPerSecond),
                        long(s->width), long(s->height));
    }
    m.reportText = text;
    return true;
}

namespace {

// One audio stream of the older DVD record.
struct IfoAudio {
    char* quantisation = NULL;
    char* language = NULL;
    char* compression = NULL;
    DWORD channels = 0;
    DWORD samplingRate = 0;
    ~IfoAudio()
    {
        free(quantisation);
        free(language);
        free(compression);
    }
};

// The texts of the older DVD record that only the report keeps.
struct IfoTexts {
    char* region = NULL;
    char* aspectRatio = NULL;
    char* displayMode = NULL;
    char* tvSystem = NULL;
    ~IfoTexts()
    {
        free(region);
        free(aspectRatio);
        free(displayMode);
        free(tvSystem);
    }
};

}  // namespace

bool CMediaFormatInfo::ReadLegacyIfo(FILE* f, int version)
{
    MediaFormat& m = *format;
    StrSet(&m.kindName, "DVD");
    VideoStreamInfo* video = AppendVideoStream(m);
    if (video == NULL)
        return false;
    m.selectedVideo = 0;

    IfoTexts t;
    DWORD chapters, height, seconds, width;
    double framesPerSecond;
    if (version >= 9 && !ReadString(f, &t.region))
        return false;
    if (!ReadString(f, &t.aspectRatio) || !ReadU32(f, &chapters) ||
        !ReadString(f, &t.displayMode))
        return false;
    if (version >= 8) {
        if (!ReadDouble(f, &framesPerSecond))
            return false;
    } else {
        DWORD rate;
        if (!ReadU32(f, &rate))
            return false;
        framesPerSecond = rate;
    }
    if (!ReadU32(f, &height) || !ReadU32(f, &seconds) || (version < 9 && !SkipU32(f)))
        return false;
    if (!SkipString(f) || !ReadString(f, &t.tvSystem) || !ReadString(f, &video->compression) ||
        (version < 9 && !SkipString(f)) || !ReadU32(f, &width))
        return false;
    video->width = int32_t(width);
    video->height = int32_t(height);
    m.framesPerSecond = ToFloat(framesPerSecond);
    m.frameCount = FramesOf(framesPerSecond, seconds);

    char* text = NULL;
    StrAppendFormat(&text,
                    "[IFO file]\r\n\r\nRegion: %s\r\n\r\n[Video stream]\r\nCompression: %s\r\n"
                    "TV system: %s\r\nAspect ratio: %s\r\nDisplay mode: %s\r\n"
                    "Resolution: %ldx%ld\r\nFrames per sec: %4.2f\r\nLength in sec: %ld\r\n"
                    "Chapters: %ld\r\n\r\n",
                    TextOrUnknown(t.region), TextOrUnknown(video->compression),
                    TextOrUnknown(t.tvSystem), TextOrUnknown(t.aspectRatio),
                    TextOrUnknown(t.displayMode), long(int32_t(width)), long(int32_t(height)),
                    framesPerSecond, long(int32_t(seconds)), long(int32_t(chapters)));
    m.reportText = text;

    DWORD count;
    if (!ReadU32(f, &count) || !CountFits(f, count, kMinIfoAudio))
        return false;
    StrAppendFormat(&m.reportText, "[Audio stream(s)]\r\nNumber of audio streams: %ld\r\n\r\n",
                    long(int32_t(count)));
    for (DWORD i = 0; i < count; i++) {
        IfoAudio a;
        if (!ReadString(f, &a.quantisation) || !SkipString(f) || !ReadU32(f, &a.channels) ||
            !SkipU32(f) || !ReadString(f, &a.language) || !ReadString(f, &a.compression) ||
            !ReadU32(f, &a.samplingRate))
            return false;
        AudioStreamInfo* s = AppendAudioStream(m);
        if (s == NULL)
            return false;
        StrSet(&s->language, a.language);
        StrSet(&s->compression, a.compression);
        s->bitsPerSample = LeadingNumber(a.quantisation);
        s->sampleRate = int32_t(a.samplingRate);
        s->channels = int16_t(a.channels);
        StrAppendFormat(&m.reportText,
                        "Language: %s\r\nCompression: %s\r\nSampling: %ldkHz\r\nQuant: %s\r\n",
                        TextOrUnknown(a.language), TextOrUnknown(a.compression),
                        long(int32_t(a.samplingRate)), TextOrUnknown(a.quantisation));
    }

    if (!ReadU32(f, &count) || !CountFits(f, count, kMinIfoSubtitle))
        return false;
    StrAppendFormat(&m.reportText, "[Subtitel(s)]\r\nNumber of subtitels: %ld\r\n\r\n",
                    long(int32_t(count)));
    if (count > 0) {
        m.subtitleTexts = (char**)MallocOrThrow(count * sizeof(char*));
        memset(m.subtitleTexts, 0, count * sizeof(char*));
        m.subtitleCount = count;
    }
    for (DWORD i = 0; i < count; i++) {
        char* detail = NULL;
        if (!ReadString(f, &m.subtitleTexts[i]) || !ReadString(f, &detail)) {
            free(detail);
            return false;
        }
        StrAppendFormat(&m.reportText, "Caption: %s [%s]\r\n",
                        m.subtitleTexts[i] != NULL ? m.subtitleTexts[i] : "",
                        detail != NULL ? detail : "");
        free(detail);
    }
    return true;
}
