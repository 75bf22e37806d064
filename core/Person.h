// A borrower and his loans. A loan names its movie by id; it is open while
// its returned stamp is empty.
#pragma once

#include <vector>

#include "core/DateStamp.h"
#include "core/WinTypes.h"

class CLoan {
public:
    CLoan() : m_movieId(0xFFFFFFFF) {}

    bool IsOpen() const { return m_returned.IsEmpty(); }

    DWORD m_movieId;
    CDateStamp m_borrowed;
    CDateStamp m_returned;
};

class CPerson {
public:
    CPerson();
    virtual ~CPerson();

    void CopyFrom(const CPerson& other);
    bool IsDifferent(const CPerson& other) const;

    // Appends a loan of the movie, borrowed now.
    void AddLoan(DWORD idOfMovie);
    // Stamps the first open loan of the movie as returned now; nothing
    // changes when the person has no open loan of it.
    void ReturnLoan(DWORD idOfMovie);

    DWORD GetLoanCount() const { return DWORD(m_loans.size()); }

    char* m_name;
    char* m_address;
    char* m_telephone;
    DWORD m_id;
    std::vector<CLoan> m_loans;

private:
    CPerson(const CPerson&) = delete;
    CPerson& operator=(const CPerson&) = delete;
};
