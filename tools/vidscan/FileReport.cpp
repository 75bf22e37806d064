#include "tools/vidscan/FileReport.h"

#include <cmath>

void FileReport::Clear()
{
    ClearCodecRecord(container);
    hasVideo = false;
    hasAudio = false;
    duration = 0;
    bytesPerSecond = 0;
    width = 0;
    height = 0;
    framesPerSecond = 0;
    sampleRate = 0;
    audioBytesPerSecond = 0;
    channels = 0;
    hasVideoFourCC = false;
    videoFourCC = 0;
    hasAudioId = false;
    audioId = 0;
    ClearCodecRecord(videoCodec);
    ClearCodecRecord(audioCodec);
    descriptions.clear();
}

double SaneDuration(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

int32_t DoubleToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return int32_t(value);
}

int32_t ClampToInt32(uint32_t value)
{
    return value > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(value);
}
