// The guard of every function that Windows calls into the program: window
// and dialog procedures, hooks, enumeration and sort callbacks. No C++
// exception may leave such a function: the unwinder cannot pass the system's
// own frames, and the process would end. A failed handler is reported and
// the function answers as if the handler had not been there.
#pragma once

#include <windows.h>

#include <string>

// Reports the exception being handled (call it only inside a catch block):
// "Out of memory." for std::bad_alloc, a class-layer exception's own
// message, otherwise a general text. Shown in a message box (see
// ProcGuard.cpp for when it is held back); never throws. For WM_COMMAND and
// WM_NOTIFY, wParam and lParam tell the command or notification apart.
void AfxReportCaughtException(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// The text of the exception being handled, as the report above shows it
// (call it only inside a catch block). Never throws: when the text cannot
// be copied it is "Out of memory.".
std::string AfxCaughtExceptionText();

// Answers body(); when body throws, reports the failure of the given window
// and message and answers fallback() instead.
template <typename Body, typename Fallback>
auto AfxCallGuarded(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, Body body, Fallback fallback)
    -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        AfxReportCaughtException(hWnd, message, wParam, lParam);
    }
    return fallback();
}

template <typename Body, typename Fallback>
auto AfxCallGuarded(HWND hWnd, UINT message, Body body, Fallback fallback) -> decltype(body())
{
    return AfxCallGuarded(hWnd, message, 0, 0, body, fallback);
}
