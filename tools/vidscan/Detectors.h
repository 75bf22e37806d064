// The detectors of the media identifier, asked in this order: ASCII text,
// AVI, ASF, RealMedia, QuickTime, MPEG. Each clears the report, reads the
// file from its start and returns true when the file is of its kind; what
// it found so far stands when a structure is cut short or a read fails.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tools/vidscan/CodecList.h"
#include "tools/vidscan/FileReport.h"
#include "tools/vidscan/Options.h"

struct ScanContext {
    FILE* file;
    int64_t length;               // the file's length in bytes
    VidscanOptions options;
    const CCodecList* codecs;     // NULL: no codec names
};

bool DetectAsciiText(const ScanContext& scan, FileReport& report);
bool DetectAvi(const ScanContext& scan, FileReport& report);
bool DetectAsf(const ScanContext& scan, FileReport& report);
bool DetectRealMedia(const ScanContext& scan, FileReport& report);
bool DetectQuickTime(const ScanContext& scan, FileReport& report);
bool DetectMpeg(const ScanContext& scan, FileReport& report);

// Runs the detectors in order; false when none knows the file.
bool DetectFile(const ScanContext& scan, FileReport& report);

// Fills a codec block from the codec list; a later stream of a kind
// replaces what an earlier one found.
void LookupCodecName(const ScanContext& scan, const char* className, uint32_t id,
                     CodecRecord& record);

// The container block shared by the formats of one maker.
void SetContainer(FileReport& report, const char* name, const char* code, const char* author,
                  const char* webSite);
