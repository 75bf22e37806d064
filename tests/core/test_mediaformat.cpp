#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/MediaFormat.h"
#include "core/StrUtil.h"

namespace {

AudioStreamInfo* NewAudio(int32_t rate, const char* language, const char* compression)
{
    AudioStreamInfo* s = (AudioStreamInfo*)malloc(sizeof(AudioStreamInfo));
    InitAudioStreamInfo(*s);
    s->sampleRate = rate;
    s->bitsPerSample = 16;
    s->channels = 2;
    s->lengthInFrames = 1000;
    s->bitRate = 192;
    StrSet(&s->language, language);
    StrSet(&s->compression, compression);
    return s;
}

VideoStreamInfo* NewVideo(int32_t width, int32_t height, const char* compression)
{
    VideoStreamInfo* s = (VideoStreamInfo*)malloc(sizeof(VideoStreamInfo));
    InitVideoStreamInfo(*s);
    s->width = width;
    s->height = height;
    s->colourDepth = 24;
    s->lengthInFrames = 1000;
    s->bitRate = 900;
    StrSet(&s->compression, compression);
    return s;
}

// A record like a plug-in would return: two audio streams with a NULL slot
// between them, one video stream, two subtitles (one NULL).
void FillSample(MediaFormat& m)
{
    InitMediaFormat(m);
    m.frameCount = 1000;
    m.framesPerSecond = 25.0f;
    StrSet(&m.kindName, "Avi");
    StrSet(&m.reportText, "[AVI file]\r\n");
    m.audioStreams = (AudioStreamInfo**)calloc(3, sizeof(AudioStreamInfo*));
    m.audioStreams[0] = NewAudio(44100, "English", "MP3");
    m.audioStreams[2] = NewAudio(48000, "German", "AC3");
    m.audioCount = 3;
    m.selectedAudio = 1;
    m.videoStreams = (VideoStreamInfo**)calloc(1, sizeof(VideoStreamInfo*));
    m.videoStreams[0] = NewVideo(640, 480, "DivX");
    m.videoCount = 1;
    m.selectedVideo = 0;
    m.subtitleTexts = (char**)calloc(2, sizeof(char*));
    StrSet(&m.subtitleTexts[0], "French");
    m.subtitleCount = 2;
}

TEST(MediaFormat, InitAndFreeLeaveTheInitialState)
{
    MediaFormat m;
    memset(&m, 0x5A, sizeof(m));
    InitMediaFormat(m);
    EXPECT_EQ(-1, m.selectedVideo);
    EXPECT_EQ(-1, m.selectedAudio);
    EXPECT_EQ(nullptr, m.kindName);
    EXPECT_EQ(0u, m.subtitleCount);

    FillSample(m);
    FreeMediaFormat(m);
    MediaFormat initial;
    InitMediaFormat(initial);
    EXPECT_EQ(0, memcmp(&initial, &m, sizeof(m)));
}

TEST(MediaFormat, CopyDropsNullSlotsAndKeepsEachStreamsFields)
{
    MediaFormat src, dest;
    FillSample(src);
    InitMediaFormat(dest);
    StrSet(&dest.kindName, "old");  // replaced, not leaked

    CopyMediaFormat(dest, src);
    ASSERT_EQ(2u, dest.audioCount);
    EXPECT_EQ(44100, dest.audioStreams[0]->sampleRate);
    EXPECT_STREQ("English", dest.audioStreams[0]->language);
    EXPECT_EQ(48000, dest.audioStreams[1]->sampleRate);
    EXPECT_STREQ("AC3", dest.audioStreams[1]->compression);
    EXPECT_EQ(1, dest.selectedAudio);
    ASSERT_EQ(1u, dest.videoCount);
    EXPECT_EQ(640, dest.videoStreams[0]->width);
    EXPECT_NE(src.videoStreams[0]->compression, dest.videoStreams[0]->compression);
    ASSERT_EQ(2u, dest.subtitleCount);
    EXPECT_STREQ("French", dest.subtitleTexts[0]);
    EXPECT_EQ(nullptr, dest.subtitleTexts[1]);
    EXPECT_STREQ("Avi", dest.kindName);
    EXPECT_EQ(25.0f, dest.framesPerSecond);

    FreeMediaFormat(src);
    FreeMediaFormat(dest);
}

TEST(MediaFormat, CopyBringsSelectionsBackIntoRange)
{
    MediaFormat src, dest;
    FillSample(src);
    InitMediaFormat(dest);

    src.selectedAudio = 3;  // past the two real streams
    src.selectedVideo = -1;
    CopyMediaFormat(dest, src);
    EXPECT_EQ(0, dest.selectedAudio);
    EXPECT_EQ(-1, dest.selectedVideo);

    // Only NULL slots: nothing copied, no selection, no array.
    AudioStreamInfo* first = src.audioStreams[0];
    AudioStreamInfo* last = src.audioStreams[2];
    src.audioStreams[0] = src.audioStreams[2] = NULL;
    CopyMediaFormat(dest, src);
    EXPECT_EQ(0u, dest.audioCount);
    EXPECT_EQ(nullptr, dest.audioStreams);
    EXPECT_EQ(-1, dest.selectedAudio);
    src.audioStreams[0] = first;
    src.audioStreams[2] = last;

    FreeMediaFormat(src);
    FreeMediaFormat(dest);
}

TEST(MediaFormat, DiffersOnEveryCompareField)
{
    MediaFormat a, b;
    FillSample(a);
    a.audioStreams[1] = NewAudio(8000, NULL, NULL);  // no NULL slots, so a copy matches
    InitMediaFormat(b);
    CopyMediaFormat(b, a);
    EXPECT_FALSE(MediaFormatDiffers(&a, &b));
    EXPECT_FALSE(MediaFormatDiffers(NULL, NULL));
    EXPECT_TRUE(MediaFormatDiffers(&a, NULL));
    EXPECT_TRUE(MediaFormatDiffers(NULL, &b));

    b.videoStreams[0]->lengthInFrames++;
    EXPECT_TRUE(MediaFormatDiffers(&a, &b));
    b.videoStreams[0]->lengthInFrames--;
    b.audioStreams[2]->lengthInFrames++;
    EXPECT_TRUE(MediaFormatDiffers(&a, &b));
    b.audioStreams[2]->lengthInFrames--;
    b.framesPerSecond = 25.001f;
    EXPECT_TRUE(MediaFormatDiffers(&a, &b));
    b.framesPerSecond = a.framesPerSecond;
    StrSet(&b.subtitleTexts[0], "french");
    EXPECT_TRUE(MediaFormatDiffers(&a, &b));
    StrSet(&b.subtitleTexts[0], "French");

    // NULL and empty texts are the same, in either order.
    StrSet(&b.subtitleTexts[1], "");
    free(a.reportText);
    a.reportText = NULL;
    StrSet(&b.reportText, "");
    EXPECT_FALSE(MediaFormatDiffers(&a, &b));
    EXPECT_FALSE(MediaFormatDiffers(&b, &a));

    // A NULL stream differs from a present one; two NULL streams match.
    AudioStreamInfo* kept = a.audioStreams[1];
    a.audioStreams[1] = NULL;
    EXPECT_TRUE(MediaFormatDiffers(&a, &b));
    EXPECT_TRUE(AudioStreamDiffers(NULL, kept));
    EXPECT_FALSE(AudioStreamDiffers(NULL, NULL));
    EXPECT_FALSE(VideoStreamDiffers(NULL, NULL));
    a.audioStreams[1] = kept;

    FreeMediaFormat(a);
    FreeMediaFormat(b);
}

}  // namespace
