#include "plugins/mediadetect/MediaDetector.h"

#include <dvdmedia.h>
#include <mmreg.h>
#include <msacm.h>
#include <vfw.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/PluginRecord.h"
#include "core/StrUtil.h"
#include "plugins/FileNameRules.h"
#include "plugins/FormatLog.h"

namespace {

// {D2855FA9-61A7-4DB0-B979-71F297C17A04}: the Ogg stream.
const GUID kOggStream = {0xD2855FA9, 0x61A7, 0x4DB0, {0xB9, 0x79, 0x71, 0xF2, 0x97, 0xC1, 0x7A, 0x04}};
// {6BDDFA7E-9F22-46A9-AB5E-884EFF294D9F}: the Ogg Vorbis audio format.
const GUID kVorbisFormat = {0x6BDDFA7E, 0x9F22, 0x46A9, {0xAB, 0x5E, 0x88, 0x4E, 0xFF, 0x29, 0x4D, 0x9F}};

// The DivX family of video FourCCs.
const char* const kDivxFamily[] = {"MP43", "DIV1", "DIVX", "XVID", "DIV3",
                                   "DIV4", "DIV5", "DIV6", "AP41"};
// How deep the pin walk goes: graphs of real files are a few filters long.
const int kMaxWalkDepth = 32;

HRESULT CreateMediaDet(IMediaDet** detector)
{
    return CoCreateInstance(CLSID_MediaDet, NULL, CLSCTX_INPROC_SERVER, IID_IMediaDet,
                            reinterpret_cast<void**>(detector));
}

HRESULT CreateFilterMapper(IFilterMapper2** mapper)
{
    return CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                            reinterpret_cast<void**>(mapper));
}

CreateMediaDetFn createMediaDet = CreateMediaDet;
CreateFilterMapperFn createFilterMapper = CreateFilterMapper;

template <typename T>
void SafeRelease(T*& item)
{
    if (item != NULL)
        item->Release();
    item = NULL;
}

// A media type's format block and interface, as the DirectShow helpers free
// them.
void FreeMediaTypeContents(AM_MEDIA_TYPE& type)
{
    if (type.cbFormat != 0 || type.pbFormat != NULL)
        CoTaskMemFree(type.pbFormat);
    type.cbFormat = 0;
    type.pbFormat = NULL;
    SafeRelease(type.pUnk);
}

std::string FourCC(DWORD code)
{
    char text[5] = {char(code & 0xFF), char(code >> 8 & 0xFF), char(code >> 16 & 0xFF),
                    char(code >> 24 & 0xFF), 0};
    return text;
}

std::string WideToAnsi(const WCHAR* wide)
{
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, NULL, 0, NULL, NULL);
    if (bytes <= 1)
        return std::string();
    std::string text(size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], bytes, NULL, NULL);
    text.resize(size_t(bytes - 1));
    return text;
}

// A format block of the given type that holds at least `size` bytes.
bool HasFormat(const AM_MEDIA_TYPE& type, const GUID& format, size_t size)
{
    return type.formattype == format && type.pbFormat != NULL && type.cbFormat >= size;
}

const char* KindText(int kind)
{
    static const char* const texts[] = {NULL, "Avi", "Ogg", "DivX", "MPEG-1", "VCD"};
    return kind >= 1 && kind <= 5 ? texts[kind] : NULL;
}

const char* KindHeader(int kind)
{
    static const char* const headers[] = {NULL, "[AVI file]", "[Ogg AVI file]", "[AVI file]",
                                          "[MPEG-1 file]", "[VCD file]"};
    return kind >= 1 && kind <= 5 ? headers[kind] : NULL;
}

struct AcmLookup {
    DWORD tag;
    std::string name;
};

