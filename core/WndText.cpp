// Texts and numbers to and from window controls.
#ifdef _WIN32
#include "core/WndText.h"

#include <cstdio>
#include <cstdlib>

void SetWndText(HWND wnd, const char* text)
{
    if (wnd == NULL)
        return;
    SetWindowTextA(wnd, text ? text : "");
}

void GetWndText(HWND wnd, char** dst)
{
    free(*dst);
    *dst = NULL;
    if (wnd == NULL)
        return;
    int length = GetWindowTextLengthA(wnd);
    if (length <= 0)
        return;
    char* text = static_cast<char*>(malloc(size_t(length) + 10));
    if (text == NULL)
        return;
    if (GetWindowTextA(wnd, text, length + 10) <= 0) {
        free(text);
        return;
    }
    *dst = text;
}

void SetWndLong(HWND wnd, long value)
{
    if (wnd == NULL)
        return;
    char text[24];
    snprintf(text, sizeof text, "%ld", value);
    SetWindowTextA(wnd, text);
}

long GetWndLong(HWND wnd)
{
    char* text = NULL;
    GetWndText(wnd, &text);
    if (text == NULL)
        return 0;
    long value = atol(text);
    free(text);
    return value;
}
#endif
