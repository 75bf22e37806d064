#include "app/BackgroundRule.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#ifndef _WIN32
#include <strings.h>
#endif

#include "app/LayoutIo.h"
#include "app/SafeFileWriter.h"
#include "core/StrUtil.h"
#include "core/StreamIo.h"
#include "export/TokenEngine.h"

namespace {

// What a 32-bit atol gives: leading white space and a sign, digits up to the
// first other character, 0 without digits, and the nearest limit when the
// number does not fit.
int32_t ToLong(const char* text)
{
    long long value = strtoll(text, NULL, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool EqualIgnoringCase(const char* a, const char* b)
{
    return StrEqualNoCase(a, b);
}

} // namespace

CBackgroundRule::CBackgroundRule()
    : m_kind(RULE_NONE), m_value(NULL), m_template(NULL), m_first(0), m_second(0)
{
}

CBackgroundRule::~CBackgroundRule()
{
    Clear();
}

void CBackgroundRule::Clear()
{
    free(m_value);
    m_value = NULL;
    free(m_template);
    m_template = NULL;
    m_kind = RULE_NONE;
    m_first = 0;
    m_second = 0;
}

bool CBackgroundRule::Matches(const CMovie* movie) const
{
    if (m_template == NULL || m_kind == RULE_NONE)
        return false;
    char* text = NULL;
    StrSet(&text, m_template);
    ExpandScriptTokens(&text, movie, -1, NULL, NULL);
    const char* expanded = text != NULL ? text : "";

    bool result;
    switch (m_kind) {
    case RULE_LONGER_THAN:
        result = static_cast<uint32_t>(strlen(expanded)) > static_cast<uint32_t>(m_first);
        break;
    case RULE_NUMBER_RANGE: {
        // Compared as unsigned numbers: a negative bound or number counts as
        // greater than every non-negative one.
        uint32_t number = static_cast<uint32_t>(ToLong(expanded));
        result = static_cast<uint32_t>(m_first) < number && number < static_cast<uint32_t>(m_second);
        break;
    }
    default:
        if (m_value == NULL)
            result = false;
        else if (m_first == 1)
            result = strcmp(expanded, m_value) == 0;
        else
            result = EqualIgnoringCase(expanded, m_value);
        break;
    }
    free(text);
    return result;
}

bool CBackgroundRule::Load(const char* path)
{
    FILE* f = path != NULL ? fopen(path, "rb") : NULL;
    if (f == NULL)
        return false;
    bool ok = Read(f);
    fclose(f);
    return ok;
}

bool CBackgroundRule::Save(const char* path) const
{
    CSafeFileWriter writer;
    FILE* f = writer.Open(path);
    if (f == NULL)
        return false;
    return Write(f) && writer.Commit();
}

// Reads exactly what Write writes for every kind, so that a rule of a kind
// this program does not know never makes the levels after it unreadable.
bool CBackgroundRule::Read(FILE* f)
{
    Clear();
    if (!ReadString(f, &m_template) || !ReadLayoutByte(f, &m_kind))
        return false;
    switch (m_kind) {
    case RULE_EQUALS:
        return ReadString(f, &m_value) && ReadLayoutLong(f, &m_first);
    case RULE_LONGER_THAN:
        return ReadLayoutLong(f, &m_first);
    case RULE_NUMBER_RANGE:
        return ReadLayoutLong(f, &m_first) && ReadLayoutLong(f, &m_second);
    default:
        return true;
    }
}

bool CBackgroundRule::Write(FILE* f) const
{
    if (!WriteString(f, m_template) || !WriteU8(f, m_kind))
        return false;
    switch (m_kind) {
    case RULE_EQUALS:
        return WriteString(f, m_value) && WriteU32(f, static_cast<DWORD>(m_first));
    case RULE_LONGER_THAN:
        return WriteU32(f, static_cast<DWORD>(m_first));
    case RULE_NUMBER_RANGE:
        return WriteU32(f, static_cast<DWORD>(m_first)) && WriteU32(f, static_cast<DWORD>(m_second));
    default:
        return true;
    }
}

void CBackgroundRule::CopyFrom(const CBackgroundRule* other)
{
    if (other == this)
        return;
    Clear();
    if (other == NULL)
        return;
    StrSet(&m_template, other->m_template);
    m_kind = other->m_kind;
    m_first = other->m_first;
    m_second = other->m_second;
    if (m_kind == RULE_EQUALS)
        StrSet(&m_value, other->m_value);
}
