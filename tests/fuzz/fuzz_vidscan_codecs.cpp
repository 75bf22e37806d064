// The codec list reader on a list from memory: entries looked up by number,
// by FourCC and by class alone, and a body read from the start.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/vidscan/CodecList.h"
#include "tools/vidscan/FileReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string list(reinterpret_cast<const char*>(data), size);
    FILE* file = fmemopen(&list[0], list.size() + 1, "r");
    if (file == NULL)
        return 0;
    CodecRecord record;
    const struct {
        const char* className;
        uint32_t id;
    } lookups[] = {{"msaud", 0x55}, {"msvid", FourCC("XVID")}, {"qtaud", FourCC("twos")}};
    for (const auto& lookup : lookups) {
        rewind(file);
        ClearCodecRecord(record);
        FindCodecEntry(file, lookup.className, lookup.id, record);
        if (memchr(record.notes, 0, sizeof(record.notes)) == NULL)
            __builtin_trap();
    }
    rewind(file);
    ReadCodecEntry(file, record);
    fclose(file);
    return 0;
}
