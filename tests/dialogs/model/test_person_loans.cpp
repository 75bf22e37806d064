// The loan list's rules without a window: returns pending in the dialog,
// the statistics over every loan, and the column order.
#include <gtest/gtest.h>

#include "dialogs/PersonLoans.h"

namespace {

CLoan Loan(WORD borrowedYear, WORD returnedYear)
{
    CLoan loan;
    loan.m_borrowed.SetToNow();
    loan.m_borrowed.m_time.wYear = borrowedYear;
    if (returnedYear != 0) {
        loan.m_returned.SetToNow();
        loan.m_returned.m_time.wYear = returnedYear;
    }
    return loan;
}

} // namespace

TEST(PersonLoans, PendingReturnsCountAndSortWithoutTouchingStrayIndexes)
{
    std::vector<CLoan> loans = { Loan(2003, 0), Loan(2001, 2002), Loan(2003, 0) };
    std::vector<CLoan> shown = LoansWithReturns(loans, { 2, -1, 3, 99 });
    EXPECT_TRUE(shown[0].IsOpen());
    EXPECT_FALSE(shown[2].IsOpen());
    EXPECT_EQ(2002, shown[1].m_returned.m_time.wYear);  // an earlier return stays
    LoanTotals totals = CountLoans(shown);
    EXPECT_EQ(1, totals.open);
    EXPECT_EQ(2, totals.returned);

    std::vector<std::string> titles = { "brazil", "Casino", "Alien" };
    // Equal dates fall back to the title, without regard to case.
    EXPECT_LT(CompareLoans(loans, titles, 2, 0, LOAN_COLUMN_BORROWED), 0);
    EXPECT_LT(CompareLoans(loans, titles, 1, 0, LOAN_COLUMN_BORROWED), 0);
    EXPECT_GT(CompareLoans(loans, titles, 1, 0, LOAN_COLUMN_TITLE), 0);
    // Open loans have no returned text and come first.
    EXPECT_LT(CompareLoans(loans, titles, 0, 1, LOAN_COLUMN_RETURNED), 0);
    EXPECT_EQ(0, CompareLoans(loans, titles, 7, 7, LOAN_COLUMN_TITLE));
    EXPECT_EQ("2001-", LoanDateText(loans[1].m_borrowed).substr(0, 5));
}
