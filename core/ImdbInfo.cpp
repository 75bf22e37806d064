#include "core/ImdbInfo.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/CoverSize.h"
#include "core/ErrorBox.h"
#include "core/StrUtil.h"
#include "core/StreamIo.h"

namespace {

// Codes of the cover size class in the file.
const BYTE kCoverCodeUnknown = 0x01;
const BYTE kCoverCodeLarge = 0x20;
const BYTE kCoverCodeSmall = 0x10;


// A count of entries that take at least minBytes each must fit in what the
// stream still holds.
bool CountFits(FILE* f, DWORD count, DWORD minBytes)
{
    if (count == 0)
        return true;
    long long left = StreamBytesLeft(f);
    return left >= 0 && static_cast<long long>(count) * minBytes <= left;
}

void FreeText(char** text)
{
    free(*text);
    *text = NULL;
}

} // namespace

CImdbCastEntry::~CImdbCastEntry()
{
    free(m_actor);
    free(m_character);
}

void CImdbCastEntry::SetStrings(const char* actor, const char* character)
{
    StrSet(&m_actor, actor);
    StrSet(&m_character, character);
}

CImdbSearchHit::~CImdbSearchHit()
{
    free(m_address);
    free(m_title);
}

void CImdbSearchHit::SetStrings(const char* address, const char* title)
{
    StrSet(&m_address, address);
    StrSet(&m_title, title);
}

CImdbInfo::CImdbInfo()
    : m_complete(0), m_searchName(NULL), m_title(NULL), m_director(NULL), m_genre(NULL),
      m_coverType(NULL), m_tagline(NULL), m_plot(NULL), m_comment(NULL), m_country(NULL),
      m_address(NULL), m_year(0), m_runtime(0), m_coverSizeClass(COVER_SIZE_UNKNOWN),
      m_rating(-1.0), m_retrieval(NULL)
{
}

CImdbInfo::~CImdbInfo()
{
    Reset();
}

void CImdbInfo::Reset()
{
    m_complete = 0;
    FreeText(&m_searchName);
    m_hits.clear();
    FreeText(&m_title);
    FreeText(&m_director);
    FreeText(&m_genre);
    FreeText(&m_coverType);
    FreeText(&m_tagline);
    FreeText(&m_plot);
    FreeText(&m_comment);
    FreeText(&m_country);
    FreeText(&m_address);
    m_year = 0;
    m_cover.clear();
    m_runtime = 0;
    m_coverSizeClass = COVER_SIZE_UNKNOWN;
    m_cast.clear();
    m_rating = -1.0;
}

void CImdbInfo::CopyFrom(const CImdbInfo& other)
{
    if (&other == this)
        return;
    m_complete = other.m_complete;
    StrSet(&m_searchName, other.m_searchName);
    ClearSearchHits();
    for (const std::unique_ptr<CImdbSearchHit>& hit : other.m_hits)
        AddSearchHit(hit->m_address, hit->m_title);
    StrSet(&m_title, other.m_title);
    StrSet(&m_director, other.m_director);
    StrSet(&m_genre, other.m_genre);
    StrSet(&m_coverType, other.m_coverType);
    StrSet(&m_tagline, other.m_tagline);
    StrSet(&m_plot, other.m_plot);
    StrSet(&m_comment, other.m_comment);
    StrSet(&m_country, other.m_country);
    StrSet(&m_address, other.m_address);
    m_year = other.m_year;
    m_cover = other.m_cover;
    m_runtime = other.m_runtime;
    m_coverSizeClass = other.m_coverSizeClass;
    ClearCast();
    for (const std::unique_ptr<CImdbCastEntry>& entry : other.m_cast)
        AppendCast(entry->m_actor, entry->m_character);
    m_rating = other.m_rating;
}

