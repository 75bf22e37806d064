// Moving texts and numbers between heap texts and window controls.
#pragma once

#ifdef _WIN32
#include <windows.h>

// Sets the window text; NULL sets "". Nothing when wnd is NULL.
void SetWndText(HWND wnd, const char* text);

// Frees *dst, then reads the window text into a new heap text. *dst stays
// NULL when the window is NULL or the text is empty or unreadable.
void GetWndText(HWND wnd, char** dst);

// Sets the number, written with "%ld", as the window text.
void SetWndLong(HWND wnd, long value);

// The window text as a decimal number (leading digits); 0 when the window is
// NULL or the text is empty or unreadable.
long GetWndLong(HWND wnd);
#endif
