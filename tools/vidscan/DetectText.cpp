// Plain ASCII text: tabs, line ends and the printable characters only.
#include <vector>

#include "tools/vidscan/Detectors.h"
#include "tools/vidscan/MediaStream.h"

bool DetectAsciiText(const ScanContext& scan, FileReport& report)
{
    report.Clear();
    if (!StreamSeek(scan.file, 0))
        return false;
    std::vector<unsigned char> block(65536);
    int64_t total = 0;
    size_t got;
    while ((got = fread(block.data(), 1, block.size(), scan.file)) > 0) {
        for (size_t i = 0; i < got; i++) {
            unsigned char c = block[i];
            if (!(c == 9 || c == 10 || c == 13 || (c >= 32 && c <= 126)))
                return false;
        }
        total += int64_t(got);
    }
    // A read error is no proof of text.
    if (ferror(scan.file) || total == 0)
        return false;
    SetCodecField(report.container.name, "ASCII Text");
    return true;
}