bool CImdbInfo::IsDifferent(const CImdbInfo& other) const
{
    if (m_complete != other.m_complete || !StrEqual(m_searchName, other.m_searchName) ||
        m_hits.size() != other.m_hits.size())
        return true;
    for (size_t i = 0; i < m_hits.size(); i++) {
        if (!StrEqual(m_hits[i]->m_address, other.m_hits[i]->m_address) ||
            !StrEqual(m_hits[i]->m_title, other.m_hits[i]->m_title))
            return true;
    }
    // Ratings closer than a tenth count as the same.
    if (!(fabs(m_rating - other.m_rating) < 0.1))
        return true;
    if (!StrEqual(m_title, other.m_title) || !StrEqual(m_director, other.m_director) ||
        !StrEqual(m_genre, other.m_genre) || !StrEqual(m_coverType, other.m_coverType) ||
        !StrEqual(m_tagline, other.m_tagline) || !StrEqual(m_plot, other.m_plot) ||
        !StrEqual(m_comment, other.m_comment) || !StrEqual(m_country, other.m_country) ||
        !StrEqual(m_address, other.m_address))
        return true;
    if (m_year != other.m_year || m_runtime != other.m_runtime ||
        m_cast.size() != other.m_cast.size())
        return true;
    for (size_t i = 0; i < m_cast.size(); i++) {
        if (!StrEqual(m_cast[i]->m_character, other.m_cast[i]->m_character) ||
            !StrEqual(m_cast[i]->m_actor, other.m_cast[i]->m_actor))
            return true;
    }
    if (m_cover.size() != other.m_cover.size() || m_coverSizeClass != other.m_coverSizeClass)
        return true;
    return m_cover != other.m_cover;
}

void CImdbInfo::AppendCast(const char* actor, const char* character)
{
    std::unique_ptr<CImdbCastEntry> entry(new CImdbCastEntry);
    entry->SetStrings(actor, character);
    m_cast.push_back(std::move(entry));
}

void CImdbInfo::AddCastEntry(const char* actor, const char* character)
{
    try {
        AppendCast(actor, character);
    } catch (const std::bad_alloc&) {
        ShowError(0, "Unable to load enough memory");
    }
}

void CImdbInfo::ClearCast()
{
    m_cast.clear();
}

void CImdbInfo::AddSearchHit(const char* address, const char* title)
{
    std::unique_ptr<CImdbSearchHit> hit(new CImdbSearchHit);
    hit->SetStrings(address, title);
    m_hits.push_back(std::move(hit));
}

void CImdbInfo::ClearSearchHits()
{
    m_hits.clear();
}

int CImdbInfo::ComputeCoverSizeClass() const
{
    if (m_cover.empty() || m_coverType == NULL)
        return COVER_SIZE_UNKNOWN;
    long width = 0, height = 0;
    if (!MeasurePicture(m_cover.data(), m_cover.size(), &width, &height))
        return COVER_SIZE_UNKNOWN;
    if (height == 475)
        return COVER_SIZE_LARGE;
    if (width == 93)
        return COVER_SIZE_SMALL;
    return COVER_SIZE_UNKNOWN;
}

