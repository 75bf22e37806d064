// Little-endian primitives of the database file. Lengths read from a file are
// checked against what the stream still holds before anything is allocated.
#include "core/StreamIo.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#endif

#include "core/ErrorBox.h"
#include "core/StrUtil.h"

namespace {

const char kReadError[] = "Error reading file";

// Streams that cannot seek are read in slices of this size.
const DWORD kSlice = 64 * 1024;

// The innermost CSequentialRead of this thread.
thread_local CSequentialRead* t_sequential = NULL;

// The stream's position, 64 bits wide everywhere.
long long Tell(FILE* f)
{
#ifdef _WIN32
    return _ftelli64(f);
#else
    return ftello(f);
#endif
}

// Counts n bytes taken from f when a CSequentialRead follows it.
void Took(FILE* f, size_t n)
{
    if (CSequentialRead* sequential = CSequentialRead::Find(f))
        sequential->Advance(n);
}

size_t ReadRaw(FILE* f, void* buffer, size_t n)
{
    size_t got = fread(buffer, 1, n, f);
    Took(f, got);
    return got;
}

// Takes bytes one at a time with the stream locked once for all of them
// rather than once for each, and counts them when it ends.
class CLockedReader {
public:
    explicit CLockedReader(FILE* f) : m_stream(f), m_taken(0)
    {
#ifdef _WIN32
        _lock_file(f);
#else
        flockfile(f);
#endif
    }
    ~CLockedReader()
    {
#ifdef _WIN32
        _unlock_file(m_stream);
#else
        funlockfile(m_stream);
#endif
        Took(m_stream, m_taken);
    }
    CLockedReader(const CLockedReader&) = delete;
    CLockedReader& operator=(const CLockedReader&) = delete;

    int Get()
    {
#ifdef _WIN32
        int c = _getc_nolock(m_stream);
#else
        int c = getc_unlocked(m_stream);
#endif
        if (c != EOF)
            m_taken++;
        return c;
    }

private:
    FILE* m_stream;
    size_t m_taken;
};

// Reads n bytes into a new malloc buffer (NULL for n = 0). A stream that
// cannot seek is read in slices, so the buffer never outgrows the data.
bool ReadNew(FILE* f, DWORD n, BYTE** out)
{
    *out = NULL;
    if (n == 0)
        return true;
    long long left = StreamBytesLeft(f);
    if (left >= 0) {
        if (static_cast<long long>(n) > left)
            return false;
        BYTE* bytes = static_cast<BYTE*>(MallocOrThrow(n));
        if (ReadRaw(f, bytes, n) != n) {
            free(bytes);
            return false;
        }
        *out = bytes;
        return true;
    }
    BYTE* bytes = NULL;
    DWORD have = 0;
    while (have < n) {
        DWORD part = n - have < kSlice ? n - have : kSlice;
        BYTE* grown = static_cast<BYTE*>(realloc(bytes, size_t(have) + part));
        if (grown == NULL) {
            free(bytes);
            throw std::bad_alloc();
        }
        if (ReadRaw(f, grown + have, part) != part) {
            free(grown);
            return false;
        }
        bytes = grown;
        have += part;
    }
    *out = bytes;
    return true;
}

// The same into a vector, with the same checks and slices.
bool ReadNew(FILE* f, DWORD n, std::vector<BYTE>& out)
{
    out.clear();
    if (n == 0)
        return true;
    long long left = StreamBytesLeft(f);
    if (left >= 0) {
        if (static_cast<long long>(n) > left)
            return false;
        out.resize(n);
        return ReadRaw(f, out.data(), n) == n;
    }
    while (out.size() < n) {
        size_t have = out.size();
        size_t part = n - have < kSlice ? n - have : kSlice;
        out.reserve(have + part);
        out.resize(have + part);
        if (ReadRaw(f, out.data() + have, part) != part)
            return false;
    }
    return true;
}

// A block whose stored length must be exactly n, copied into out.
bool ReadFixedBlock(FILE* f, BYTE* out, DWORD n)
{
    BYTE* bytes = NULL;
    DWORD length = 0;
    if (!ReadBlock(f, &bytes, &length))
        return false;
    bool ok = length == n;
    if (ok)
        memcpy(out, bytes, n);
    free(bytes);
    return ok;
}

} // namespace

CSequentialRead::CSequentialRead(FILE* f, long long length)
    : m_stream(f), m_length(length), m_position(Tell(f)), m_following(m_position >= 0),
      m_outer(t_sequential)
{
    if (m_following)
        t_sequential = this;
}

CSequentialRead::~CSequentialRead()
{
    if (m_following)
        t_sequential = m_outer;
}

CSequentialRead* CSequentialRead::Find(FILE* f)
{
    for (CSequentialRead* s = t_sequential; s != NULL; s = s->m_outer) {
        if (s->m_stream == f)
            return s;
    }
    return NULL;
}

