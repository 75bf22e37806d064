// The pixel size of a cover picture, read from the picture file's own header
// (JPEG frame header, GIF logical screen, PNG IHDR, BMP info header) instead
// of decoding the whole picture.
#pragma once

#include <cstddef>

#include "core/WinTypes.h"

// True with the width and height when the bytes begin a JPEG, GIF, PNG or BMP
// file whose header gives a size; false for anything else.
bool MeasurePicture(const BYTE* data, size_t length, long* width, long* height);