BOOL CALLBACK FindFormatTag(HACMDRIVERID id, DWORD_PTR instance, DWORD)
{
    AcmLookup* lookup = reinterpret_cast<AcmLookup*>(instance);
    HACMDRIVER driver = NULL;
    if (acmDriverOpen(&driver, id, 0) != MMSYSERR_NOERROR)
        return TRUE;
    ACMFORMATTAGDETAILSA details;
    memset(&details, 0, sizeof(details));
    details.cbStruct = sizeof(details);
    details.dwFormatTag = lookup->tag;
    bool known = acmFormatTagDetailsA(driver, &details, ACM_FORMATTAGDETAILSF_FORMATTAG) ==
                 MMSYSERR_NOERROR;
    acmDriverClose(driver, 0);
    if (!known)
        return TRUE;
    // No exception may go back through the system's frames: a name that
    // cannot be copied ends the search without one.
    try {
        lookup->name = details.szFormatTag;
    } catch (...) {
    }
    return FALSE;
}

}  // namespace

void SetMediaDetectFactories(CreateMediaDetFn detectorFactory, CreateFilterMapperFn mapperFactory)
{
    createMediaDet = detectorFactory != NULL ? detectorFactory : CreateMediaDet;
    createFilterMapper = mapperFactory != NULL ? mapperFactory : CreateFilterMapper;
}

CMediaDetector::CMediaDetector()
    : record(NULL), firstPass(true), failed(false), kind(0), detector(NULL), mapper(NULL)
{
}

CMediaDetector::~CMediaDetector()
{
    DeleteMediaFormat(&record);
    SafeRelease(detector);
    SafeRelease(mapper);
}

void CMediaDetector::Report(int level, const char* text)
{
    WriteFormatLog("%s", text);
    if (level == 2 || (level == 1 && firstPass))
        failed = true;
}

MediaFormat* CMediaDetector::Detect(const char* path, bool first)
{
    firstPass = first;
    if (FAILED(CoInitialize(NULL))) {
        Report(2, "Unable to initizlize");
        return NULL;
    }
    if (FAILED(createMediaDet(&detector)) || detector == NULL) {
        Report(2, "Unable create IID_IMediaDet Instance");
    } else if (FAILED(createFilterMapper(&mapper)) || mapper == NULL) {
        Report(2, "Unable create IID_IFilterMapper2 Instance");
    } else {
        int wide = MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0);
        std::wstring widePath(wide > 0 ? size_t(wide) : 0, L'\0');
        BSTR name = NULL;
        if (wide > 0 && MultiByteToWideChar(CP_ACP, 0, path, -1, &widePath[0], wide) > 0)
            name = SysAllocString(widePath.c_str());
        if (name == NULL) {
            Report(2, "Unable to convert char * to BSTR");
        } else {
            HRESULT opened = detector->put_Filename(name);
            SysFreeString(name);
            if (FAILED(opened))
                Report(2, "Unable to open file");
            else
                ReadStreams(detector);
        }
    }
    // Everything goes before COM does, on every path.
    for (IBaseFilter* filter : walked)
        filter->Release();
    walked.clear();
    SafeRelease(detector);
    SafeRelease(mapper);
    CoUninitialize();

    if (record != NULL && kind == 0)
        Report(2, "file format is unknown");
    if (failed || record == NULL) {
        DeleteMediaFormat(&record);
        return NULL;
    }
    Finish();
    MediaFormat* result = record;
    record = NULL;
    return result;
}

void CMediaDetector::ReadStreams(IMediaDet* det)
{
    long streams = 0;
    if (FAILED(det->get_OutputStreams(&streams))) {
        Report(2, "Unable to get output streams");
        return;
    }
    record = NewMediaFormat();
    if (record == NULL) {
        failed = true;
        return;
    }
    for (long i = 0; i < streams && !failed; i++) {
        if (FAILED(det->put_CurrentStream(i))) {
            Report(2, "Unable to select stream 0");
            break;
        }
        AM_MEDIA_TYPE type;
        memset(&type, 0, sizeof(type));
        if (FAILED(det->get_StreamMediaType(&type))) {
            Report(2, "Unable to get stream media type");
            break;
        }
        if (i == 0) {
            IUnknown* unknown = NULL;
            IBaseFilter* filter = NULL;
            if (SUCCEEDED(det->get_Filter(&unknown)) && unknown != NULL)
                unknown->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter));
            SafeRelease(unknown);
            if (filter == NULL)
                Report(2, "Unable to get used filter");
            else
                WalkFilter(filter, 0);
            SafeRelease(filter);
        }
        double seconds = 0;
        if (FAILED(det->get_StreamLength(&seconds)))
            seconds = 0;
        if (type.majortype == MEDIATYPE_Video)
            videoSeconds.push_back(seconds);
        else
            audioSeconds.push_back(seconds);
        FreeMediaTypeContents(type);
    }
}

