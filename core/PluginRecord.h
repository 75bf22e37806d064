// Building the MediaFormat record that a plug-in hands out: a new record on
// the module's own heap, streams and subtitles appended one at a time, and
// the release that FreeFormat does. Plain C runtime only (linked into every
// plug-in through vplugin).
#pragma once

#include "core/MediaFormat.h"

// A new, initialised record (malloc); NULL when memory runs out.
MediaFormat* NewMediaFormat();

// Appends a new, initialised stream to the record and returns it; NULL when
// memory runs out (the record is left as it was).
VideoStreamInfo* AddVideoStream(MediaFormat& format);
AudioStreamInfo* AddAudioStream(MediaFormat& format);

// Appends a copy of the text (NULL stays a NULL slot); false when memory
// runs out.
bool AddSubtitleText(MediaFormat& format, const char* text);

// Frees a record made by NewMediaFormat with all it holds and sets the
// pointer to NULL; a NULL pointer or record is ignored.
void DeleteMediaFormat(MediaFormat** format);
