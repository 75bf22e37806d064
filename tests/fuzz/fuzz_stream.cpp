// Feeds arbitrary bytes to the stream readers. Each step reads a one-byte
// opcode from the stream and then the value it names, until a read fails.
// Odd first bytes go through a real temporary file, even ones through a
// memory stream.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/ErrorBox.h"
#include "core/StreamIo.h"

namespace {

void ReadAll(FILE* f)
{
    char* text = NULL;
    BYTE* block = NULL;
    DWORD blockLength = 0;
    for (;;) {
        BYTE op = 0;
        if (!ReadU8(f, &op))
            break;
        bool ok = true;
        BYTE u8;
        WORD u16;
        DWORD u32;
        double d;
        BYTE raw[16];
        switch (op % 9) {
        case 0: ok = ReadU8(f, &u8); break;
        case 1: ok = ReadU16(f, &u16); break;
        case 2: ok = ReadU32(f, &u32); break;
        case 3: ok = ReadString(f, &text); break;
        case 4: ok = ReadBlock(f, &block, &blockLength); break;
        case 5: ok = ReadDouble(f, &d); break;
        case 6: ok = ReadBlock32(f, &u32); break;
        case 7: ok = ReadBytes(f, raw, op % 17); break;
        default: break;
        }
        if (!ok)
            break;
    }
    free(text);
    free(block);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetErrorBoxRecording(true);
    if (size < 2)
        return 0;
    FILE* f = NULL;
    if (data[0] & 1) {
        f = tmpfile();
        if (f == NULL)
            return 0;
        fwrite(data + 1, 1, size - 1, f);
        rewind(f);
    } else {
        f = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
        if (f == NULL)
            return 0;
    }
    ReadAll(f);
    fclose(f);
    return 0;
}
