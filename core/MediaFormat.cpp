// Record routines shared by the main program and every plug-in. Texts come
// from the StrSet family, arrays and stream records from malloc, so one
// module's FreeMediaFormat releases exactly what that module allocated.
#include "core/MediaFormat.h"

#include <cstdlib>
#include <cstring>

#include "core/StrUtil.h"

void InitMediaFormat(MediaFormat& format)
{
    memset(&format, 0, sizeof(format));
    format.selectedVideo = -1;
    format.selectedAudio = -1;
}

void InitVideoStreamInfo(VideoStreamInfo& stream)
{
    memset(&stream, 0, sizeof(stream));
}

void InitAudioStreamInfo(AudioStreamInfo& stream)
{
    memset(&stream, 0, sizeof(stream));
}

void FreeMediaFormat(MediaFormat& format)
{
    if (format.audioStreams != NULL) {
        for (uint32_t i = 0; i < format.audioCount; i++) {
            AudioStreamInfo* stream = format.audioStreams[i];
            if (stream == NULL)
                continue;
            free(stream->compression);
            free(stream->language);
            free(stream);
        }
        free(format.audioStreams);
    }
    format.audioStreams = NULL;
    format.audioCount = 0;

    if (format.videoStreams != NULL) {
        for (uint32_t i = 0; i < format.videoCount; i++) {
            VideoStreamInfo* stream = format.videoStreams[i];
            if (stream == NULL)
                continue;
            free(stream->compression);
            free(stream);
        }
        free(format.videoStreams);
    }
    format.videoStreams = NULL;
    format.videoCount = 0;

    if (format.subtitleTexts != NULL) {
        for (uint32_t i = 0; i < format.subtitleCount; i++)
            free(format.subtitleTexts[i]);
        free(format.subtitleTexts);
    }
    format.subtitleTexts = NULL;
    format.subtitleCount = 0;

    free(format.kindName);
    format.kindName = NULL;
    free(format.reportText);
    format.reportText = NULL;
    format.frameCount = 0;
    format.framesPerSecond = 0;
    format.selectedVideo = -1;
    format.selectedAudio = -1;
}

// Number of non-NULL slots of a stream array.
template <typename T>
static uint32_t CountStreams(T* const* slots, uint32_t count)
{
    uint32_t n = 0;
    if (slots != NULL) {
        for (uint32_t i = 0; i < count; i++) {
            if (slots[i] != NULL)
                n++;
        }
    }
    return n;
}

// The selected index of a copy: kept when it is -1 or fits the copied
// streams, otherwise the first stream, or none when nothing was copied.
static int32_t CopiedSelection(int32_t selected, uint32_t copied)
{
    if (selected == -1 || (selected >= 0 && uint32_t(selected) < copied))
        return selected;
    return copied > 0 ? 0 : -1;
}