bool CImdbInfo::Read(FILE* stream, int version)
{
    Reset();
    bool classRead = false;

    BYTE complete = 0;
    if (!ReadU8(stream, &complete))
        return false;
    m_complete = complete == 1 ? 1 : 0;

    if (m_complete || version > 1) {
        if (!ReadString(stream, &m_title) || !ReadString(stream, &m_director) ||
            !ReadString(stream, &m_genre) || !ReadString(stream, &m_coverType))
            return false;
        if (version >= 12) {
            BYTE code = 0;
            if (!ReadU8(stream, &code))
                return false;
            classRead = true;
            if (code == kCoverCodeUnknown)
                m_coverSizeClass = COVER_SIZE_UNKNOWN;
            else if (code == kCoverCodeLarge)
                m_coverSizeClass = COVER_SIZE_LARGE;
            else if (code == kCoverCodeSmall)
                m_coverSizeClass = COVER_SIZE_SMALL;
            else
                classRead = false;
        }
        if (version >= 10 && !ReadString(stream, &m_tagline))
            return false;
        if (!ReadString(stream, &m_plot) || !ReadString(stream, &m_comment) ||
            !ReadString(stream, &m_country) || !ReadString(stream, &m_address))
            return false;
        if (!ReadU16(stream, &m_year))
            return false;
        if (version >= 5 && !ReadDouble(stream, &m_rating))
            return false;
        if (version >= 10 && !ReadU32(stream, &m_runtime))
            return false;

        BYTE hasCover = 0;
        if (!ReadU8(stream, &hasCover))
            return false;
        if (hasCover == 1 && !ReadBlock(stream, &m_cover))
            return false;

        DWORD castCount = 0;
        if (!ReadU32(stream, &castCount))
            return false;
        // Each entry holds two texts of at least their 0 byte.
        if (!CountFits(stream, castCount, 2))
            return false;
        for (DWORD i = 0; i < castCount; i++) {
            std::unique_ptr<CImdbCastEntry> entry(new CImdbCastEntry);
            if (!ReadString(stream, &entry->m_actor) || !ReadString(stream, &entry->m_character))
                return false;
            m_cast.push_back(std::move(entry));
        }
    }

    if (!m_complete) {
        if (!ReadString(stream, &m_searchName))
            return false;
        DWORD hitCount = 0;
        if (!ReadU32(stream, &hitCount) || !CountFits(stream, hitCount, 2))
            return false;
        for (DWORD i = 0; i < hitCount; i++) {
            std::unique_ptr<CImdbSearchHit> hit(new CImdbSearchHit);
            if (!ReadString(stream, &hit->m_address) || !ReadString(stream, &hit->m_title))
                return false;
            m_hits.push_back(std::move(hit));
        }
    }

    if (!classRead)
        m_coverSizeClass = ComputeCoverSizeClass();
    return true;
}

bool CImdbInfo::Write(FILE* stream) const
{
    BYTE coverCode = 0x00;
    if (m_coverSizeClass == COVER_SIZE_UNKNOWN)
        coverCode = kCoverCodeUnknown;
    else if (m_coverSizeClass == COVER_SIZE_LARGE)
        coverCode = kCoverCodeLarge;
    else if (m_coverSizeClass == COVER_SIZE_SMALL)
        coverCode = kCoverCodeSmall;

    if (!WriteU8(stream, m_complete ? 1 : 0) || !WriteString(stream, m_title) ||
        !WriteString(stream, m_director) || !WriteString(stream, m_genre) ||
        !WriteString(stream, m_coverType) || !WriteU8(stream, coverCode) ||
        !WriteString(stream, m_tagline) || !WriteString(stream, m_plot) ||
        !WriteString(stream, m_comment) || !WriteString(stream, m_country) ||
        !WriteString(stream, m_address) || !WriteU16(stream, m_year) ||
        !WriteDouble(stream, m_rating) || !WriteU32(stream, m_runtime))
        return false;

    if (!WriteU8(stream, m_cover.empty() ? 0 : 1))
        return false;
    if (!m_cover.empty() && !WriteBlock(stream, m_cover.data(), DWORD(m_cover.size())))
        return false;

    if (!WriteU32(stream, DWORD(m_cast.size())))
        return false;
    for (const std::unique_ptr<CImdbCastEntry>& entry : m_cast) {
        if (!WriteString(stream, entry->m_actor) || !WriteString(stream, entry->m_character))
            return false;
    }

    if (!m_complete) {
        if (!WriteString(stream, m_searchName) || !WriteU32(stream, DWORD(m_hits.size())))
            return false;
        for (const std::unique_ptr<CImdbSearchHit>& hit : m_hits) {
            if (!WriteString(stream, hit->m_address) || !WriteString(stream, hit->m_title))
                return false;
        }
    }
    return true;
}
