// "Change ID": picks a new id for a movie from the run of ids in use, or a
// higher one typed in, and whether a movie holding it swaps ids with it or
// moves up.
#pragma once

#include <vector>

#include "app/HelpDialog.h"
#include "core/WinTypes.h"

class CMovie;

class CChangeIdDlg : public CHelpDialog {
public:
    explicit CChangeIdDlg(CWnd* pParent = nullptr);

    void SetMovie(const CMovie* movie, DWORD currentId);
    // After IDOK: the chosen id into *id (unless none was chosen) and the
    // exchange choice into *exchange.
    void GetResult(DWORD* id, bool* exchange) const;

    BOOL OnInitDialog() override;
    void OnOK() override;

    // Ids typed in must stay below this.
    static const DWORD kIdLimit = 2147483637;
    // Of a longer run of free ids only the first is listed.
    static const DWORD kLongestEmptyRun = 1000;

protected:
    void OnSelChange();
    void OnSelCancel();
    void OnExchange();
    void OnMakePlace();
    DECLARE_MESSAGE_MAP()

private:
    enum LineKind { LINE_EMPTY, LINE_THIS, LINE_OTHER };
    struct Line {
        DWORD id;
        LineKind kind;
    };
    void AddLine(DWORD id, LineKind kind, const char* title);
    void EnableChoices(bool ok, bool radios, bool edit);

    DWORD m_chosenId;
    DWORD m_currentId;
    bool m_exchange;
    std::vector<Line> m_lines;
};
