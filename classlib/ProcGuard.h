// The guard of every function that Windows calls into the program: window
// and dialog procedures, hooks, enumeration and sort callbacks. No C++
// exception may leave such a function: the unwinder cannot pass the system's
// own frames, and the process would end. A failed handler is reported and
// the function answers as if the handler had not been there.
#pragma once

#include <windows.h>

// Reports the exception being handled (call it only inside a catch block):
// "Out of memory." for std::bad_alloc, a class-layer exception's own
// message, otherwise a general text. Shown once in a message box (see
// ProcGuard.cpp); never throws.
void AfxReportCaughtException(HWND hWnd, UINT message);

// Answers body(); when body throws, reports the failure of the given window
// and message and answers fallback() instead.
template <typename Body, typename Fallback>
auto AfxCallGuarded(HWND hWnd, UINT message, Body body, Fallback fallback) -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        AfxReportCaughtException(hWnd, message);
    }
    return fallback();
}
