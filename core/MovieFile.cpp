#include "core/MovieFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/StrUtil.h"

CMovieFile::CMovieFile()
    : m_partNumber(-1), m_id(0xFFFFFFFF), m_folder(NULL), m_fileName(NULL), m_movieTitle(NULL),
      m_size(0)
{
    memset(&m_creationTime, 0, sizeof(m_creationTime));
}

CMovieFile::~CMovieFile()
{
    free(m_folder);
    free(m_fileName);
    free(m_movieTitle);
}

void CMovieFile::CopyFrom(const CMovieFile& other)
{
    if (&other == this)
        return;
    m_partNumber = other.m_partNumber;
    m_id = other.m_id;
    if (other.m_mediaInfo) {
        if (!m_mediaInfo)
            m_mediaInfo.reset(new CMediaFormatInfo);
        m_mediaInfo->CopyFrom(*other.m_mediaInfo);
    } else {
        m_mediaInfo.reset();
    }
    StrSet(&m_folder, other.m_folder);
    StrSet(&m_fileName, other.m_fileName);
    StrSet(&m_movieTitle, other.m_movieTitle);
    m_creationTime = other.m_creationTime;
    m_size = other.m_size;
}

bool CMovieFile::IsDifferent(const CMovieFile& other) const
{
    if (m_partNumber != other.m_partNumber || m_id != other.m_id)
        return true;
    // A missing holder counts as an empty one.
    CMediaFormatInfo empty;
    const CMediaFormatInfo& mine = m_mediaInfo ? *m_mediaInfo : empty;
    const CMediaFormatInfo& theirs = other.m_mediaInfo ? *other.m_mediaInfo : empty;
    if (!mine.IsSameAs(theirs))
        return true;
    if (!StrEqual(m_folder, other.m_folder) || !StrEqual(m_fileName, other.m_fileName) ||
        !StrEqual(m_movieTitle, other.m_movieTitle))
        return true;
    const SYSTEMTIME& a = m_creationTime;
    const SYSTEMTIME& b = other.m_creationTime;
    if (a.wYear != b.wYear || a.wMonth != b.wMonth || a.wDayOfWeek != b.wDayOfWeek ||
        a.wDay != b.wDay || a.wHour != b.wHour || a.wMinute != b.wMinute ||
        a.wSecond != b.wSecond || a.wMilliseconds != b.wMilliseconds)
        return true;
    return m_size != other.m_size;
}

const char* CMovieFile::GetFormatName() const
{
    MediaFormat* format = GetFormat();
    if (format != NULL && format->kindName != NULL)
        return format->kindName;
    return "[unknown]";
}

void CMovieFile::GetInfoText(char** text) const
{
    MediaFormat* format = GetFormat();
    if (format != NULL && format->reportText != NULL)
        StrSet(text, format->reportText);
    else
        StrSet(text, "--- no info ---");
}

bool CMovieFile::ReadMediaInfo(char driveLetter)
{
    std::string path(1, driveLetter);
    path += ':';
    path += RecordPath(m_folder, m_fileName);
    // Read into a holder of its own: a file that can't be read again keeps
    // the information it had.
    std::unique_ptr<CMediaFormatInfo> read(new CMediaFormatInfo);
    bool ok = read->ReadFromFile(path.c_str());
    if (ok || !m_mediaInfo)
        m_mediaInfo = std::move(read);
    return ok;
}

std::string RecordFolder(const char* folder)
{
    const char* colon = folder != NULL ? strchr(folder, ':') : NULL;
    std::string result = colon != NULL ? colon + 1 : (folder != NULL ? folder : "");
    if (result.empty() || result[0] != '\\')
        result.insert(result.begin(), '\\');
    if (result[result.size() - 1] != '\\')
        result += '\\';
    return result;
}

std::string RecordPath(const char* folder, const char* name)
{
    std::string path = RecordFolder(folder);
    if (name != NULL)
        path += name[0] == '\\' ? name + 1 : name;
    return path;
}
