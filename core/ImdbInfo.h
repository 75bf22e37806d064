// What was fetched about one movie from the IMDb site: the texts of its title
// page, rating, runtime and year, the cast, the cover picture as the raw file
// bytes, and, while a search is unresolved, the searched name and the
// candidate titles.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/WinTypes.h"

class CImdbCastEntry {
public:
    CImdbCastEntry() : m_actor(NULL), m_character(NULL) {}
    ~CImdbCastEntry();
    void SetStrings(const char* actor, const char* character);

    char* m_actor;
    char* m_character;

private:
    CImdbCastEntry(const CImdbCastEntry&) = delete;
    CImdbCastEntry& operator=(const CImdbCastEntry&) = delete;
};

class CImdbSearchHit {
public:
    CImdbSearchHit() : m_address(NULL), m_title(NULL) {}
    ~CImdbSearchHit();
    void SetStrings(const char* address, const char* title);

    char* m_address;  // the candidate's page
    char* m_title;

private:
    CImdbSearchHit(const CImdbSearchHit&) = delete;
    CImdbSearchHit& operator=(const CImdbSearchHit&) = delete;
};

// Cover size classes.
enum {
    COVER_SIZE_UNKNOWN = 0,
    COVER_SIZE_LARGE = 1,  // the big picture linked around the title page's cover
    COVER_SIZE_SMALL = 2   // the title page's own cover, or one shrunk to 93 pixels wide
};

class CImdbRetrieval;

class CImdbInfo {
public:
    CImdbInfo();
    virtual ~CImdbInfo();

    // Throws std::bad_alloc when memory runs out; the record is then only
    // fit to be destroyed or copied into again.
    void CopyFrom(const CImdbInfo& other);
    bool IsDifferent(const CImdbInfo& other) const;

    // Shows "Unable to load enough memory" and adds nothing when memory runs out.
    void AddCastEntry(const char* actor, const char* character);
    void ClearCast();
    void AddSearchHit(const char* address, const char* title);
    void ClearSearchHits();

    DWORD GetCastCount() const { return DWORD(m_cast.size()); }
    DWORD GetSearchHitCount() const { return DWORD(m_hits.size()); }
    DWORD GetCoverLength() const { return DWORD(m_cover.size()); }
    bool HasCover() const { return !m_cover.empty(); }

    // Reads the record of a database file of the given version. The record is
    // emptied first; on a failed read it keeps the fields read so far.
    bool Read(FILE* stream, int version);
    // Writes the record in the newest encoding.
    bool Write(FILE* stream) const;

    // Measures the cover picture: class 1 for a height of 475 pixels, else 2
    // for a width of 93, else 0 (also when there is no readable cover).
    int ComputeCoverSizeClass() const;

    BYTE m_complete;   // 1 once the title page was parsed
    char* m_searchName;
    std::vector<std::unique_ptr<CImdbSearchHit>> m_hits;
    char* m_title;
    char* m_director;
    char* m_genre;
    char* m_coverType; // extension of the cover's address, "jpg" without one
    char* m_tagline;
    char* m_plot;
    char* m_comment;
    char* m_country;
    char* m_address;   // the title page on the site
    WORD m_year;       // 0 = unknown
    std::vector<BYTE> m_cover;  // the picture file as downloaded; empty = none
    DWORD m_runtime;   // minutes, 0 = unknown
    int32_t m_coverSizeClass;
    std::vector<std::unique_ptr<CImdbCastEntry>> m_cast;
    double m_rating;   // out of 10, -1.0 = none

    // The retrieval running on this record (net/ImdbRetrieval.h), or NULL;
    // never stored, copied or compared.
    CImdbRetrieval* m_retrieval;

private:
    CImdbInfo(const CImdbInfo&) = delete;
    CImdbInfo& operator=(const CImdbInfo&) = delete;

    void Reset();
    // Adds the entry or throws std::bad_alloc.
    void AppendCast(const char* actor, const char* character);
};
