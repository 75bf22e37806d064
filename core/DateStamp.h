// A date and time of a loan. All eight fields zero means "not set".
#pragma once

#include "core/WinTypes.h"

class CDateStamp {
public:
    CDateStamp();

    bool IsEmpty() const;
    // Sets the stamp to the current local time.
    void SetToNow();
    void Clear();

    bool operator==(const CDateStamp& other) const;
    bool operator!=(const CDateStamp& other) const { return !(*this == other); }

    SYSTEMTIME m_time;
};
