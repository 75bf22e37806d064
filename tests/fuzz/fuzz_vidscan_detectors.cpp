// Every container detector of the media identifier on a file from memory,
// then the report of what it found. The first byte picks the option values.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/ReportPrinter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    ScanContext scan;
    scan.options.atomLimit = data[0] & 7;
    scan.options.embeddedSearchBytes = (data[0] & 8) ? 0 : 4096;
    scan.options.tailScanBytes = (data[0] & 16) ? 7 : 262144;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    scan.file = fmemopen(&bytes[0], bytes.size() + 1, "rb");
    if (scan.file == NULL)
        return 0;
    scan.length = int64_t(bytes.size());
    scan.codecs = NULL;
    static bool (*const detectors[])(const ScanContext&, FileReport&) = {
        DetectAsciiText, DetectAvi, DetectAsf, DetectRealMedia, DetectQuickTime, DetectMpeg};
    FileReport report;
    for (auto detect : detectors) {
        if (detect(scan, report)) {
            std::string out;
            PrintReport(report, out);
        }
    }
    fclose(scan.file);
    return 0;
}
