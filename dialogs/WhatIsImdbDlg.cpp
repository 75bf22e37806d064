#include "dialogs/WhatIsImdbDlg.h"

#include "resources/resource.h"

CWhatIsImdbDlg::CWhatIsImdbDlg(CWnd* pParent) : CDialog(IDD_WHAT_IS_IMDB, pParent)
{
}
