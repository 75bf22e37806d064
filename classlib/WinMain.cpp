// The entry point of a program built on the layer: it runs the application
// object. Programs link the object library classlib_winmain to get it.
#include "classlib/WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
