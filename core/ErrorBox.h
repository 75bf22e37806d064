// Error boxes: the one way the program tells the user of a failure.
// Windows build: a modal message box captioned "Error" with the stop icon,
// owned by the main window. Host build: the text goes to stderr.
#pragma once

#include <string>

#include "core/StrUtil.h"
#include "core/WinTypes.h"

// Formats the text and shows it; a non-zero quiet flag formats and discards.
void ShowError(int quiet, const char* format, ...) VISTREL_PRINTF(2, 3);

// Formats the text, appends a line feed and the system's description of the
// Win32 error code, and shows it.
void ShowSystemError(DWORD code, const char* format, ...) VISTREL_PRINTF(2, 3);

// The main window owns the boxes. The class layer installs a function that
// returns it; with none installed (or NULL returned) the box has no owner.
typedef HWND (*ErrorBoxOwnerProvider)();
void SetErrorBoxOwnerProvider(ErrorBoxOwnerProvider provider);

// Asks the user with a message box of the given caption and MB_ flags and
// returns the button pressed (IDOK, IDCANCEL...). While recording, the text
// is recorded and the recorded answer returned (IDOK unless set).
int AskUser(const char* text, const char* caption, unsigned type);
void SetRecordedAnswer(int answer);

// Test switch: while on, shown texts are recorded instead of shown.
void SetErrorBoxRecording(bool on);
const std::string& LastErrorBoxText();
int ErrorBoxCount();
