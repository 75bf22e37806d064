#include "core/Person.h"

#include <cstdlib>

#include "core/ErrorBox.h"
#include "core/StrUtil.h"

CPerson::CPerson()
    : m_name(NULL), m_address(NULL), m_telephone(NULL), m_id(0xFFFFFFFF)
{
}

CPerson::~CPerson()
{
    free(m_name);
    free(m_address);
    free(m_telephone);
}

void CPerson::CopyFrom(const CPerson& other)
{
    if (&other == this)
        return;
    StrSet(&m_name, other.m_name);
    StrSet(&m_address, other.m_address);
    StrSet(&m_telephone, other.m_telephone);
    m_id = other.m_id;
    m_loans = other.m_loans;
}

bool CPerson::IsDifferent(const CPerson& other) const
{
    if (!StrEqual(m_name, other.m_name) || !StrEqual(m_address, other.m_address) ||
        !StrEqual(m_telephone, other.m_telephone) || m_id != other.m_id ||
        m_loans.size() != other.m_loans.size())
        return true;
    for (size_t i = 0; i < m_loans.size(); i++) {
        const CLoan& a = m_loans[i];
        const CLoan& b = other.m_loans[i];
        if (a.m_movieId != b.m_movieId || a.m_borrowed != b.m_borrowed ||
            a.m_returned != b.m_returned)
            return true;
    }
    return false;
}

void CPerson::AddLoan(DWORD idOfMovie)
{
    CLoan loan;
    loan.m_movieId = idOfMovie;
    loan.m_borrowed.SetToNow();
    m_loans.push_back(loan);
}

void CPerson::ReturnLoan(DWORD idOfMovie)
{
    for (CLoan& loan : m_loans) {
        if (loan.m_movieId == idOfMovie && loan.IsOpen()) {
            loan.m_returned.SetToNow();
            return;
        }
    }
    ShowError(1, "Was asked to remove renting a movie I didn't have rented");
}