long long StreamBytesLeft(FILE* f)
{
    // After a read error the position is undefined: it is asked for again.
    CSequentialRead* sequential = CSequentialRead::Find(f);
    if (sequential != NULL && !ferror(f)) {
        assert(sequential->Position() == Tell(f));
        return sequential->Left();
    }

    // The file's length comes from the file system rather than from a seek to
    // the end and back, which would throw away the stream's read buffer on
    // every check.
    long long here = Tell(f);
    if (here < 0)
        return -1;
    long long end;
#ifdef _WIN32
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    LARGE_INTEGER size;
    if (h == INVALID_HANDLE_VALUE || GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size))
        return -1;
    end = size.QuadPart;
#else
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    end = st.st_size;
#endif
    return end < here ? 0 : end - here;
}

bool ReadU8(FILE* f, BYTE* value)
{
    if (f == NULL)
        return false;
    int c = getc(f);
    if (c == EOF) {
        ShowError(0, "%s", kReadError);
        return false;
    }
    Took(f, 1);
    *value = static_cast<BYTE>(c);
    return true;
}

bool ReadU16(FILE* f, WORD* value)
{
    BYTE b[2];
    if (f == NULL)
        return false;
    if (ReadRaw(f, b, 2) != 2) {
        ShowError(0, "%s", kReadError);
        return false;
    }
    *value = static_cast<WORD>(b[0] | (b[1] << 8));
    return true;
}

bool ReadU32(FILE* f, DWORD* value)
{
    BYTE b[4];
    if (f == NULL)
        return false;
    if (ReadRaw(f, b, 4) != 4) {
        ShowError(0, "%s", kReadError);
        return false;
    }
    *value = DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    return true;
}

bool WriteU8(FILE* f, BYTE value)
{
    return f != NULL && putc(value, f) != EOF;
}

bool WriteU16(FILE* f, WORD value)
{
    BYTE b[2] = { static_cast<BYTE>(value), static_cast<BYTE>(value >> 8) };
    return f != NULL && fwrite(b, 1, 2, f) == 2;
}

bool WriteU32(FILE* f, DWORD value)
{
    return WriteU16(f, static_cast<WORD>(value)) && WriteU16(f, static_cast<WORD>(value >> 16));
}

bool ReadString(FILE* f, char** text)
{
    if (f == NULL)
        return false;
    // Most texts fit the buffer; a longer one gathers in longer.
    char buffer[512];
    size_t used = 0;
    std::string longer;
    bool ended = false;
    {
        CLockedReader reader(f);
        for (;;) {
            int c = reader.Get();
            if (c == EOF)
                break;
            if (c == 0) {
                ended = true;
                break;
            }
            if (used == sizeof buffer) {
                longer.append(buffer, used);
                used = 0;
            }
            buffer[used++] = static_cast<char>(c);
        }
    }
    if (!ended)
        return false;
    if (longer.empty()) {
        StrAssignN(text, buffer, used);
    } else {
        longer.append(buffer, used);
        StrAssignN(text, longer.data(), longer.size());
    }
    return true;
}

bool WriteString(FILE* f, const char* text)
{
    if (f == NULL)
        return false;
    if (text == NULL)
        text = "";
    size_t n = strlen(text) + 1;
    return fwrite(text, 1, n, f) == n;
}

bool ReadBlock(FILE* f, BYTE** bytes, DWORD* length)
{
    DWORD n = 0;
    if (!ReadU32(f, &n))
        return false;
    BYTE* read = NULL;
    if (!ReadNew(f, n, &read))
        return false;
    free(*bytes);
    *bytes = read;
    *length = n;
    return true;
}

bool ReadBlock(FILE* f, std::vector<BYTE>* bytes)
{
    DWORD n = 0;
    if (!ReadU32(f, &n))
        return false;
    std::vector<BYTE> read;
    if (!ReadNew(f, n, read))
        return false;
    bytes->swap(read);
    return true;
}

bool WriteBlock(FILE* f, const void* bytes, DWORD length)
{
    if (bytes == NULL && length != 0)
        return false;
    return WriteU32(f, length) && WriteBytes(f, bytes, length);
}

bool ReadBytes(FILE* f, void* buffer, DWORD n)
{
    if (f == NULL || (buffer == NULL && n != 0))
        return false;
    return ReadRaw(f, buffer, n) == n;
}

bool WriteBytes(FILE* f, const void* buffer, DWORD n)
{
    if (f == NULL || (buffer == NULL && n != 0))
        return false;
    return n == 0 || fwrite(buffer, 1, n, f) == n;
}

bool ReadDouble(FILE* f, double* value)
{
    BYTE b[8];
    if (!ReadFixedBlock(f, b, 8))
        return false;
    unsigned long long bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | b[i];
    memcpy(value, &bits, 8);
    return true;
}

bool WriteDouble(FILE* f, double value)
{
    unsigned long long bits;
    memcpy(&bits, &value, 8);
    BYTE b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<BYTE>(bits >> (8 * i));
    return WriteBlock(f, b, 8);
}

bool ReadBlock32(FILE* f, DWORD* value)
{
    BYTE b[4];
    if (!ReadFixedBlock(f, b, 4))
        return false;
    *value = DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    return true;
}

bool WriteBlock32(FILE* f, DWORD value)
{
    BYTE b[4] = { static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                  static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24) };
    return WriteBlock(f, b, 4);
}