void CMediaDetector::WalkFilter(IBaseFilter* filter, int depth)
{
    if (filter == NULL) {
        Report(0, "NULL filter");
        return;
    }
    if (depth >= kMaxWalkDepth || std::find(walked.begin(), walked.end(), filter) != walked.end())
        return;
    filter->AddRef();
    walked.push_back(filter);
    IEnumPins* pins = NULL;
    if (FAILED(filter->EnumPins(&pins)) || pins == NULL) {
        Report(1, "Unable to get pins for filter");
        return;
    }
    IPin* pin = NULL;
    while (!failed && pins->Next(1, &pin, NULL) == S_OK) {
        WalkPin(pin, depth);
        SafeRelease(pin);
    }
    pins->Release();
}

void CMediaDetector::WalkPin(IPin* pin, int depth)
{
    if (pin == NULL) {
        Report(0, "NULL pin");
        return;
    }
    PIN_INFO info;
    memset(&info, 0, sizeof(info));
    if (FAILED(pin->QueryPinInfo(&info))) {
        Report(1, "Unable to get Pin info");
        return;
    }
    SafeRelease(info.pFilter);
    if (info.dir == PINDIR_INPUT)
        return;

    AM_MEDIA_TYPE type;
    memset(&type, 0, sizeof(type));
    if (FAILED(pin->ConnectionMediaType(&type))) {
        Report(1, "Unable to get media type");
        return;
    }
    Classify(type);
    FreeMediaTypeContents(type);

    IPin* other = NULL;
    if (FAILED(pin->ConnectedTo(&other)) || other == NULL) {
        Report(1, "Unable to get other end of pin");
        return;
    }
    WalkPin(other, depth + 1);
    PIN_INFO otherInfo;
    memset(&otherInfo, 0, sizeof(otherInfo));
    if (FAILED(other->QueryPinInfo(&otherInfo)) || otherInfo.pFilter == NULL)
        Report(1, "Unable to get filter attached to pin");
    else
        WalkFilter(otherInfo.pFilter, depth + 1);
    SafeRelease(otherInfo.pFilter);
    other->Release();
}

void CMediaDetector::Classify(const AM_MEDIA_TYPE& type)
{
    bool video = type.majortype == MEDIATYPE_Video;
    bool audio = type.majortype == MEDIATYPE_Audio;
    if (kind >= 1 && kind <= 3) {
        if (video) {
            std::string name = FindCodecName(type);
            if (kind == 1) {
                std::string code = FourCC(type.subtype.Data1);
                for (const char* divx : kDivxFamily)
                    if (StrEqualNoCase(code.c_str(), divx))
                        kind = 3;
            }
            if (HasFormat(type, FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER))) {
                AddVideo(name, reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat));
            } else if (HasFormat(type, FORMAT_VideoInfo2, sizeof(VIDEOINFOHEADER2))) {
                const VIDEOINFOHEADER2* h = reinterpret_cast<const VIDEOINFOHEADER2*>(type.pbFormat);
                AddVideoFields(name, h->dwBitRate, h->AvgTimePerFrame, h->bmiHeader);
            } else {
                AddUnknown(true, name);
            }
        } else if (audio) {
            std::string name = FindCodecName(type);
            if (HasFormat(type, FORMAT_WaveFormatEx, sizeof(PCMWAVEFORMAT)))
                AddWaveAudio(name, type);
            else if (HasFormat(type, kVorbisFormat, 4 * sizeof(DWORD)))
                AddVorbisAudio(name, type);
            else
                AddUnknown(false, name);
        }
    } else if (kind == 4 || kind == 5) {
        if (video && type.formattype == FORMAT_MPEGVideo) {
            std::string name = FindCodecName(type);
            if (HasFormat(type, FORMAT_MPEGVideo, sizeof(VIDEOINFOHEADER)))
                AddVideo(name, reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat));
            else
                AddUnknown(true, name);
        } else if (audio) {
            std::string name = FindCodecName(type);
            if (HasFormat(type, FORMAT_WaveFormatEx, sizeof(PCMWAVEFORMAT)))
                AddWaveAudio(name, type);
            else
                AddUnknown(false, name);
        }
    }
    if (type.majortype == MEDIATYPE_Stream) {
        if (type.subtype == MEDIASUBTYPE_Avi)
            kind = 1;
        else if (type.subtype == kOggStream)
            kind = 2;
        else if (type.subtype == MEDIASUBTYPE_MPEG1System)
            kind = 4;
        else if (type.subtype == MEDIASUBTYPE_MPEG1VideoCD)
            kind = 5;
    }
}

