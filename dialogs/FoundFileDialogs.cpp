#include "dialogs/FoundFileDialogs.h"

#include "classlib/WinApp.h"
#include "core/FoundFileQuestions.h"
#include "core/MovieFile.h"
#include "dialogs/NameCheckDlg.h"
#include "dialogs/UpdateMovieFileDlg.h"

namespace {

int ProfileInt(const char* section, const char* entry, int defaultValue)
{
    CWinApp* app = AfxGetApp();
    return app != nullptr ? int(app->GetProfileInt(section, entry, defaultValue)) : defaultValue;
}

bool ConfirmName(CMovieFile* file, bool vcdOrDvd)
{
    CNameCheckDlg dlg;
    dlg.SetFile(file, vcdOrDvd);
    if (dlg.DoModal() != IDOK)
        return false;
    dlg.GetResult(&file->m_movieTitle, &file->m_partNumber);
    return true;
}

bool ReplaceStoredFile(const char* oldPath, const char* newPath)
{
    CUpdateMovieFileDlg dlg;
    dlg.SetPaths(oldPath, newPath);
    return dlg.DoModal() == IDOK;
}

const FoundFileQuestions kDialogs = {ProfileInt, ConfirmName, ReplaceStoredFile};

} // namespace

void InstallFoundFileDialogs()
{
    SetFoundFileQuestions(&kDialogs);
}
