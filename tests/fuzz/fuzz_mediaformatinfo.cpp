// Feeds arbitrary bytes to the media information readers. The first byte
// picks the record: the version 11/12 encoding, or one of the older AVI,
// MPEG and DVD records under a file version that changes its layout; the
// second byte is the media-type code. A current record that reads back must
// write and read again to an equal record.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/ErrorBox.h"
#include "core/MediaFormatInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (SetErrorBoxRecording(true), true);
    (void)quiet;
    if (size < 2)
        return 0;

    struct Mode {
        int version;
        bool avi, mpeg, ifo;
    };
    static const Mode modes[] = {
        {12, false, false, false}, {5, true, false, false}, {10, false, true, false},
        {6, false, false, true},   {8, false, false, true}, {9, false, false, true},
    };
    const Mode& mode = modes[data[0] % (sizeof(modes) / sizeof(modes[0]))];
    DWORD code = data[1];

    FILE* in = tmpfile();
    if (in == NULL)
        return 0;
    fwrite(data + 2, 1, size - 2, in);
    rewind(in);
    CMediaFormatInfo info;
    bool ok = info.Read(in, mode.version, code, mode.avi, mode.mpeg, mode.ifo);
    fclose(in);
    if (!ok)
        return 0;

    // Every reader leaves a consistent record: selected streams exist or
    // are absent, the report (when any) is a complete text.
    info.GetVideoStream();
    info.GetAudioStream();
    info.IsDvd();
    info.IsVcd();

    FILE* out = tmpfile();
    if (out == NULL)
        return 0;
    if (!info.Write(out))
        abort();
    rewind(out);
    CMediaFormatInfo again;
    if (!again.Read(out, 12, 0, false, false, false))
        abort();
    fclose(out);
    // A frame rate that is not a number never compares equal, even to itself.
    if (!std::isnan(info.GetFormat()->framesPerSecond) && !info.IsSameAs(again))
        abort();
    return 0;
}