std::string CMediaDetector::FindCodecName(const AM_MEDIA_TYPE& type)
{
    bool video = type.majortype == MEDIATYPE_Video;
    if (type.majortype == MEDIATYPE_Audio && type.subtype == MEDIASUBTYPE_PCM)
        return "Uncompressed (PCM)";
    if (video && (type.subtype == MEDIASUBTYPE_RGB8 || type.subtype == MEDIASUBTYPE_RGB565 ||
                  type.subtype == MEDIASUBTYPE_RGB555 || type.subtype == MEDIASUBTYPE_RGB24 ||
                  type.subtype == MEDIASUBTYPE_RGB32))
        return "Uncompressed (RGB)";

    std::string name;
    GUID types[2] = {type.majortype, type.subtype};
    IEnumMoniker* filters = NULL;
    if (FAILED(mapper->EnumMatchingFilters(&filters, 0, TRUE, MERIT_DO_NOT_USE + 1, TRUE, 1, types,
                                           NULL, NULL, FALSE, FALSE, 0, NULL, NULL, NULL))) {
        Report(0, "Unable to look for mathing filters");
        filters = NULL;
    }
    IMoniker* moniker = NULL;
    if (filters != NULL && filters->Next(1, &moniker, NULL) == S_OK && moniker != NULL) {
        IPropertyBag* bag = NULL;
        if (SUCCEEDED(moniker->BindToStorage(NULL, NULL, IID_IPropertyBag,
                                             reinterpret_cast<void**>(&bag))) && bag != NULL) {
            VARIANT value;
            VariantInit(&value);
            if (SUCCEEDED(bag->Read(L"FriendlyName", &value, NULL)) && value.vt == VT_BSTR &&
                value.bstrVal != NULL)
                name = WideToAnsi(value.bstrVal);
            VariantClear(&value);
            bag->Release();
        }
        moniker->Release();
    }
    SafeRelease(filters);
    if (!name.empty())
        return name;

    if (video) {
        HIC codec = ICOpen(ICTYPE_VIDEO, type.subtype.Data1, ICMODE_QUERY);
        if (codec != NULL) {
            ICINFO info;
            memset(&info, 0, sizeof(info));
            info.dwSize = sizeof(info);
            if (ICGetInfo(codec, &info, sizeof(info)) != 0)
                name = WideToAnsi(info.szDescription);
            ICClose(codec);
        }
        if (codec == NULL)
            name = "No codec installed (" + FourCC(type.subtype.Data1) + ")";
    } else {
        AcmLookup lookup = {type.subtype.Data1, std::string()};
        if (acmDriverEnum(FindFormatTag, reinterpret_cast<DWORD_PTR>(&lookup), 0) != MMSYSERR_NOERROR)
            return "No codec installed";
        name = lookup.name;
    }
    return name;
}

void CMediaDetector::AddVideo(const std::string& name, const VIDEOINFOHEADER* header)
{
    AddVideoFields(name, header->dwBitRate, header->AvgTimePerFrame, header->bmiHeader);
}

