// The condition of a conditional background level of the movie listing: a
// token template expanded for the movie and a test on the expanded text.
// The first conditional level whose rule holds gives a box its background.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/WinTypes.h"

class CMovie;

// Rule kinds.
enum {
    RULE_NONE = 0,           // a fresh rule; never holds
    RULE_EQUALS = 12,        // the expansion equals the value
    RULE_LONGER_THAN = 23,   // the expansion is longer than N bytes
    RULE_NUMBER_RANGE = 33   // low < number(expansion) < high
};

class CBackgroundRule {
public:
    CBackgroundRule();
    virtual ~CBackgroundRule();

    bool Matches(const CMovie* movie) const;

    // One rule per file; false when the file does not open or a read or
    // write fails. Save replaces the file only after a complete write.
    bool Load(const char* path);
    bool Save(const char* path) const;
    bool Read(FILE* f);
    bool Write(FILE* f) const;

    // Empties the rule, then copies other (NULL leaves it empty).
    void CopyFrom(const CBackgroundRule* other);

    BYTE m_kind;
    char* m_value;     // equals: the text compared with
    char* m_template;  // the text with tokens, e.g. "%movie_type"
    int32_t m_first;   // equals: case flag (1 case-sensitive); longer-than: N; range: low bound
    int32_t m_second;  // range: high bound

private:
    CBackgroundRule(const CBackgroundRule&) = delete;
    CBackgroundRule& operator=(const CBackgroundRule&) = delete;

    void Clear();
};
