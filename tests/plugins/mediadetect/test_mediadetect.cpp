#include <windows.h>

#include <dshow.h>
#include <dvdmedia.h>
#include <mmreg.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/PluginRecord.h"
#include "plugins/mediadetect/MediaDetector.h"
#include "tests/plugins/PluginFolder.h"
#include "tests/plugins/mediadetect/FakeDirectShow.h"

BlockSpy theBlockSpy;

namespace {

const GUID kOggStream = {0xD2855FA9, 0x61A7, 0x4DB0, {0xB9, 0x79, 0x71, 0xF2, 0x97, 0xC1, 0x7A, 0x04}};
const GUID kVorbisFormat = {0x6BDDFA7E, 0x9F22, 0x46A9, {0xAB, 0x5E, 0x88, 0x4E, 0xFF, 0x29, 0x4D, 0x9F}};

DWORD Code(const char* text)
{
    return DWORD(BYTE(text[0])) | DWORD(BYTE(text[1])) << 8 | DWORD(BYTE(text[2])) << 16 |
           DWORD(BYTE(text[3])) << 24;
}

GUID Subtype(DWORD code)
{
    GUID g = {code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    return g;
}

template <typename T>
std::vector<BYTE> Bytes(const T& value, size_t size = sizeof(T))
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    return std::vector<BYTE>(p, p + std::min(size, sizeof(T)));
}

FakeType Video(const char* fourcc, LONG width, LONG height, DWORD bitRate = 0,
               REFERENCE_TIME frameTime = 400000, WORD bits = 24)
{
    VIDEOINFOHEADER h = {};
    h.dwBitRate = bitRate;
    h.AvgTimePerFrame = frameTime;
    h.bmiHeader.biSize = sizeof(h.bmiHeader);
    h.bmiHeader.biWidth = width;
    h.bmiHeader.biHeight = height;
    h.bmiHeader.biBitCount = bits;
    return FakeType{MEDIATYPE_Video, Subtype(Code(fourcc)), FORMAT_VideoInfo, Bytes(h)};
}

FakeType Wave(WORD tag, WORD channels, DWORD rate, WORD bits, DWORD bytesPerSecond)
{
    MPEGLAYER3WAVEFORMAT w = {};
    w.wfx.wFormatTag = tag;
    w.wfx.nChannels = channels;
    w.wfx.nSamplesPerSec = rate;
    w.wfx.wBitsPerSample = bits;
    w.wfx.nAvgBytesPerSec = bytesPerSecond;
    return FakeType{MEDIATYPE_Audio, tag == WAVE_FORMAT_PCM ? MEDIASUBTYPE_PCM : Subtype(tag),
                    FORMAT_WaveFormatEx, Bytes(w, sizeof(WAVEFORMATEX))};
}

FakeType StreamType(const GUID& subtype)
{
    return FakeType{MEDIATYPE_Stream, subtype, GUID_NULL, {}};
}

// A source filter whose one output pin carries the container's stream type
// to a splitter; each stream is an output pin of the splitter connected to
// a renderer, and a stream of the detector.
struct Graph {
    FakeMediaDet detector;
    FakeMapper mapper;
    FakeFilter source, splitter, renderer;
    explicit Graph(const GUID& container)
    {
        detector.source = &source;
        Connect(&source, StreamType(container), &splitter);
    }
    FakePin* Connect(FakeFilter* from, const FakeType& type, FakeFilter* to)
    {
        FakePin* out = from->AddPin(PINDIR_OUTPUT);
        out->type = type;
        FakePin* in = to->AddPin(PINDIR_INPUT);
        out->peer = in;
        in->peer = out;
        return out;
    }
    void AddStream(const FakeType& type, double seconds)
    {
        Connect(&splitter, type, &renderer);
        detector.streams.push_back({type, seconds});
    }
    // Every object holds only the test's own reference again; enumerators
    // made for the detector are released by it.
    void ExpectAllReleased() const
    {
        EXPECT_EQ(1, detector.refs);
        EXPECT_EQ(1, mapper.refs);
        for (const FakeFilter* f : {&source, &splitter, &renderer}) {
            EXPECT_EQ(1, f->refs);
            for (const FakePin* pin : f->pins)
                EXPECT_EQ(1, pin->refs);
            for (const FakeEnumPins* e : f->enums)
                EXPECT_EQ(0, e->refs);  // made for the detector, released by it
        }
        for (const FakeEnumMoniker* e : mapper.enums)
            EXPECT_EQ(0, e->refs);
        for (const FakeMoniker* m : mapper.monikers) {
            EXPECT_EQ(1, m->refs);
            EXPECT_EQ(1, m->bag.refs);
        }
    }
};

Graph* theGraph = NULL;
int detectorsMade = 0;
bool failDetector = false, failMapper = false;

HRESULT MakeDetector(IMediaDet** out)
{
    detectorsMade++;
    *out = NULL;
    if (failDetector || theGraph == NULL)
        return E_FAIL;
    theGraph->detector.AddRef();
    *out = &theGraph->detector;
    return S_OK;
}

HRESULT MakeMapper(IFilterMapper2** out)
{
    *out = NULL;
    if (failMapper || theGraph == NULL)
        return E_FAIL;
    theGraph->mapper.AddRef();
    *out = &theGraph->mapper;
    return S_OK;
}

bool ComUninitialised()
{
    HRESULT hr = CoInitialize(NULL);
    CoUninitialize();
    return hr == S_OK;
}

class MediaDetect : public testing::Test {
protected:
    void SetUp() override
    {
        // One spy for the whole run: the allocator keeps it while any block
        // it saw is alive.
        static const HRESULT spied = CoRegisterMallocSpy(&theBlockSpy);
        ASSERT_EQ(S_OK, spied);
        theBlockSpy.outstanding.clear();
        SetMediaDetectFactories(MakeDetector, MakeMapper);
        failDetector = failMapper = false;
        detectorsMade = 0;
    }
    void TearDown() override
    {
        theGraph = NULL;
        SetMediaDetectFactories(NULL, NULL);
        EXPECT_TRUE(theBlockSpy.outstanding.empty()) << "format blocks not freed";
    }
    // Detects with the graph and checks that everything was handed back.
    MediaFormat* Detect(Graph& graph, bool firstPass, std::string* log = NULL)
    {
        theGraph = &graph;
        LogWatch watch;
        CMediaDetector detector;
        MediaFormat* record = detector.Detect("C:\\films\\movie.avi", firstPass);
        if (log != NULL)
            *log = watch.Added();
        graph.ExpectAllReleased();
        EXPECT_TRUE(ComUninitialised());
        return record;
    }
};

typedef std::unique_ptr<MediaFormat, void (*)(MediaFormat*)> Record;
Record Keep(MediaFormat* m)
{
    return Record(m, [](MediaFormat* p) { DeleteMediaFormat(&p); });
}

}  // namespace

