#include "dialogs/CompareDbDlg.h"

#include "classlib/FileDialog.h"
#include "classlib/WinApp.h"
#include "resources/resource.h"

namespace {

const char kSection[] = "compare";
const char kTitleTemplate[] = "%movie_name";
const char kTitleTypeTemplate[] = "%movie_name [%movie_type]";

} // namespace

BEGIN_MESSAGE_MAP(CCompareDbDlg, CDialog)
    ON_BN_CLICKED(IDC_COMPARE_TITLE, OnTitle)
    ON_BN_CLICKED(IDC_COMPARE_TITLE_TYPE, OnTitleAndType)
    ON_BN_CLICKED(IDC_COMPARE_CUSTOM, OnCustom)
    ON_BN_CLICKED(IDC_COMPARE_BROWSE, OnBrowse)
    ON_EN_CHANGE(IDC_COMPARE_FILE, OnInputChange)
    ON_EN_UPDATE(IDC_COMPARE_FILE, OnInputChange)
    ON_EN_CHANGE(IDC_COMPARE_TEMPLATE, OnInputChange)
    ON_EN_UPDATE(IDC_COMPARE_TEMPLATE, OnInputChange)
END_MESSAGE_MAP()

CCompareDbDlg::CCompareDbDlg(CWnd* pParent)
    : CDialog(IDD_COMPARE_DB, pParent)
{
}

CCompareDbDlg::~CCompareDbDlg()
{
}

BOOL CCompareDbDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The template is expanded for each movie: movie tokens count.
    m_templateEdit.SubclassDlgItem(IDC_COMPARE_TEMPLATE, this);
    m_templateEdit.SetMovieContext(false, false);
    CWinApp* app = AfxGetApp();
    SetDlgItemText(IDC_COMPARE_FILE, app->GetProfileString(kSection, "file", "").c_str());
    m_savedCustom = app->GetProfileString(kSection, "custom", "");
    int mode = int(app->GetProfileInt(kSection, "mode", 0));
    static const int radios[] = { IDC_COMPARE_TITLE, IDC_COMPARE_TITLE_TYPE, IDC_COMPARE_CUSTOM };
    const char* texts[] = { kTitleTemplate, kTitleTypeTemplate, m_savedCustom.c_str() };
    if (mode >= 0 && mode <= 2) {
        CheckDlgButton(radios[mode], TRUE);
        SetDlgItemText(IDC_COMPARE_TEMPLATE, texts[mode]);
    }
    Validate(false);
    return TRUE;
}

void CCompareDbDlg::ChooseFixed(int radio, const char* templateText)
{
    if (IsDlgButtonChecked(IDC_COMPARE_CUSTOM))
        m_savedCustom = GetDlgItemText(IDC_COMPARE_TEMPLATE);
    CheckRadioButton(IDC_COMPARE_TITLE, IDC_COMPARE_CUSTOM, radio);
    SetDlgItemText(IDC_COMPARE_TEMPLATE, templateText);
    Validate(false);
}

void CCompareDbDlg::OnTitle()
{
    ChooseFixed(IDC_COMPARE_TITLE, kTitleTemplate);
}

void CCompareDbDlg::OnTitleAndType()
{
    ChooseFixed(IDC_COMPARE_TITLE_TYPE, kTitleTypeTemplate);
}

void CCompareDbDlg::OnCustom()
{
    if (IsDlgButtonChecked(IDC_COMPARE_CUSTOM))
        return;
    CheckRadioButton(IDC_COMPARE_TITLE, IDC_COMPARE_CUSTOM, IDC_COMPARE_CUSTOM);
    SetDlgItemText(IDC_COMPARE_TEMPLATE, m_savedCustom.c_str());
    Validate(false);
}

void CCompareDbDlg::OnBrowse()
{
    CFileDialog dialog(TRUE, "vdb", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST,
                       "Vistrel files (*.vdb)|*.vdb|All Files (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK)
        return;
    SetDlgItemText(IDC_COMPARE_FILE, dialog.GetPathName().c_str());
    Validate(false);
}

void CCompareDbDlg::OnInputChange()
{
    Validate(false);
}

bool CCompareDbDlg::Validate(bool load)
{
    bool custom = IsDlgButtonChecked(IDC_COMPARE_CUSTOM) != 0;
    std::string path = GetDlgItemText(IDC_COMPARE_FILE);
    bool ok = !path.empty() && (!custom || !GetDlgItemText(IDC_COMPARE_TEMPLATE).empty());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPARE_TEMPLATE), custom);
    if (load && ok) {
        if (m_other == nullptr)
            m_other.reset(new CMovieCollection);
        // The loader tells the user why a file can't be read.
        if (!m_other->Load(path.c_str())) {
            m_other.reset();
            ok = false;
        }
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), ok);
    return ok;
}

void CCompareDbDlg::OnOK()
{
    if (!Validate(true))
        return;
    m_template = GetDlgItemText(IDC_COMPARE_TEMPLATE);
    CWinApp* app = AfxGetApp();
    app->WriteProfileString(kSection, "file", m_other->GetFileName().c_str());
    int mode = IsDlgButtonChecked(IDC_COMPARE_TITLE_TYPE) ? 1 : (IsDlgButtonChecked(IDC_COMPARE_CUSTOM) ? 2 : 0);
    app->WriteProfileInt(kSection, "mode", mode);
    if (mode == 2)
        app->WriteProfileString(kSection, "custom", m_template.c_str());
    EndDialog(IDOK);
}
