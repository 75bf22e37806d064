// The media detector's class and interface ids, which no import library
// holds.
#include <windows.h>

#include <dshow.h>

#include <initguid.h>

#include <qedit.h>
