// Runs the media identifier tool "vidscan" for one file as a hidden child
// process and turns its report into a MediaFormat record. The report parser
// is portable; running the tool needs Windows.
//
// A report line is a 15-character label part (the label right-aligned in
// 12 characters, ":" and two blanks) and its value:
//
//    File Format:  Audio-Video Interleaved (AVI)
//       Content:  Video and Audio
//      Duration:  1 hr 2 min 3 sec
//     Data Rate:  1016 kbps (ave)
//    Video Info:  640 x 480, 25 fps
//    Audio Info:  44100 Hz, 128.0 kbps, stereo
//  Video Format:  DivX 5
//  Audio Format:  MPEG Layer-3
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/MediaFormat.h"

#ifdef _WIN32
#include <windows.h>
#endif

// What one report tells beyond single lines.
struct ReportParseState {
    int32_t seconds;      // from the Duration line, in whole seconds
    float dataRate;       // kbps, from the Data Rate line
    // The record's reportText grows by doubling, so a long report is not
    // copied again for each line: its length and buffer size.
    size_t textLength;
    size_t textCapacity;  // 0 until the first line is added

    ReportParseState() : seconds(0), dataRate(0), textLength(0), textCapacity(0) {}
};

class CToolRunner {
public:
    CToolRunner();
    virtual ~CToolRunner() {}

#ifdef _WIN32
    // Runs the tool on path and parses its report; NULL on any failure: no
    // program folder, no pipes, no process, a time-out or an exit code
    // other than 0. The record is allocated here and freed by FreeFormat.
    MediaFormat* Run(const char* path);
#endif

    // Applies one report line to the record: lines of 16 or more
    // characters go into reportText, and the labels above set the kind,
    // the streams and their values.
    static void ParseReportLine(MediaFormat& record, const char* line, ReportParseState& state);

    // The tool's output kept at most; the rest is read and dropped.
    static const size_t kOutputLimit = 1024 * 1024;

    // The wait for the tool, 120 seconds unless changed.
    uint32_t timeoutMs;
    // The folder of the host program, whose "plugins" folder holds the
    // tool; empty when it could not be found.
    std::string programFolder;
};

// Cuts the next line out of output[0, length) from position on. A line
// ends at CR or LF; CR LF and LF CR count as one line end; the last line
// ends at the end of the output. False when position is at the end.
bool NextReportLine(const char* output, size_t length, size_t& position, std::string& line);

// Splits text at every occurrence of separator. The rest after the last
// separator is the final part, so there is always at least one part; an
// empty separator gives the whole text.
int SplitString(const char* text, const char* separator, std::vector<std::string>& parts);
