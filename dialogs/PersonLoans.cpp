#include "dialogs/PersonLoans.h"

#include <cstdio>

#include "core/StrUtil.h"

DWORD FindPersonByName(CMovieCollection& collection, const char* name, DWORD exceptId)
{
    for (DWORD id = collection.GetNextIdOfPerson(NO_ID); id != NO_ID; id = collection.GetNextIdOfPerson(id)) {
        if (id == exceptId)
            continue;
        CPerson* person = collection.GetPersonCopy(id);
        bool same = person != NULL && StrEqualNoCase(person->m_name, name);
        collection.ReleasePersonCopy(&person);
        if (same)
            return id;
    }
    return NO_ID;
}

std::string LoanDateText(const CDateStamp& stamp)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d-%02d-%02d", stamp.m_time.wYear, stamp.m_time.wMonth, stamp.m_time.wDay);
    return text;
}

std::vector<CLoan> LoansWithReturns(const std::vector<CLoan>& loans, const std::vector<int>& pendingReturns)
{
    std::vector<CLoan> result = loans;
    for (int index : pendingReturns) {
        if (index >= 0 && size_t(index) < result.size() && result[size_t(index)].IsOpen())
            result[size_t(index)].m_returned.SetToNow();
    }
    return result;
}

LoanTotals CountLoans(const std::vector<CLoan>& loans)
{
    LoanTotals totals = { 0, 0 };
    for (const CLoan& loan : loans) {
        if (loan.IsOpen())
            totals.open++;
        else
            totals.returned++;
    }
    return totals;
}

namespace {

int CompareTitles(const std::string& a, const std::string& b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; i++) {
        int ca = LowerLatin1(static_cast<unsigned char>(a[i]));
        int cb = LowerLatin1(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string ReturnedText(const CLoan& loan)
{
    return loan.IsOpen() ? std::string() : LoanDateText(loan.m_returned);
}

} // namespace

int CompareLoans(const std::vector<CLoan>& loans, const std::vector<std::string>& titles, int a, int b,
                 int column)
{
    if (a < 0 || b < 0 || size_t(a) >= loans.size() || size_t(b) >= loans.size())
        return a < b ? -1 : (a > b ? 1 : 0);
    const CLoan& la = loans[size_t(a)];
    const CLoan& lb = loans[size_t(b)];
    int order = 0;
    if (column == LOAN_COLUMN_BORROWED)
        order = LoanDateText(la.m_borrowed).compare(LoanDateText(lb.m_borrowed));
    else if (column == LOAN_COLUMN_RETURNED)
        order = ReturnedText(la).compare(ReturnedText(lb));
    if (order != 0)
        return order < 0 ? -1 : 1;
    static const std::string none;
    const std::string& ta = size_t(a) < titles.size() ? titles[size_t(a)] : none;
    const std::string& tb = size_t(b) < titles.size() ? titles[size_t(b)] : none;
    return CompareTitles(ta, tb);
}
