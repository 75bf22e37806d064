// Archives from memory: open, read every header, extract every member to a
// scratch folder; only the library's own exceptions may come out.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "classlib/Exception.h"
#include "setup/ZipContainer.h"
#include "setup/ZipException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = "/tmp/vistrel-fuzz-zip-" + std::to_string(getpid());
    uint8_t* copy = static_cast<uint8_t*>(malloc(size ? size : 1));
    memcpy(copy, data, size);
    CZipMemoryFile file(copy, uint32_t(size), 1024, true);
    CZipContainer zip;
    try {
        zip.Open(file, CZipContainer::zipOpenReadOnly);
        zip.SetPassword("pw");
        CZipEntryHeader header;
        for (int i = 0; i < zip.GetCount(); i++) {
            zip.GetEntryInfo(i, header);
            try {
                zip.ExtractEntry(i, folder, true, nullptr, nullptr, nullptr, 4096);
            } catch (const CZipException&) {
            } catch (const CFileException&) {
            }
        }
        zip.Close();
    } catch (const CZipException&) {
    } catch (const CFileException&) {
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
