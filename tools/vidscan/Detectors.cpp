#include "tools/vidscan/Detectors.h"

bool DetectFile(const ScanContext& scan, FileReport& report)
{
    static bool (*const detectors[])(const ScanContext&, FileReport&) = {
        DetectAsciiText, DetectAvi, DetectAsf, DetectRealMedia, DetectQuickTime, DetectMpeg};
    for (auto detect : detectors) {
        if (detect(scan, report))
            return true;
    }
    report.Clear();
    return false;
}

void LookupCodecName(const ScanContext& scan, const char* className, uint32_t id,
                     CodecRecord& record)
{
    ClearCodecRecord(record);
    if (scan.codecs != NULL)
        scan.codecs->LookupCodec(className, id, record);
}

void SetContainer(FileReport& report, const char* name, const char* code, const char* author,
                  const char* webSite)
{
    SetCodecField(report.container.name, name);
    SetCodecField(report.container.code, code);
    SetCodecField(report.container.author, author);
    SetCodecField(report.container.webSite, webSite);
}
