#include "app/SafeFileWriter.h"

#include "core/WinTypes.h"

CSafeFileWriter::CSafeFileWriter() : m_file(NULL)
{
}

CSafeFileWriter::~CSafeFileWriter()
{
    Discard();
}

FILE* CSafeFileWriter::Open(const char* path)
{
    Discard();
    if (path == NULL)
        return NULL;
    m_path = path;
    m_tempPath = m_path + ".tmp";
    m_file = fopen(m_tempPath.c_str(), "wb");
    return m_file;
}

bool CSafeFileWriter::Commit()
{
    if (m_file == NULL)
        return false;
    bool ok = fflush(m_file) == 0 && !ferror(m_file);
    ok = fclose(m_file) == 0 && ok;
    m_file = NULL;
    if (ok)
        ok = ReplaceFileWith(m_path.c_str(), m_tempPath.c_str());
    if (!ok)
        remove(m_tempPath.c_str());
    m_tempPath.clear();
    return ok;
}

void CSafeFileWriter::Discard()
{
    if (m_file != NULL) {
        fclose(m_file);
        m_file = NULL;
    }
    if (!m_tempPath.empty()) {
        remove(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

bool ReplaceFileWith(const char* target, const char* source)
{
#ifdef _WIN32
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return rename(source, target) == 0;
#endif
}
