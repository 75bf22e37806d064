// Printing the painted movie list: the print dialog, relabelled to ask for
// movie numbers, and the print run with the "print" settings.
#pragma once

#include <windows.h>

class CMovieListView;
class CWnd;

// Runs the print dialog over owner and prints the pane's boxes.
void PrintMovieListing(CMovieListView& pane, CWnd* owner);

// Prints the pane's boxes (all, or those of the movie numbers from..to) on
// a printer's device context with the "print" settings; false when nothing
// was printed.
bool RunPrintJob(CMovieListView& pane, HDC dc, bool range, DWORD from, DWORD to);

// The print dialog's hook: "All %ld movies." and "ID Range" for its choices.
UINT_PTR CALLBACK RelabelPrintDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The page range the print dialog offers: 0 to the last movie number, at
// most 65535.
WORD LastPrintableMovie();
