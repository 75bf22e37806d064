// The platform's part of the export: the program's own resource bytes and
// the system's folder picker.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The bytes of a resource of the program: without a buffer only *size is
// set, with one the bytes are copied (the buffer holds *size bytes). False
// when the resource is missing.
bool LoadResourceBytes(const char* type, UINT id, BYTE* buffer, DWORD* size);

// The system's folder picker; *path is set only when a folder was chosen.
bool BrowseForFolder(CWnd* owner, const char* title, std::string* path);
