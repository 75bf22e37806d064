// The template fields of the movie-box dialogs: the text of an element and
// the template of a background rule. The dialogs bind the field to its
// control, set and read it through the window text and hear of every change
// as EN_CHANGE from the control.
#pragma once

#include "classlib/Edit.h"

class CTemplateEdit : public CEdit {
public:
    BOOL Bind(UINT id, CWnd* dialog) { return SubclassDlgItem(id, dialog); }
};
