// Feeds arbitrary bytes to the IMDb information reader. The first byte picks
// the file version; the rest is the record. Whatever reads back must write
// and read again to an equal record.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/ErrorBox.h"
#include "core/ImdbInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (SetErrorBoxRecording(true), true);
    (void)quiet;
    if (size < 1)
        return 0;
    int version = data[0] % 13;
    FILE* in = tmpfile();
    if (in == NULL)
        return 0;
    fwrite(data + 1, 1, size - 1, in);
    rewind(in);
    CImdbInfo info;
    bool ok = info.Read(in, version);
    fclose(in);
    if (!ok)
        return 0;

    FILE* out = tmpfile();
    if (out == NULL)
        return 0;
    if (!info.Write(out))
        abort();
    rewind(out);
    CImdbInfo again;
    if (!again.Read(out, 12))
        abort();
    fclose(out);
    // A rating that is not a number never compares equal, even to itself.
    if (!std::isnan(info.m_rating) && info.IsDifferent(again))
        abort();
    return 0;
}
