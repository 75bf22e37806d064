// Describing a DVD-Video folder: every title set's length, programs and
// streams from the IFO files (parsed by libdvdread), the title set that
// holds the main movie picked by a weighted score, and its video, audio and
// subtitle attributes as a plug-in record with its report. Portable; the
// plug-in's exports open the folder and evaluate the pre-commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_types.h>

#include "core/MediaFormat.h"

// One title set of the video manager.
struct DvdTitleSetRow {
    int32_t length = 0;           // seconds, merged over its program chains
    int32_t programs = 0;         // of its first program chain
    int32_t subtitleCount = 0;
    int32_t audioCount = 0;
    float framesPerSecond = 0;    // 25, 29.97 or 0
};

// The largest value added so far and the rows that have it.
struct TopValueSet {
    uint32_t top = 0;
    std::vector<size_t> rows;
    void Add(uint32_t value, size_t row);
    bool Holds(size_t row) const;
};

struct DvdVideoInfo {
    std::string compression, tvSystem, aspectRatio, displayMode;
    int32_t width = 0, height = 0;
};

struct DvdAudioInfo {
    std::string language, description, application, quantization, caption;
    int coding = 0;
    int32_t sampleRate = 0;
    int channels = 0;
};

struct DvdSubtitleInfo {
    std::string language, description;
    int code = 0;   // the language or code extension that chose the description
};

// What the report and record of the chosen title set are made of.
struct DvdTitleSummary {
    std::string region;
    DvdVideoInfo video;
    DvdTitleSetRow row;
    std::vector<DvdAudioInfo> audio;
    std::vector<DvdSubtitleInfo> subtitles;
};

// Regions from the manager's region byte (bit n-1 set: region n barred).
std::string RegionText(uint8_t regionByte);

// Hours, minutes and seconds of a playback time (binary-coded decimal);
// frames are not counted.
int32_t PlaybackSeconds(const dvd_time_t& time);

// 25 or 29.97 by the frame-rate bits of a playback time, else 0.
float PlaybackFrameRate(const dvd_time_t& time);

// Adds one program chain's time to a title set's length: far apart or short
// chains add up, two near ones are taken for versions of one movie and meet
// halfway. Limited to the int32 range.
int32_t MergeLength(int32_t length, int64_t chain);

// The time of one program chain: its cells in order up to and including the
// first one whose block mode is 3 (the end of an angle block).
int64_t ChainSeconds(const pgc_t& chain);

// The index of the title set that holds the main movie; 0 for none.
size_t ChooseTitleSet(const std::vector<DvdTitleSetRow>& rows);

DvdVideoInfo DescribeVideo(const video_attr_t& video);
DvdAudioInfo DescribeAudio(const audio_attr_t& audio);
// All subtitle streams, with the hearing-impaired rule applied.
std::vector<DvdSubtitleInfo> DescribeSubtitles(const subp_attr_t* streams, int count);

// Equal streams reduced to one; audio by channels, most first; subtitles
// without a description first and "No language specified" last.
void MergeAudio(std::vector<DvdAudioInfo>& audio);
void MergeSubtitles(std::vector<DvdSubtitleInfo>& subtitles);

// The plug-in's record with its report; NULL when memory runs out.
MediaFormat* MakeDvdRecord(const DvdTitleSummary& summary);

// True when a chain's pre-commands end in a jump away; NULL never jumps.
typedef bool (*PreCommandsJumpFn)(const vm_cmd_t* commands, int count);

// Reads the opened folder's video manager and title sets; NULL (with the
// log line) when the manager has no title set.
MediaFormat* ReadDvdTitles(dvd_reader_t* dvd, PreCommandsJumpFn preCommandsJump);
