// "What is IMDb ?": a note on the movie site the details come from.
#pragma once

#include "classlib/Dialog.h"

class CWhatIsImdbDlg : public CDialog {
public:
    explicit CWhatIsImdbDlg(CWnd* pParent = nullptr);
};
