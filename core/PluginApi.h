// The exports of a format plug-in DLL, bound by the main program by their
// plain names through GetProcAddress.
//
//   Version        C call,        BYTE (void); 1 for this contract
//   PluginDesc     C call,        const char* (void); one-line description
//   PluginFormats  C call,        const char* (void); "|desc|*.a;*.b|..." filter
//   ReadFromFile   standard call, MediaFormat* (dir, name, ext, pass); NULL = no answer
//   FreeFormat     standard call, void (MediaFormat** record); frees and sets NULL
//
// ReadFromFile gets the folder (ending in a backslash), the file name without
// extension and the extension with its dot (NULL when the name has none); the
// full path is dir + name + ext. In pass 0 a plug-in answers only for the
// extensions it knows, in pass 1 it may probe any file. A plug-in never shows
// a message and answers NULL on any failure.
//
// The toolchain decorates standard-call names ("ReadFromFile@16"); plug-ins
// link with -Wl,--kill-at (or a .def file) so all five are exported plainly.
#pragma once

#include "core/MediaFormat.h"
#include "core/WinTypes.h"

#ifdef _WIN32
#define PLUGIN_CDECL __cdecl
#define PLUGIN_STDCALL __stdcall
#else
#define PLUGIN_CDECL
#define PLUGIN_STDCALL
#endif

#define PLUGIN_API_VERSION 1

typedef BYTE(PLUGIN_CDECL* PluginVersionFn)(void);
typedef const char*(PLUGIN_CDECL* PluginDescFn)(void);
typedef const char*(PLUGIN_CDECL* PluginFormatsFn)(void);
typedef MediaFormat*(PLUGIN_STDCALL* PluginReadFromFileFn)(const char* dir, const char* name,
                                                           const char* ext, BYTE pass);
typedef void(PLUGIN_STDCALL* PluginFreeFormatFn)(MediaFormat** record);

// Declarations for plug-in modules, which define the five functions with
// PLUGIN_EXPORT in front.
#ifdef _WIN32
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifdef VISTREL_PLUGIN_MODULE
PLUGIN_EXPORT BYTE PLUGIN_CDECL Version(void);
PLUGIN_EXPORT const char* PLUGIN_CDECL PluginDesc(void);
PLUGIN_EXPORT const char* PLUGIN_CDECL PluginFormats(void);
PLUGIN_EXPORT MediaFormat* PLUGIN_STDCALL ReadFromFile(const char* dir, const char* name,
                                                       const char* ext, BYTE pass);
PLUGIN_EXPORT void PLUGIN_STDCALL FreeFormat(MediaFormat** record);
#endif
