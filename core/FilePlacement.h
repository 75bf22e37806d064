// Putting a newly stored media file into a movie: the given movie, else the
// first stored movie (in ascending id order) that accepts it, else a new
// movie of its own.
#pragma once

#include "core/WinTypes.h"

class CMovie;

// The id of the movie that took the file; NO_ID when none could (with a
// given movie: that movie's id, its copy having taken the file).
DWORD PlaceNewFile(DWORD fileId, CMovie* givenMovie);
