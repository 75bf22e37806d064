// The installer's wizard made from its template with its own font: no
// text cut, including the captions its buttons take page by page.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "resources/setup_resource.h"
#include "tests/app/DialogTextFit.h"

TEST(SetupWizardTexts, EveryTextFitsItsControl)
{
    ::InitCommonControls();
    const std::vector<RuntimeText> runtime = {
        {IDD_SETUP, IDC_SETUP_NEXT, {"Next >>", "Install", "Done"}, nullptr},
        {IDD_SETUP, IDC_SETUP_BACK, {"<< Back", "Exit"}, nullptr},
    };
    HMODULE module = ::GetModuleHandleA(nullptr);
    std::vector<int> ids = DialogTemplateIds(module);
    ASSERT_EQ(std::vector<int>{IDD_SETUP}, ids);
    for (const std::string& cut : CutDialogTexts(module, IDD_SETUP, runtime))
        ADD_FAILURE() << cut;
}

#endif