TEST_F(MediaDetect, WholeFramesAreNotCutShort)
{
    // 29 frames at 25 fps are 1.16 s, a double a little below; 300 frames
    // of 333667 (100 ns) are 10.01001 s, and the float rate lies below
    // 29.97000003: either product of seconds and rate lost a frame.
    const struct { REFERENCE_TIME frameTime; double seconds; int32_t frames; } cases[] = {
        {400000, 29 * 0.04, 29}, {333667, 300 * 0.0333667, 300}, {400000, 1.199, 29}};
    for (const auto& c : cases) {
        Graph g(MEDIASUBTYPE_Avi);
        g.AddStream(Video("xvid", 64, 48, 0, c.frameTime), c.seconds);
        g.AddStream(Wave(WAVE_FORMAT_PCM, 1, 8000, 16, 16000), c.seconds);
        Record r = Keep(Detect(g, true));
        ASSERT_NE(nullptr, r);
        EXPECT_EQ(c.frames, r->frameCount) << c.seconds;
        EXPECT_EQ(c.frames, r->audioStreams[0]->lengthInFrames) << c.seconds;
    }
}

TEST_F(MediaDetect, XvidAviWithMp3)
{
    // The values of tests/data/avi/xvid.avi as ffprobe gives them.
    Graph g(MEDIASUBTYPE_Avi);
    g.AddStream(Video("xvid", 640, 480, 606928), 1.04);
    g.AddStream(Wave(WAVE_FORMAT_MPEGLAYER3, 2, 44100, 0, 16000), 1.044898);
    g.mapper.names[Code("xvid")] = L"Test MPEG-4 Decoder";
    g.mapper.names[WAVE_FORMAT_MPEGLAYER3] = L"Test MP3 Decoder";
    std::string log;
    Record r = Keep(Detect(g, true, &log));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ("", log);
    EXPECT_STREQ("DVDrip (DivX)", r->kindName);
    EXPECT_EQ(25.0f, r->framesPerSecond);
    EXPECT_EQ(26, r->frameCount);
    ASSERT_EQ(1u, r->videoCount);
    ASSERT_EQ(1u, r->audioCount);
    EXPECT_EQ(26, r->videoStreams[0]->lengthInFrames);
    EXPECT_EQ(26, r->audioStreams[0]->lengthInFrames);
    EXPECT_EQ(0, r->selectedVideo);
    EXPECT_EQ(0, r->selectedAudio);
    EXPECT_STREQ("[AVI file]\r\nCompression: Test MPEG-4 Decoder\r\nFrames: 26\r\n"
                 "Frames per sec: 25.000\r\nLength in sec: 1\r\nResolution: 640x480\r\n"
                 "Color depth: 24 bits\r\nBit rate: 606kb/s\r\n\r\n[Audio stream]\r\n"
                 "Compression: Test MP3 Decoder\r\nSamples rate: 44100 Hz\r\nChannels: 2\r\n"
                 "Bit rate: 128kb/s\r\n",
                 r->reportText);
    EXPECT_EQ(std::wstring(L"C:\\films\\movie.avi"), g.detector.filename);
    // Each filter was walked once.
    EXPECT_EQ(1, g.source.walks);
    EXPECT_EQ(1, g.splitter.walks);
    EXPECT_EQ(1, g.renderer.walks);
}

