// "Please confirm": asks the user to check the movie title and part number
// guessed from a found file's name before the file is added.
#pragma once

#include <cstdint>
#include <string>

#include "app/HelpDialog.h"

class CMovieFile;

// The decimal value of a typed count (a part number); -1 when the text is
// empty. Out-of-range values are held at the limits instead of overflowing.
int32_t ParseCount(const std::string& text);

class CNameCheckDlg : public CHelpDialog {
public:
    explicit CNameCheckDlg(CWnd* pParent = nullptr);
    ~CNameCheckDlg() override;

    // The file to show (its folder, name, guessed title and part number);
    // vcd asks in the form for video CDs and DVDs. Call before DoModal; the
    // file must outlive the dialog.
    void SetFile(const CMovieFile* file, bool vcd);
    // After IDOK: the confirmed name (set with StrSet) and the part number,
    // -1 for none. IDCANCEL means the file is not to be added.
    void GetResult(char** name, int32_t* partNumber) const;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnNameChange();
    DECLARE_MESSAGE_MAP()

private:
    // The "movie_name" setting that this form of the dialog reads and writes.
    const char* SettingName() const { return m_vcd ? "severe" : "always"; }

    const CMovieFile* m_file;
    bool m_vcd;
    char* m_prompt;
    char* m_name;
    int32_t m_partNumber;
};
