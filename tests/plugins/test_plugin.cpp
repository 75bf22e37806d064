// A format plug-in for the plug-in manager's tests. One source, built into
// several DLLs; TP_VARIANT picks how the module behaves:
//   1 "prio10"    knows ".avi" in pass 0, never probes
//   2 "prio5"     knows ".mpg" in pass 0, answers every file in pass 1
//   3 "off"       answers every file in both passes; no format text
//   4 "nullslots" knows ".nul"; answers with NULL stream slots and selections
//                 out of range
//   5 "version2"  as prio10, but Version answers 2
//   6 "noexport"  as prio10, but FreeFormat is missing
// Every ReadFromFile call is reported to the host's log callback as
// "name:pass"; TestLiveRecords counts records not yet handed back.
#define VISTREL_PLUGIN_MODULE
#include "core/PluginApi.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/StrUtil.h"

#ifndef TP_VARIANT
#error TP_VARIANT must be defined
#endif

namespace {

#if TP_VARIANT == 1
const char* const kName = "prio10";
const char* const kKnownExt = ".avi";
const bool kProbes = false;
const char* const kFormats = "|Avi file (*.avi)|*.avi|";
#elif TP_VARIANT == 2
const char* const kName = "prio5";
const char* const kKnownExt = ".mpg";
const bool kProbes = true;
const char* const kFormats = "Avi file (*.avi)|*.avi|Mpeg file (*.mpg)|*.mpg; *.mpeg";
#elif TP_VARIANT == 3
const char* const kName = "off";
const char* const kKnownExt = NULL;
const bool kProbes = true;
const char* const kFormats = NULL;
#elif TP_VARIANT == 4
const char* const kName = "nullslots";
const char* const kKnownExt = ".nul";
const bool kProbes = false;
const char* const kFormats = "|Null file|*.nul|";
#elif TP_VARIANT == 5
const char* const kName = "version2";
const char* const kKnownExt = ".avi";
const bool kProbes = false;
const char* const kFormats = "|Avi file (*.avi)|*.avi|";
#elif TP_VARIANT == 6
const char* const kName = "noexport";
const char* const kKnownExt = ".avi";
const bool kProbes = false;
const char* const kFormats = "|Avi file (*.avi)|*.avi|";
#endif

typedef void (*TestLogFn)(const char* line);
TestLogFn logFn = NULL;
int liveRecords = 0;

bool Answers(const char* ext, BYTE pass)
{
    if (pass == 1)
        return kProbes;
    if (kKnownExt == NULL)
        return true;
    return ext != NULL && _stricmp(ext, kKnownExt) == 0;
}

MediaFormat* NewRecord(const char* dir, const char* name, const char* ext, BYTE pass)
{
    MediaFormat* record = (MediaFormat*)malloc(sizeof(MediaFormat));
    InitMediaFormat(*record);
    StrSet(&record->kindName, kName);
    // The arguments as received, so the host side can check them.
    std::string report = std::string(dir ? dir : "(null)") + "|" + (name ? name : "(null)") +
                         "|" + (ext ? ext : "(null)") + "|" + char('0' + pass);
    StrSet(&record->reportText, report.c_str());
    record->frameCount = 250;
    record->framesPerSecond = 25.0f;

    VideoStreamInfo* video = (VideoStreamInfo*)malloc(sizeof(VideoStreamInfo));
    InitVideoStreamInfo(*video);
    video->width = 640;
    video->height = 480;
    StrSet(&video->compression, "test");

    if (TP_VARIANT == 4) {
        record->videoStreams = (VideoStreamInfo**)calloc(2, sizeof(VideoStreamInfo*));
        record->videoStreams[1] = video;
        record->videoCount = 2;
        record->selectedVideo = 5;
        record->audioStreams = (AudioStreamInfo**)calloc(2, sizeof(AudioStreamInfo*));
        record->audioCount = 2;
        record->selectedAudio = 1;
    } else {
        record->videoStreams = (VideoStreamInfo**)calloc(1, sizeof(VideoStreamInfo*));
        record->videoStreams[0] = video;
        record->videoCount = 1;
        record->selectedVideo = 0;
    }
    return record;
}

}  // namespace

PLUGIN_EXPORT BYTE PLUGIN_CDECL Version(void)
{
    return TP_VARIANT == 5 ? 2 : 1;
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void)
{
    return kName;
}

PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void)
{
    return kFormats;
}

PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass)
{
    if (logFn != NULL) {
        std::string line = std::string(kName) + ":" + char('0' + pass);
        logFn(line.c_str());
    }
    if (!Answers(ext, pass))
        return NULL;
    liveRecords++;
    return NewRecord(dir, name, ext, pass);
}

#if TP_VARIANT != 6
PLUGIN_EXPORT void PLUGIN_STDCALL FreeFormat(MediaFormat** record)
{
    if (record == NULL || *record == NULL)
        return;
    FreeMediaFormat(**record);
    free(*record);
    *record = NULL;
    liveRecords--;
}
#endif

PLUGIN_EXPORT void PLUGIN_CDECL TestSetLog(TestLogFn fn)
{
    logFn = fn;
}

PLUGIN_EXPORT int PLUGIN_CDECL TestLiveRecords(void)
{
    return liveRecords;
}