TEST_F(MediaDetect, KindsWidthsAndCodecNames)
{
    // tests/data/avi/div3.avi: DivX family, 352 wide, PCM; no filter knows
    // DIV3 and Wine has no such codec.
    Graph g(MEDIASUBTYPE_Avi);
    g.AddStream(Video("DIV3", 352, 288, 470542), 1.0);
    g.AddStream(Wave(WAVE_FORMAT_PCM, 1, 22050, 16, 44100), 1.0);
    Record r = Keep(Detect(g, true));
    ASSERT_NE(nullptr, r);
    EXPECT_STREQ("DivX", r->kindName);
    EXPECT_STREQ("No codec installed (DIV3)", r->videoStreams[0]->compression);
    EXPECT_STREQ("Uncompressed (PCM)", r->audioStreams[0]->compression);
    EXPECT_EQ(352, r->audioStreams[0]->bitRate);
    EXPECT_EQ(16, r->audioStreams[0]->bitsPerSample);

    // The "DVDrip" width boundary, and a plain AVI outside the DivX family.
    auto kindOf = [this](const char* fourcc, LONG width, const GUID& container) {
        Graph g(container);
        g.AddStream(Video(fourcc, width, 240), 2.0);
        Record r = Keep(Detect(g, true));
        return std::string(r != NULL && r->kindName != NULL ? r->kindName : "(none)");
    };
    EXPECT_EQ("DVDrip (DivX)", kindOf("DivX", 400, MEDIASUBTYPE_Avi));
    EXPECT_EQ("DivX", kindOf("DivX", 399, MEDIASUBTYPE_Avi));
    EXPECT_EQ("Avi", kindOf("MJPG", 352, MEDIASUBTYPE_Avi));
    EXPECT_EQ("DVDrip (Avi)", kindOf("MJPG", 720, MEDIASUBTYPE_Avi));
    EXPECT_EQ("Ogg", kindOf("XVID", 352, kOggStream));  // DivX only in AVI

    // A codec Wine does have answers through Video for Windows.
    Graph cinepak(MEDIASUBTYPE_Avi);
    cinepak.AddStream(Video("cvid", 320, 240), 1.0);
    r = Keep(Detect(cinepak, true));
    ASSERT_NE(nullptr, r);
    HIC codec = ICOpen(ICTYPE_VIDEO, Code("cvid"), ICMODE_QUERY);
    if (codec != NULL) {
        ICINFO info = {};
        info.dwSize = sizeof(info);
        ICGetInfo(codec, &info, sizeof(info));
        ICClose(codec);
        char expected[256];
        WideCharToMultiByte(CP_ACP, 0, info.szDescription, -1, expected, sizeof(expected), NULL, NULL);
        EXPECT_STREQ(expected, r->videoStreams[0]->compression);
    }
    EXPECT_STRNE("No codec installed (cvid)", r->videoStreams[0]->compression);
}

