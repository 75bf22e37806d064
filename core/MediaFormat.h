// The MediaFormat record that format plug-ins hand to the main program, its
// two stream records, and the routines that initialise, free, copy and compare
// them. The same routines are linked into the main program and into every
// plug-in so that each module allocates and frees on its own heap.
//
// The three records are 32-bit binary layouts shared byte for byte between
// modules; the Windows build checks every offset below.
#pragma once

#include <cstddef>
#include <cstdint>

struct VideoStreamInfo {
    int32_t width;
    int32_t height;
    int16_t colourDepth;      // bits per pixel; two bytes of padding follow
    int32_t lengthInFrames;   // 0 when the producer does not know it
    char* compression;        // NULL when unknown
    int32_t bitRate;          // in the producer's unit, stored unchanged
};

struct AudioStreamInfo {
    int32_t sampleRate;
    int16_t bitsPerSample;
    int16_t channels;
    char* language;           // NULL when unknown
    int32_t lengthInFrames;
    char* compression;        // NULL when unknown
    int32_t bitRate;
};

struct MediaFormat {
    int32_t frameCount;             // 0 when unknown
    float framesPerSecond;          // 0 when unknown
    char* kindName;                 // container kind, NULL when unknown
    char* reportText;               // readable report, CR LF lines; NULL when none
    int32_t selectedVideo;          // index into videoStreams, -1 for none
    int32_t selectedAudio;          // index into audioStreams, -1 for none
    VideoStreamInfo** videoStreams; // slots may be NULL
    uint32_t videoCount;
    AudioStreamInfo** audioStreams;
    uint32_t audioCount;
    char** subtitleTexts;
    uint32_t subtitleCount;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(VideoStreamInfo) == 24, "VideoStreamInfo layout");
static_assert(offsetof(VideoStreamInfo, width) == 0, "VideoStreamInfo layout");
static_assert(offsetof(VideoStreamInfo, height) == 4, "VideoStreamInfo layout");
static_assert(offsetof(VideoStreamInfo, colourDepth) == 8, "VideoStreamInfo layout");
static_assert(offsetof(VideoStreamInfo, lengthInFrames) == 12, "VideoStreamInfo layout");
static_assert(offsetof(VideoStreamInfo, compression) == 16, "VideoStreamInfo layout");
static_assert(offsetof(VideoStreamInfo, bitRate) == 20, "VideoStreamInfo layout");

static_assert(sizeof(AudioStreamInfo) == 24, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, sampleRate) == 0, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, bitsPerSample) == 4, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, channels) == 6, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, language) == 8, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, lengthInFrames) == 12, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, compression) == 16, "AudioStreamInfo layout");
static_assert(offsetof(AudioStreamInfo, bitRate) == 20, "AudioStreamInfo layout");

static_assert(sizeof(MediaFormat) == 48, "MediaFormat layout");
static_assert(offsetof(MediaFormat, frameCount) == 0, "MediaFormat layout");
static_assert(offsetof(MediaFormat, framesPerSecond) == 4, "MediaFormat layout");
static_assert(offsetof(MediaFormat, kindName) == 8, "MediaFormat layout");
static_assert(offsetof(MediaFormat, reportText) == 12, "MediaFormat layout");
static_assert(offsetof(MediaFormat, selectedVideo) == 16, "MediaFormat layout");
static_assert(offsetof(MediaFormat, selectedAudio) == 20, "MediaFormat layout");
static_assert(offsetof(MediaFormat, videoStreams) == 24, "MediaFormat layout");
static_assert(offsetof(MediaFormat, videoCount) == 28, "MediaFormat layout");
static_assert(offsetof(MediaFormat, audioStreams) == 32, "MediaFormat layout");
static_assert(offsetof(MediaFormat, audioCount) == 36, "MediaFormat layout");
static_assert(offsetof(MediaFormat, subtitleTexts) == 40, "MediaFormat layout");
static_assert(offsetof(MediaFormat, subtitleCount) == 44, "MediaFormat layout");
#endif

// All fields 0 or NULL; the selected indexes -1.
void InitMediaFormat(MediaFormat& format);
// All fields 0 or NULL.
void InitVideoStreamInfo(VideoStreamInfo& stream);
void InitAudioStreamInfo(AudioStreamInfo& stream);

// Releases the texts, stream records and arrays (NULL slots are skipped) and
// leaves the record in its initial state. The record itself is not freed.
void FreeMediaFormat(MediaFormat& format);

// Deep copy. NULL stream slots are dropped, so the copy's arrays hold only
// real streams; a selected index that no longer fits becomes 0 (or -1 when
// nothing was copied).
void CopyMediaFormat(MediaFormat& dest, const MediaFormat& src);

// True when the two differ; NULL equals NULL, texts compare NULL as empty.
bool MediaFormatDiffers(const MediaFormat* a, const MediaFormat* b);
bool VideoStreamDiffers(const VideoStreamInfo* a, const VideoStreamInfo* b);
bool AudioStreamDiffers(const AudioStreamInfo* a, const AudioStreamInfo* b);
