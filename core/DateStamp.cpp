#include "core/DateStamp.h"

#include <cstring>

#ifndef _WIN32
#include <sys/time.h>
#include <ctime>
#endif

CDateStamp::CDateStamp()
{
    Clear();
}

void CDateStamp::Clear()
{
    memset(&m_time, 0, sizeof(m_time));
}

bool CDateStamp::IsEmpty() const
{
    return m_time.wYear == 0 && m_time.wMonth == 0 && m_time.wDayOfWeek == 0 && m_time.wDay == 0 &&
           m_time.wHour == 0 && m_time.wMinute == 0 && m_time.wSecond == 0 &&
           m_time.wMilliseconds == 0;
}

void CDateStamp::SetToNow()
{
#ifdef _WIN32
    GetLocalTime(&m_time);
#else
    struct timeval now;
    gettimeofday(&now, NULL);
    time_t seconds = now.tv_sec;
    struct tm local;
    localtime_r(&seconds, &local);
    m_time.wYear = WORD(local.tm_year + 1900);
    m_time.wMonth = WORD(local.tm_mon + 1);
    m_time.wDayOfWeek = WORD(local.tm_wday);
    m_time.wDay = WORD(local.tm_mday);
    m_time.wHour = WORD(local.tm_hour);
    m_time.wMinute = WORD(local.tm_min);
    m_time.wSecond = WORD(local.tm_sec);
    m_time.wMilliseconds = WORD(now.tv_usec / 1000);
#endif
}

bool CDateStamp::operator==(const CDateStamp& other) const
{
    const SYSTEMTIME& a = m_time;
    const SYSTEMTIME& b = other.m_time;
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek &&
           a.wDay == b.wDay && a.wHour == b.wHour && a.wMinute == b.wMinute &&
           a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}
