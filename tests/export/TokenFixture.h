// A small catalogue for the token engine and sort-key tests: a movie with
// two files, streams, IMDb information, cast and an open loan, and a bare
// movie without any of them. The clock stands still.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "export/TokenEngine.h"

class FixedClock : public ITokenClock {
public:
    FixedClock() : calls(0) {}
    void GetTime(SYSTEMTIME* now) override
    {
        calls++;
        *now = SYSTEMTIME();
        now->wYear = 2005;
        now->wMonth = 6;
        now->wDay = 7;
        now->wHour = 8;
        now->wMinute = 9;
        now->wSecond = WORD(10 + (advance ? calls : 0));
    }
    int calls;
    bool advance = false;
};

class FixedSettings : public ITokenSettings {
public:
    bool UseImdbRuntime() override { return imdbRuntime; }
    bool imdbRuntime = false;
};

struct FileShape {
    const char* folder;
    const char* name;
    int64_t size;
    int32_t frames;
    float fps;
    bool streams;
    const char* report;
};

inline DWORD AddMediaFile(const FileShape& shape)
{
    CMovieFile file;
    StrSet(&file.m_folder, shape.folder);
    StrSet(&file.m_fileName, shape.name);
    StrSet(&file.m_movieTitle, shape.name);
    file.m_size = shape.size;
    file.m_creationTime.wYear = 2003;
    file.m_creationTime.wMonth = 4;
    file.m_creationTime.wDay = 5;
    file.m_creationTime.wHour = 6;
    file.m_creationTime.wMinute = 7;

    MediaFormat format;
    InitMediaFormat(format);
    format.frameCount = shape.frames;
    format.framesPerSecond = shape.fps;
    format.reportText = const_cast<char*>(shape.report);
    VideoStreamInfo video;
    InitVideoStreamInfo(video);
    video.width = 640;
    video.height = 480;
    video.colourDepth = 24;
    video.compression = const_cast<char*>("DIVX");
    video.bitRate = 900;
    AudioStreamInfo audio;
    InitAudioStreamInfo(audio);
    audio.sampleRate = 44100;
    audio.bitsPerSample = 16;
    audio.channels = 2;
    audio.compression = const_cast<char*>("MP3");
    audio.bitRate = 128;
    VideoStreamInfo* videos[1] = {&video};
    AudioStreamInfo* audios[1] = {&audio};
    if (shape.streams) {
        format.videoStreams = videos;
        format.videoCount = 1;
        format.selectedVideo = 0;
        format.audioStreams = audios;
        format.audioCount = 1;
        format.selectedAudio = 0;
    }
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&format);  // a deep copy
    return theCollection.AddFile(&file);
}

class TokenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        theCollection.Clear();
        SetTokenClock(&clock);
        SetTokenSettings(&settings);

        // 3600 s and 1800 s.
        DWORD first = AddMediaFile({"\\movies", "a.avi", 734003200, 90000, 25.0f, true, "AVI report"});
        DWORD second = AddMediaFile({"movies\\", "b.avi", 524288, 45000, 25.0f, false, NULL});

        full.m_id = 42;
        StrSet(&full.m_title, "The Matrix");
        StrSet(&full.m_mediaTypeName, "Avi");
        StrSet(&full.m_language, "English");
        StrSet(&full.m_subtitles, "Swedish");
        full.m_hasSubtitles = 1;
        full.m_seen = 1;
        full.m_fileIds = {first, second};
        full.m_imdbInfo.reset(new CImdbInfo);
        CImdbInfo& info = *full.m_imdbInfo;
        info.m_rating = 7.3;
        StrSet(&info.m_plot, "Neo wakes.");
        StrSet(&info.m_genre, "Sci-Fi");
        StrSet(&info.m_tagline, "Free your mind");
        StrSet(&info.m_comment, "Good");
        StrSet(&info.m_country, "USA");
        StrSet(&info.m_director, "The Wachowskis");
        StrSet(&info.m_address, "http://example.org/tt1");
        info.m_year = 1999;
        info.m_runtime = 136;
        info.m_cover = {1, 2, 3};
        StrSet(&info.m_coverType, "jpg");
        info.AddCastEntry("Keanu Reeves", "Neo");
        info.AddCastEntry("Carrie-Anne Moss", "Trinity");
        ASSERT_EQ(42u, theCollection.AddMovie(&full, true));

        bare.m_id = 43;
        StrSet(&bare.m_title, "Bare");
        StrSet(&bare.m_subtitles, "Finnish");  // the flag is not set
        ASSERT_EQ(43u, theCollection.AddMovie(&bare, true));

        CPerson person;
        StrSet(&person.m_name, "Anna");
        CLoan returned;
        returned.m_movieId = 43;
        returned.m_borrowed.m_time.wYear = 2001;
        returned.m_returned.m_time.wYear = 2002;
        CLoan open;
        open.m_movieId = 42;
        open.m_borrowed.m_time.wYear = 2004;
        open.m_borrowed.m_time.wMonth = 2;
        open.m_borrowed.m_time.wDay = 3;
        person.m_loans = {returned, open};
        theCollection.AddPerson(&person);
    }

    void TearDown() override
    {
        SetTokenClock(NULL);
        SetTokenSettings(NULL);
        theCollection.Clear();
    }

    static std::string Expand(const char* text, const CMovie* movie, int32_t number = -1,
                              const char* prefix = NULL, const char* noCover = NULL)
    {
        char* work = NULL;
        StrSet(&work, text);
        ExpandScriptTokens(&work, movie, number, prefix, noCover);
        std::string result = work ? work : "(null)";
        free(work);
        return result;
    }

    FixedClock clock;
    FixedSettings settings;
    CMovie full;
    CMovie bare;
};
