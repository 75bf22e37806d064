// No exception may leave a plug-in: the host is another module with an
// unwinder of its own, and a plug-in shows no message and answers NULL on
// any failure. Every plug-in's ReadFromFile reads through GuardedRead; the
// other exports only return a constant or free with the C runtime, and
// cannot throw.
#pragma once

#include "core/PluginApi.h"

typedef MediaFormat* (*FormatReader)(const char* dir, const char* name, const char* ext, BYTE pass);

// read(dir, name, ext, pass), or NULL when it throws.
MediaFormat* GuardedRead(FormatReader read, const char* dir, const char* name, const char* ext, BYTE pass);
