// Technical data of AVI, DivX, Ogg and MPEG-1 files through the platform's
// media detector: it opens the file and builds the source part of a filter
// graph; the detector walks the output pins from the source filter
// downstream, takes the container kind from the source's stream type and
// the streams from the formats of the following pins, and names each codec
// by the DirectShow filter, Video for Windows codec or audio driver that
// handles it. Windows only.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <qedit.h>

#include <string>
#include <vector>

#include "core/MediaFormat.h"

// Where the media detector and the filter mapper come from; both default to
// CoCreateInstance. Tests put stand-ins here; NULL restores the default.
typedef HRESULT (*CreateMediaDetFn)(IMediaDet** detector);
typedef HRESULT (*CreateFilterMapperFn)(IFilterMapper2** mapper);
void SetMediaDetectFactories(CreateMediaDetFn detector, CreateFilterMapperFn mapper);

class CMediaDetector {
public:
    CMediaDetector();
    virtual ~CMediaDetector();

    // Describes the file; NULL on any failure (the log tells which).
    MediaFormat* Detect(const char* path, bool firstPass);

    // Appends the text to the format log; level 1 fails the first pass,
    // level 2 any pass, level 0 is a note.
    void Report(int level, const char* text);

private:
    CMediaDetector(const CMediaDetector&) = delete;
    CMediaDetector& operator=(const CMediaDetector&) = delete;

    void ReadStreams(IMediaDet* detector);
    void WalkFilter(IBaseFilter* filter, int depth);
    void WalkPin(IPin* pin, int depth);
    void Classify(const AM_MEDIA_TYPE& type);
    std::string FindCodecName(const AM_MEDIA_TYPE& type);
    void AddVideo(const std::string& name, const VIDEOINFOHEADER* header);
    void AddVideoFields(const std::string& name, DWORD bitRate, REFERENCE_TIME frameTime,
                        const BITMAPINFOHEADER& bitmap);
    void AddWaveAudio(const std::string& name, const AM_MEDIA_TYPE& type);
    void AddVorbisAudio(const std::string& name, const AM_MEDIA_TYPE& type);
    void AddUnknown(bool video, const std::string& name);
    void Finish();
    int32_t FramesIn(double seconds) const;

    MediaFormat* record;
    bool firstPass;
    bool failed;
    int kind;                  // 0 none, 1 Avi, 2 Ogg, 3 DivX, 4 MPEG-1, 5 VCD
    REFERENCE_TIME frameTime = 0;  // of the frame rate, in 100 ns; 0 unknown
    IMediaDet* detector;
    IFilterMapper2* mapper;
    std::vector<IBaseFilter*> walked;     // each filter is walked once
    std::vector<double> videoSeconds;     // the detector's streams, by kind
    std::vector<double> audioSeconds;
};

// ReadFromFile of the plug-in: the extension, pass and "\MPEG2\" rules, then
// the detection of dir + name + ext.
MediaFormat* ReadMediaDetectFile(const char* dir, const char* name, const char* ext, BYTE pass);