TEST_F(MediaDetect, MpegKindsAndVorbisUnits)
{
    for (const GUID* container : {&MEDIASUBTYPE_MPEG1System, &MEDIASUBTYPE_MPEG1VideoCD}) {
        Graph g(*container);
        MPEG1VIDEOINFO mpeg = {};
        mpeg.hdr.AvgTimePerFrame = 400000;
        mpeg.hdr.dwBitRate = 1150000;
        mpeg.hdr.bmiHeader.biWidth = 352;
        mpeg.hdr.bmiHeader.biHeight = 288;
        g.AddStream(FakeType{MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo, Bytes(mpeg)},
                    2.0);
        g.AddStream(Video("MJPG", 720, 576), 2.0);  // not MPEG video: ignored
        g.AddStream(Wave(WAVE_FORMAT_MPEG, 2, 44100, 0, 28000), 2.0);
        g.mapper.names[MEDIASUBTYPE_MPEG1Payload.Data1] = L"Test MPEG Video";
        g.mapper.names[WAVE_FORMAT_MPEG] = L"Test MPEG Audio";
        Record r = Keep(Detect(g, true));
        ASSERT_NE(nullptr, r);
        bool vcd = container == &MEDIASUBTYPE_MPEG1VideoCD;
        EXPECT_STREQ(vcd ? "VCD" : "MPEG-1", r->kindName);
        ASSERT_EQ(1u, r->videoCount);
        EXPECT_EQ(1150, r->videoStreams[0]->bitRate);
        EXPECT_EQ(50, r->frameCount);
        EXPECT_EQ(224, r->audioStreams[0]->bitRate);
        EXPECT_EQ(0, std::string(r->reportText).find(vcd ? "[VCD file]\r\n" : "[MPEG-1 file]\r\n"));
    }

    // Vorbis: channels, rate and the average bits per second in KB/s.
    Graph g(kOggStream);
    DWORD fields[5] = {2, 48000, 0, 163840, 0};
    g.AddStream(FakeType{MEDIATYPE_Audio, Subtype(0x674F), kVorbisFormat, Bytes(fields)}, 3.0);
    g.mapper.names[0x674F] = L"Test Vorbis Decoder";
    Record r = Keep(Detect(g, true));
    ASSERT_NE(nullptr, r);
    EXPECT_STREQ("Ogg", r->kindName);
    EXPECT_EQ(-1, r->selectedVideo);
    EXPECT_EQ(2, r->audioStreams[0]->channels);
    EXPECT_EQ(48000, r->audioStreams[0]->sampleRate);
    EXPECT_EQ(20, r->audioStreams[0]->bitRate);
    EXPECT_STREQ("[Ogg AVI file]\r\n\r\n[Audio stream]\r\nCompression: Test Vorbis Decoder\r\n"
                 "Samples rate: 48000 Hz\r\nChannels: 2\r\nBit rate: 20kb/s\r\n",
                 r->reportText);
}

