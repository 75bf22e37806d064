// Helpers of the timing programs: a clock reading and the media information
// of a stored test file.
#pragma once

#include <chrono>
#include <cstdlib>

#include "core/MediaFormat.h"
#include "core/MediaFormatInfo.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"

typedef std::chrono::steady_clock BenchClock;

inline double SecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

// Gives the file an "AVI" format at 25 frames per second with one video
// stream of the width (and three quarters of it as height).
inline void SetAviFormat(CMovieFile& file, int32_t width)
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
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&format);
    FreeMediaFormat(format);
}