void CopyMediaFormat(MediaFormat& dest, const MediaFormat& src)
{
    if (&dest == &src)
        return;
    FreeMediaFormat(dest);

    // The arrays take exactly as many slots as there are streams to copy.
    if (src.audioStreams != NULL) {
        uint32_t n = CountStreams(src.audioStreams, src.audioCount);
        if (n > 0)
            dest.audioStreams = (AudioStreamInfo**)MallocOrThrow(n * sizeof(AudioStreamInfo*));
        if (dest.audioStreams != NULL) {
            for (uint32_t i = 0; i < src.audioCount; i++) {
                const AudioStreamInfo* from = src.audioStreams[i];
                if (from == NULL)
                    continue;
                // Owned by dest before its texts are copied: a copy that
                // runs out of memory leaves dest whole for FreeMediaFormat.
                AudioStreamInfo* to = (AudioStreamInfo*)MallocOrThrow(sizeof(AudioStreamInfo));
                InitAudioStreamInfo(*to);
                dest.audioStreams[dest.audioCount++] = to;
                StrSet(&to->language, from->language);
                StrSet(&to->compression, from->compression);
                to->bitRate = from->bitRate;
                to->lengthInFrames = from->lengthInFrames;
                to->sampleRate = from->sampleRate;
                to->channels = from->channels;
                to->bitsPerSample = from->bitsPerSample;
            }
        }
    }
    dest.selectedAudio = CopiedSelection(src.selectedAudio, dest.audioCount);

    if (src.videoStreams != NULL) {
        uint32_t n = CountStreams(src.videoStreams, src.videoCount);
        if (n > 0)
            dest.videoStreams = (VideoStreamInfo**)MallocOrThrow(n * sizeof(VideoStreamInfo*));
        if (dest.videoStreams != NULL) {
            for (uint32_t i = 0; i < src.videoCount; i++) {
                const VideoStreamInfo* from = src.videoStreams[i];
                if (from == NULL)
                    continue;
                // Owned by dest before its texts are copied: a copy that
                // runs out of memory leaves dest whole for FreeMediaFormat.
                VideoStreamInfo* to = (VideoStreamInfo*)MallocOrThrow(sizeof(VideoStreamInfo));
                InitVideoStreamInfo(*to);
                dest.videoStreams[dest.videoCount++] = to;
                StrSet(&to->compression, from->compression);
                to->bitRate = from->bitRate;
                to->lengthInFrames = from->lengthInFrames;
                to->width = from->width;
                to->height = from->height;
                to->colourDepth = from->colourDepth;
            }
        }
    }
    dest.selectedVideo = CopiedSelection(src.selectedVideo, dest.videoCount);

    if (src.subtitleTexts != NULL) {
        // At least one slot, so that an empty source array stays present.
        size_t bytes = (src.subtitleCount > 0 ? src.subtitleCount : 1) * sizeof(char*);
        dest.subtitleTexts = (char**)MallocOrThrow(bytes);
        memset(dest.subtitleTexts, 0, bytes);
        dest.subtitleCount = src.subtitleCount;
        for (uint32_t i = 0; i < src.subtitleCount; i++)
            StrSet(&dest.subtitleTexts[i], src.subtitleTexts[i]);
    }

    dest.frameCount = src.frameCount;
    dest.framesPerSecond = src.framesPerSecond;
    StrSet(&dest.kindName, src.kindName);
    StrSet(&dest.reportText, src.reportText);
}

bool VideoStreamDiffers(const VideoStreamInfo* a, const VideoStreamInfo* b)
{
    if (a == NULL || b == NULL)
        return a != b;
    return !StrEqual(a->compression, b->compression) || a->bitRate != b->bitRate ||
           a->lengthInFrames != b->lengthInFrames || a->height != b->height ||
           a->width != b->width || a->colourDepth != b->colourDepth;
}

bool AudioStreamDiffers(const AudioStreamInfo* a, const AudioStreamInfo* b)
{
    if (a == NULL || b == NULL)
        return a != b;
    return !StrEqual(a->language, b->language) || !StrEqual(a->compression, b->compression) ||
           a->bitRate != b->bitRate || a->lengthInFrames != b->lengthInFrames ||
           a->sampleRate != b->sampleRate || a->channels != b->channels ||
           a->bitsPerSample != b->bitsPerSample;
}

bool MediaFormatDiffers(const MediaFormat* a, const MediaFormat* b)
{
    if (a == NULL || b == NULL)
        return a != b;
    if (a->frameCount != b->frameCount || a->selectedAudio != b->selectedAudio ||
        a->selectedVideo != b->selectedVideo || a->framesPerSecond != b->framesPerSecond ||
        a->audioCount != b->audioCount || a->videoCount != b->videoCount ||
        a->subtitleCount != b->subtitleCount)
        return true;
    if (!StrEqual(a->kindName, b->kindName) || !StrEqual(a->reportText, b->reportText))
        return true;
    if ((a->audioStreams == NULL) != (b->audioStreams == NULL) ||
        (a->videoStreams == NULL) != (b->videoStreams == NULL) ||
        (a->subtitleTexts == NULL) != (b->subtitleTexts == NULL))
        return true;
    if (a->audioStreams != NULL) {
        for (uint32_t i = 0; i < a->audioCount; i++) {
            if (AudioStreamDiffers(a->audioStreams[i], b->audioStreams[i]))
                return true;
        }
    }
    if (a->videoStreams != NULL) {
        for (uint32_t i = 0; i < a->videoCount; i++) {
            if (VideoStreamDiffers(a->videoStreams[i], b->videoStreams[i]))
                return true;
        }
    }
    if (a->subtitleTexts != NULL) {
        for (uint32_t i = 0; i < a->subtitleCount; i++) {
            if (!StrEqual(a->subtitleTexts[i], b->subtitleTexts[i]))
                return true;
        }
    }
    return false;
}