TEST_F(MediaDetect, UnknownStreamsAndShortFormatBlocks)
{
    // A named stream of no known format: refused in pass 0, kept in pass 1
    // with only its name; the video FourCC nobody knows is named as missing.
    for (bool first : {true, false}) {
        Graph g(MEDIASUBTYPE_Avi);
        FakeType odd = Video("ZZZZ", 1, 1);
        odd.format = GUID_NULL;
        odd.block.clear();
        g.AddStream(odd, 1.0);
        std::string log;
        Record r = Keep(Detect(g, first, &log));
        EXPECT_EQ("Unknown video stream\r\n", log);
        if (first) {
            EXPECT_EQ(nullptr, r);
            continue;
        }
        ASSERT_NE(nullptr, r);
        EXPECT_STREQ("No codec installed (ZZZZ)", r->videoStreams[0]->compression);
        EXPECT_EQ(0, r->videoStreams[0]->width);
    }
    // Nameless as well: refused in both passes.
    for (bool first : {true, false}) {
        Graph g(MEDIASUBTYPE_Avi);
        FakeType odd = Wave(0x7777, 2, 8000, 8, 1000);
        odd.format = GUID_NULL;
        g.AddStream(odd, 1.0);
        std::string log;
        EXPECT_EQ(nullptr, Keep(Detect(g, first, &log)));
        EXPECT_EQ("Unknown audio stream\r\nVery! Unknown audio stream\r\n", log);
    }

    // Blocks too short for their fields are not read past their end; a
    // zero frame time and a zero frames-per-block divide nothing.
    Graph g(MEDIASUBTYPE_Avi);
    FakeType shortVideo = Video("MJPG", 640, 480);
    shortVideo.block.resize(40);
    FakeType noFrameTime = Video("MJPG", 320, 240, 0, 0);
    MPEGLAYER3WAVEFORMAT mp3 = {};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.nBlockSize = 418;
    FakeType zeroFrames = Wave(WAVE_FORMAT_MPEGLAYER3, 2, 44100, 0, 0);
    zeroFrames.block = Bytes(mp3);  // nFramesPerBlock 0
    FakeType cut = zeroFrames;
    cut.block.resize(sizeof(WAVEFORMATEX));  // says 12 extra bytes, has none
    FakeType wma = Wave(0x161, 2, 44100, 16, 0);
    wma.block.resize(20);
    wma.block[19] = 16;
    FakeType wmaCut = wma;
    wmaCut.block.resize(19);
    for (const FakeType* t : {&shortVideo, &noFrameTime, &zeroFrames, &cut, &wma, &wmaCut})
        g.AddStream(*t, 1.0);
    g.mapper.names[Code("MJPG")] = L"Test MJPEG";
    Record r = Keep(Detect(g, false));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(0.0f, r->framesPerSecond);
    EXPECT_EQ(0, r->frameCount);
    ASSERT_EQ(2u, r->videoCount);
    EXPECT_EQ(0, r->videoStreams[0]->width);  // the short block gave a name only
    EXPECT_STREQ("Test MJPEG", r->videoStreams[0]->compression);
    EXPECT_EQ(320, r->videoStreams[1]->width);
    ASSERT_EQ(4u, r->audioCount);
    EXPECT_EQ(0, r->audioStreams[0]->bitRate);
    EXPECT_EQ(0, r->audioStreams[1]->bitRate);
    EXPECT_EQ(128, r->audioStreams[2]->bitRate);
    EXPECT_EQ(0, r->audioStreams[3]->bitRate);
    std::string report = r->reportText;
    EXPECT_EQ(0u, report.find("[AVI file]\r\nCompression: Test MJPEG\r\n\r\n[Audio stream]\r\n"))
        << report;
    EXPECT_EQ(std::string::npos, report.find("Frames")) << report;

    // With a frame rate, the MP3 block size per frame gives the rate.
    Graph rated(MEDIASUBTYPE_Avi);
    rated.AddStream(Video("MJPG", 320, 240), 1.0);
    mp3.nFramesPerBlock = 1;
    FakeType blockRate = zeroFrames;
    blockRate.block = Bytes(mp3);
    rated.AddStream(blockRate, 1.0);
    r = Keep(Detect(rated, true));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(133, r->audioStreams[0]->bitRate);  // 418 / 1 / 25 x 8
}

TEST_F(MediaDetect, FailuresReleaseEverything)
{
    auto failing = [this](const char* expectedLog, void (*spoil)(Graph&), bool first = true) {
        Graph g(MEDIASUBTYPE_Avi);
        g.AddStream(Video("MJPG", 320, 240), 1.0);
        spoil(g);
        std::string log;
        EXPECT_EQ(nullptr, Keep(Detect(g, first, &log))) << expectedLog;
        EXPECT_NE(std::string::npos, log.find(std::string(expectedLog) + "\r\n")) << log;
    };
    failing("Unable create IID_IMediaDet Instance", [](Graph&) { failDetector = true; });
    failDetector = false;
    failing("Unable create IID_IFilterMapper2 Instance", [](Graph&) { failMapper = true; });
    failMapper = false;
    failing("Unable to open file", [](Graph& g) { g.detector.openResult = E_FAIL; });
    failing("Unable to get used filter", [](Graph& g) { g.detector.source = NULL; });
    failing("file format is unknown",
            [](Graph& g) { g.source.pins[0]->type = StreamType(GUID_NULL); });
    failing("Unable to get media type", [](Graph& g) { g.splitter.pins[1]->hasType = false; });
    failing("Unable to get other end of pin", [](Graph& g) {
        g.splitter.pins[1]->peer = NULL;
        g.renderer.pins[0]->peer = NULL;
    });

    // Level-1 failures pass in the second pass; a loop in the graph ends,
    // each filter walked once.
    Graph loop(MEDIASUBTYPE_Avi);
    loop.AddStream(Video("MJPG", 320, 240), 1.0);
    loop.Connect(&loop.renderer, Video("MJPG", 320, 240), &loop.splitter);
    loop.splitter.pins[1]->peer = NULL;
    std::string log;
    Record r = Keep(Detect(loop, false, &log));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ("Unable to get other end of pin\r\n", log);
    EXPECT_EQ(1, loop.splitter.walks);

    // A mapper that fails leaves a note and the other look-ups.
    Graph noMapper(MEDIASUBTYPE_Avi);
    noMapper.AddStream(Video("QQQQ", 320, 240), 1.0);
    noMapper.mapper.fail = true;
    r = Keep(Detect(noMapper, true, &log));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ("Unable to look for mathing filters\r\n", log);
    EXPECT_STREQ("No codec installed (QQQQ)", r->videoStreams[0]->compression);
}

