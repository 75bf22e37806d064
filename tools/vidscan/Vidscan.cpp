#include "tools/vidscan/Vidscan.h"

#include <cstdio>

#include "tools/vidscan/ConsoleText.h"
#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"
#include "tools/vidscan/ReportPrinter.h"

namespace {

const char kUsage[] =
    "Vidscan, Movie File Identifier, Version 1.02\n"
    "Tells what an AVI, ASF, QuickTime, RealMedia or MPEG file holds.\n"
    "\n"
    "VIDSCAN filename\n";

// Files from 2^31 bytes on are refused.
const int64_t kLengthLimit = int64_t(1) << 31;

} // namespace

int RunVidscan(int argc, const char* const* argv, std::string& out)
{
    ScanContext scan;
    const char* fileName;
    if (!ParseCommandLine(argc, argv, scan.options, &fileName)) {
        out += kUsage;
        return 0;
    }
    FILE* file = fopen(fileName, "rb");
    if (file == NULL) {
        AppendFormat(out, "Can't open file \"%s\".\n", fileName);
        return 1;
    }
    // A length that cannot be read passes; the reads then find the end.
    int64_t length = StreamLength(file);
    if (length >= kLengthLimit) {
        out += "File is too big.  Can't handle files over 2GB.\n";
        fclose(file);
        return 1;
    }

    PrintFileNameLine(ReportFileName(fileName, scan.options.asciiTexts), out);
    if (length == 0) {
        out += "\n File Format:  empty file\n";
        fclose(file);
        return 0;
    }
    CCodecList codecs(argc > 0 ? argv[0] : NULL);
    scan.file = file;
    scan.length = length > 0 ? length : kLengthLimit - 1;
    scan.codecs = &codecs;
    static FileReport report;
    if (DetectFile(scan, report))
        PrintReport(report, out);
    else
        out += "\n File Format:  unknown\n";
    fclose(file);
    return 0;
}
