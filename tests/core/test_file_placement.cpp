// Placing new files: the first stored movie that accepts a file gets it,
// a file that fits none gets a movie of its own, a given movie takes it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/FilePlacement.h"
#include "core/MediaFormat.h"
#include "core/MediaFormatInfo.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

DWORD StoreFile(const char* title, int32_t width, int32_t part = -1)
{
    MediaFormat format;
    InitMediaFormat(format);
    StrSet(&format.kindName, "AVI");
    format.framesPerSecond = 25.0f;
    VideoStreamInfo* video = static_cast<VideoStreamInfo*>(malloc(sizeof(VideoStreamInfo)));
    InitVideoStreamInfo(*video);
    video->width = width;
    video->height = width * 3 / 4;
    format.videoStreams = static_cast<VideoStreamInfo**>(malloc(sizeof(VideoStreamInfo*)));
    format.videoStreams[0] = video;
    format.videoCount = 1;
    format.selectedVideo = 0;
    CMovieFile file;
    StrSet(&file.m_movieTitle, title);
    StrSet(&file.m_fileName, "f.avi");
    file.m_partNumber = part;
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&format);
    FreeMediaFormat(format);
    return theCollection.AddFile(&file);
}

std::vector<DWORD> FilesOf(DWORD movieId)
{
    CMovie* movie = theCollection.GetMovieCopy(movieId);
    std::vector<DWORD> ids = movie != NULL ? movie->m_fileIds : std::vector<DWORD>();
    theCollection.ReleaseMovieCopy(&movie);
    return ids;
}

} // namespace

TEST(FilePlacement, FirstAcceptingMovieOrANewOne)
{
    theCollection.Clear();
    DWORD cd1 = StoreFile("Show", 352, 1);
    DWORD cd2 = StoreFile("Show", 352, 2);
    DWORD other = StoreFile("Other film", 352);
    DWORD big = StoreFile("Show 640", 640);

    DWORD first = PlaceNewFile(cd1, NULL);
    ASSERT_NE(NO_ID, first);
    EXPECT_EQ(first, PlaceNewFile(cd2, NULL));
    EXPECT_EQ((std::vector<DWORD>{cd1, cd2}), FilesOf(first));
    DWORD second = PlaceNewFile(other, NULL);
    EXPECT_NE(first, second);
    // A title that matches but for a number, another resolution: a movie
    // of its own.
    DWORD third = PlaceNewFile(big, NULL);
    EXPECT_NE(first, third);
    EXPECT_NE(second, third);
    EXPECT_EQ(3u, theCollection.GetMovieCount());

    // A given movie takes the file whatever it is.
    DWORD extra = StoreFile("Unrelated", 800);
    CMovie* given = theCollection.GetMovieCopy(second);
    EXPECT_EQ(second, PlaceNewFile(extra, given));
    EXPECT_EQ(2u, given->m_fileIds.size());
    theCollection.ReleaseMovieCopy(&given);
    EXPECT_EQ(3u, theCollection.GetMovieCount());
    theCollection.Clear();
}
