#include "core/PluginRecord.h"

#include <cstdlib>

#include "core/StrUtil.h"

namespace {

// Grows a malloc'ed pointer array by one slot holding item.
template <typename T>
bool AppendSlot(T*** slots, uint32_t* count, T* item)
{
    T** grown = static_cast<T**>(realloc(*slots, (*count + 1) * sizeof(T*)));
    if (grown == NULL)
        return false;
    grown[*count] = item;
    *slots = grown;
    (*count)++;
    return true;
}

template <typename T>
T* AddStream(T*** slots, uint32_t* count, void (*init)(T&))
{
    T* stream = static_cast<T*>(malloc(sizeof(T)));
    if (stream == NULL)
        return NULL;
    init(*stream);
    if (!AppendSlot(slots, count, stream)) {
        free(stream);
        return NULL;
    }
    return stream;
}

}  // namespace

MediaFormat* NewMediaFormat()
{
    MediaFormat* format = static_cast<MediaFormat*>(malloc(sizeof(MediaFormat)));
    if (format != NULL)
        InitMediaFormat(*format);
    return format;
}

VideoStreamInfo* AddVideoStream(MediaFormat& format)
{
    return AddStream(&format.videoStreams, &format.videoCount, InitVideoStreamInfo);
}

AudioStreamInfo* AddAudioStream(MediaFormat& format)
{
    return AddStream(&format.audioStreams, &format.audioCount, InitAudioStreamInfo);
}

bool AddSubtitleText(MediaFormat& format, const char* text)
{
    char* copy = NULL;
    StrSet(&copy, text);
    if (text != NULL && copy == NULL)
        return false;
    if (!AppendSlot(&format.subtitleTexts, &format.subtitleCount, copy)) {
        free(copy);
        return false;
    }
    return true;
}

void DeleteMediaFormat(MediaFormat** format)
{
    if (format == NULL || *format == NULL)
        return;
    FreeMediaFormat(**format);
    free(*format);
    *format = NULL;
}
