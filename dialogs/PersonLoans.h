// What the person dialogs work out without a window: unique names, the
// dates of loans, the loan statistics and the order of the loan list.
#pragma once

#include <string>
#include <vector>

#include "core/MovieCollection.h"

// The id of the first stored person, in ascending id order, whose name
// equals name without regard to case, skipping exceptId; NO_ID if none.
DWORD FindPersonByName(CMovieCollection& collection, const char* name, DWORD exceptId);

// "year-mm-dd" of the stamp.
std::string LoanDateText(const CDateStamp& stamp);

// The person's loans with the pending returns (indexes into the loans)
// stamped as returned now. Indexes outside the loans are ignored.
std::vector<CLoan> LoansWithReturns(const std::vector<CLoan>& loans, const std::vector<int>& pendingReturns);

// Loans still open and loans returned, counted over every loan.
struct LoanTotals {
    long open;
    long returned;
};
LoanTotals CountLoans(const std::vector<CLoan>& loans);

// The loan list's columns and their order: -1, 0 or 1 for the loans at
// indexes a and b. Dates compare as their texts, then titles without
// regard to case; titles holds the title of each loan index.
enum LoanColumn { LOAN_COLUMN_TITLE = 0, LOAN_COLUMN_BORROWED = 1, LOAN_COLUMN_RETURNED = 2 };
int CompareLoans(const std::vector<CLoan>& loans, const std::vector<std::string>& titles, int a, int b,
                 int column);
