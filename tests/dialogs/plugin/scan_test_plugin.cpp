// A format plug-in for the disc-scanning tests. It reads nothing: the format
// follows the extension ("DVD" for .ifo, "VCD" for .dat, "MPEG-1" for .mpg
// and .mpeg, "Avi" for anything else), with one 320x240 video stream. A file
// whose name holds "broken" gets no answer.
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"

#include <cstdlib>
#include <cstring>

#include "core/StrUtil.h"

namespace {

const char* FormatName(const char* ext)
{
    if (ext == NULL)
        return "Avi";
    if (_stricmp(ext, ".ifo") == 0)
        return "DVD";
    if (_stricmp(ext, ".dat") == 0)
        return "VCD";
    if (_stricmp(ext, ".mpg") == 0 || _stricmp(ext, ".mpeg") == 0)
        return "MPEG-1";
    return "Avi";
}

} // namespace

PLUGIN_EXPORT BYTE PLUGIN_CDECL Version(void)
{
    return 1;
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void)
{
    return "scan test formats";
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void)
{
    return "|Test media|*.avi;*.mpg;*.mpeg;*.dat;*.asf;*.divx;*.ifo|";
}

PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass)
{
    if (pass != 0 || name == NULL || strstr(name, "broken") != NULL)
        return NULL;
    MediaFormat* record = (MediaFormat*)malloc(sizeof(MediaFormat));
    if (record == NULL)
        return NULL;
    InitMediaFormat(*record);
    StrSet(&record->kindName, FormatName(ext));
    StrSet(&record->reportText, dir);
    StrAppend(&record->reportText, name);
    StrAppend(&record->reportText, ext);
    record->frameCount = 25;
    record->framesPerSecond = 25.0f;

    VideoStreamInfo* video = (VideoStreamInfo*)malloc(sizeof(VideoStreamInfo));
    record->videoStreams = (VideoStreamInfo**)calloc(1, sizeof(VideoStreamInfo*));
    if (video == NULL || record->videoStreams == NULL) {
        free(video);
        FreeMediaFormat(*record);
        free(record);
        return NULL;
    }
    InitVideoStreamInfo(*video);
    // A name holding "_640" is a picture of another size.
    bool large = strstr(name, "_640") != NULL;
    video->width = large ? 640 : 320;
    video->height = large ? 480 : 240;
    record->videoStreams[0] = video;
    record->videoCount = 1;
    record->selectedVideo = 0;
    return record;
}

PLUGIN_EXPORT void PLUGIN_STDCALL FreeFormat(MediaFormat** record)
{
    if (record == NULL || *record == NULL)
        return;
    FreeMediaFormat(**record);
    free(*record);
    *record = NULL;
}
