#include "net/ImdbSettings.h"

#ifdef _WIN32
#include "classlib/WinApp.h"
#endif

namespace {

int UpdateSetting(const char* key, int defaultValue)
{
#ifdef _WIN32
    CWinApp* app = AfxGetApp();
    if (app != nullptr)
        return int(app->GetProfileInt("update", key, defaultValue));
#else
    (void)key;
#endif
    return defaultValue;
}

// The program's own settings, read at each use: the dialogs that change
// them may run between two retrievals.
class CProgramImdbSettings : public IImdbSettings {
public:
    int Overwrite(int defaultValue) override { return UpdateSetting("overwrite", defaultValue); }
    bool ForceSmallCover() override { return (UpdateSetting("force_small_cover", 0) & 1) != 0; }
    bool NoNewCover() override { return (UpdateSetting("no_new_cover", 0) & 1) != 0; }
};

CProgramImdbSettings g_programSettings;
IImdbSettings* g_settings = &g_programSettings;

} // namespace

void SetImdbSettings(IImdbSettings* settings)
{
    g_settings = settings != nullptr ? settings : &g_programSettings;
}

IImdbSettings& GetImdbSettings()
{
    return *g_settings;
}