void CMediaDetector::AddVideoFields(const std::string& name, DWORD bitRate,
                                    REFERENCE_TIME frameTime, const BITMAPINFOHEADER& bitmap)
{
    VideoStreamInfo* stream = AddVideoStream(*record);
    if (stream == NULL) {
        failed = true;
        return;
    }
    if (!name.empty())
        StrSet(&stream->compression, name.c_str());
    if (record->framesPerSecond == 0 && frameTime > 0) {
        record->framesPerSecond = float(10000000.0 / double(frameTime));
        this->frameTime = frameTime;
    }
    stream->bitRate = int32_t(bitRate * 0.001);
    stream->width = bitmap.biWidth;
    stream->height = bitmap.biHeight;
    stream->colourDepth = int16_t(bitmap.biBitCount);
}

void CMediaDetector::AddWaveAudio(const std::string& name, const AM_MEDIA_TYPE& type)
{
    AudioStreamInfo* stream = AddAudioStream(*record);
    if (stream == NULL) {
        failed = true;
        return;
    }
    // The common fields (PCMWAVEFORMAT) are present; the extra bytes are
    // read only where the block holds them.
    const WAVEFORMATEX* wave = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
    if (!name.empty())
        StrSet(&stream->compression, name.c_str());
    stream->channels = int16_t(wave->nChannels);
    stream->bitsPerSample = int16_t(wave->wBitsPerSample);
    stream->sampleRate = int32_t(wave->nSamplesPerSec);
    stream->bitRate = int32_t(double(wave->nAvgBytesPerSec) * 8 * 0.001);
    if (stream->bitRate != 0)
        return;
    if (wave->wFormatTag == WAVE_FORMAT_MPEGLAYER3 && type.cbFormat >= sizeof(MPEGLAYER3WAVEFORMAT) &&
        wave->cbSize == MPEGLAYER3_WFX_EXTRA_BYTES && record->framesPerSecond > 0) {
        const MPEGLAYER3WAVEFORMAT* mp3 = reinterpret_cast<const MPEGLAYER3WAVEFORMAT*>(type.pbFormat);
        if (mp3->nFramesPerBlock != 0)
            stream->bitRate = int32_t(double(mp3->nBlockSize) / mp3->nFramesPerBlock /
                                      record->framesPerSecond * 8);
    } else if (wave->wFormatTag == 0x161 && type.cbFormat >= 20) {
        stream->bitRate = type.pbFormat[19] * 8;
    }
}

void CMediaDetector::AddVorbisAudio(const std::string& name, const AM_MEDIA_TYPE& type)
{
    AudioStreamInfo* stream = AddAudioStream(*record);
    if (stream == NULL) {
        failed = true;
        return;
    }
    DWORD values[4];
    memcpy(values, type.pbFormat, sizeof(values));
    if (!name.empty())
        StrSet(&stream->compression, name.c_str());
    stream->channels = int16_t(values[0]);
    stream->sampleRate = int32_t(values[1]);
    stream->bitRate = int32_t(values[3] / 8 / 1024);
}

void CMediaDetector::AddUnknown(bool video, const std::string& name)
{
    Report(1, video ? "Unknown video stream" : "Unknown audio stream");
    if (name.empty()) {
        Report(2, video ? "Very! Unknown video stream" : "Very! Unknown audio stream");
        return;
    }
    char** compression = NULL;
    if (video) {
        VideoStreamInfo* stream = AddVideoStream(*record);
        compression = stream != NULL ? &stream->compression : NULL;
    } else {
        AudioStreamInfo* stream = AddAudioStream(*record);
        compression = stream != NULL ? &stream->compression : NULL;
    }
    if (compression == NULL)
        failed = true;
    else
        StrSet(compression, name.c_str());
}

// Whole frames in a stream of the detector's seconds: the seconds as whole
// 100-ns units first, then divided by the frame time where it is known, so
// that a whole number of frames (29 at 25 fps, 1.16 s) is not cut one short
// by the rounding of the seconds or of the float rate, on any
// floating-point unit.
int32_t CMediaDetector::FramesIn(double seconds) const
{
    double fps = record->framesPerSecond;
    if (!(seconds > 0) || !(fps > 0) || seconds * fps >= double(INT32_MAX))
        return seconds > 0 && fps > 0 ? INT32_MAX : 0;
    double ticks = std::floor(seconds * 1e7 + 0.5);
    double frames = frameTime > 0 ? std::floor(ticks / double(frameTime)) : std::floor(ticks * fps / 1e7);
    return int32_t(std::min(frames, double(INT32_MAX)));
}