TEST_F(MediaDetect, ExtensionPassAndFolderRules)
{
    Graph g(MEDIASUBTYPE_Avi);
    g.AddStream(Video("MJPG", 320, 240), 1.0);
    theGraph = &g;
    auto asked = [](const char* dir, const char* ext, BYTE pass) {
        int before = detectorsMade;
        MediaFormat* r = ReadMediaDetectFile(dir, "movie", ext, pass);
        DeleteMediaFormat(&r);
        return detectorsMade > before;
    };
    EXPECT_TRUE(asked("C:\\films\\", ".AVI", 0));
    EXPECT_TRUE(asked("C:\\films\\", ".divx", 0));
    EXPECT_FALSE(asked("C:\\films\\", ".m2v", 0));
    EXPECT_TRUE(asked("C:\\films\\", ".m2v", 1));
    EXPECT_FALSE(asked("C:\\films\\", NULL, 0));
    EXPECT_TRUE(asked("C:\\films\\", NULL, 1));
    for (BYTE pass : {0, 1}) {
        EXPECT_FALSE(asked("D:\\MPEG2\\", ".mpg", pass));
        EXPECT_FALSE(asked("D:\\svcd\\mpeg2\\", ".DAT", pass));
        EXPECT_FALSE(asked("D:\\MPEG2\\", ".mpeg", pass));
        EXPECT_TRUE(asked("D:\\MPEG2\\", ".avi", pass));
    }
    EXPECT_FALSE(asked("D:\\MPEG2\\", NULL, 1));
    EXPECT_TRUE(asked("MPEG2\\", ".mpg", 0));  // too short to be such a folder
    EXPECT_EQ(nullptr, ReadMediaDetectFile(NULL, "movie", ".avi", 0));
    EXPECT_EQ(nullptr, ReadMediaDetectFile("C:\\", NULL, ".avi", 0));
    theGraph = NULL;
}

TEST(MediaDetectDll, RefusesATextFileQuietly)
{
    PluginFolder plugins("mediadetect.dll");
    ASSERT_EQ(1, plugins.manager.GetCount());
    PluginEntry* entry = plugins.manager.GetEntry(0);
    EXPECT_STREQ("Handels AVI and MPEG-1 files using DirectShow 7. Written by Tolvik.",
                 entry->PluginDesc());
    EXPECT_STREQ("|Avi file (*.avi)|*.avi|DivX file (*.divx)|*.divx|"
                 "MPEG-1 file (*.mpg, *.mpeg, *.dat)|*.mpg; *.mpeg; *.dat|",
                 entry->PluginFormats());

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "vistrel_text_" + std::to_string(GetCurrentProcessId()) + ".avi";
    std::ofstream(path) << "This is a text file, not a movie.\r\n";
    LogWatch watch;
    MediaFormat m;
    InitMediaFormat(m);
    EXPECT_FALSE(plugins.manager.ReadFileInfo(m, path.c_str()));  // asked in both passes
    std::string log = watch.Added();
    EXPECT_FALSE(log.empty());
    EXPECT_EQ("\r\n", log.substr(log.size() >= 2 ? log.size() - 2 : 0));
    ExpectNullOnEveryException(entry, FixtureDir("avi/xvid.avi"), "xvid", ".avi");
    EXPECT_EQ(0, plugins.NewBoxes());
    DeleteFileA(path.c_str());
}
