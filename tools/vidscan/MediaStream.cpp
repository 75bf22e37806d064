#include "tools/vidscan/MediaStream.h"

#ifndef _WIN32
#include <sys/types.h>
#endif

int64_t StreamTell(FILE* file)
{
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

bool StreamSeek(FILE* file, int64_t position)
{
    if (position < 0)
        return false;
#ifdef _WIN32
    return _fseeki64(file, position, SEEK_SET) == 0;
#else
    return fseeko(file, off_t(position), SEEK_SET) == 0;
#endif
}

int64_t StreamLength(FILE* file)
{
    int64_t here = StreamTell(file);
    if (here < 0)
        return -1;
#ifdef _WIN32
    bool ended = _fseeki64(file, 0, SEEK_END) == 0;
#else
    bool ended = fseeko(file, 0, SEEK_END) == 0;
#endif
    int64_t length = ended ? StreamTell(file) : -1;
    StreamSeek(file, here);
    return length;
}

size_t StreamReadSome(FILE* file, int64_t position, void* buffer, size_t size)
{
    if (!StreamSeek(file, position))
        return 0;
    return fread(buffer, 1, size, file);
}

bool StreamReadAt(FILE* file, int64_t position, void* buffer, size_t size)
{
    return StreamReadSome(file, position, buffer, size) == size;
}