void CMediaDetector::Finish()
{
    float fps = record->framesPerSecond;
    int64_t frames = 0;
    for (uint32_t i = 0; i < record->videoCount; i++) {
        record->videoStreams[i]->lengthInFrames = FramesIn(i < videoSeconds.size() ? videoSeconds[i] : 0);
        frames += record->videoStreams[i]->lengthInFrames;
    }
    record->frameCount = int32_t(std::min<int64_t>(frames, INT32_MAX));
    for (uint32_t i = 0; i < record->audioCount; i++)
        record->audioStreams[i]->lengthInFrames = FramesIn(i < audioSeconds.size() ? audioSeconds[i] : 0);
    record->selectedVideo = record->videoCount > 0 ? 0 : -1;
    record->selectedAudio = record->audioCount > 0 ? 0 : -1;

    const VideoStreamInfo* video = record->videoCount > 0 ? record->videoStreams[0] : NULL;
    if (video != NULL && video->width >= 400) {
        StrAppendFormat(&record->kindName, "DVDrip (%s)", KindText(kind));
    } else {
        StrSet(&record->kindName, KindText(kind));
    }

    char** report = &record->reportText;
    StrAppendFormat(report, "%s\r\n", KindHeader(kind));
    if (video != NULL && video->compression != NULL)
        StrAppendFormat(report, "Compression: %s\r\n", video->compression);
    if (record->frameCount != 0)
        StrAppendFormat(report, "Frames: %ld\r\n", long(record->frameCount));
    if (fps > 0)
        StrAppendFormat(report, "Frames per sec: %.3f\r\n", double(fps));
    if (record->frameCount != 0 && fps > 0)
        StrAppendFormat(report, "Length in sec: %ld\r\n", long(double(record->frameCount) / double(fps)));
    if (video != NULL) {
        if (video->width != 0 && video->height != 0)
            StrAppendFormat(report, "Resolution: %ldx%ld\r\n", long(video->width), long(video->height));
        if (video->colourDepth != 0)
            StrAppendFormat(report, "Color depth: %d bits\r\n", int(video->colourDepth));
        if (video->bitRate != 0)
            StrAppendFormat(report, "Bit rate: %ldkb/s\r\n", long(video->bitRate));
    }
    if (record->audioCount > 0) {
        const AudioStreamInfo* audio = record->audioStreams[0];
        StrAppend(report, "\r\n[Audio stream]\r\n");
        if (audio->compression != NULL)
            StrAppendFormat(report, "Compression: %s\r\n", audio->compression);
        if (audio->sampleRate != 0)
            StrAppendFormat(report, "Samples rate: %ld Hz\r\n", long(audio->sampleRate));
        if (audio->bitsPerSample != 0)
            StrAppendFormat(report, "Bit depth: %ld bits\r\n", long(audio->bitsPerSample));
        if (audio->channels != 0)
            StrAppendFormat(report, "Channels: %d\r\n", int(audio->channels));
        if (audio->bitRate != 0)
            StrAppendFormat(report, "Bit rate: %ldkb/s\r\n", long(audio->bitRate));
    }
}

MediaFormat* ReadMediaDetectFile(const char* dir, const char* name, const char* ext, BYTE pass)
{
    if (dir == NULL || name == NULL)
        return NULL;
    bool mpeg2Folder = EndsInMpeg2Folder(dir);
    if (ext != NULL) {
        static const char* const known[] = {".avi", ".divx", ".mpg", ".dat", ".mpeg"};
        static const char* const mpeg[] = {".mpeg", ".dat", ".mpg"};
        if (pass == 0 && !IsListedExtension(ext, known))
            return NULL;
        if (mpeg2Folder && IsListedExtension(ext, mpeg))
            return NULL;
    } else if (pass == 0 || mpeg2Folder) {
        return NULL;
    }
    std::string path = std::string(dir) + name + (ext != NULL ? ext : "");
    CMediaDetector detector;
    return detector.Detect(path.c_str(), pass == 0);
}
