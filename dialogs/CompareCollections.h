// Comparing two catalogues by a template text per movie, and copying movies
// from one to the other with their files and discs, without any window.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/MovieCollection.h"

struct CompareEntry {
    std::string text;
    DWORD movieId;
};

struct CompareResult {
    std::vector<CompareEntry> onlyCurrent;  // in id order
    std::vector<CompareEntry> onlyOther;
};

// The template expanded for each movie of both collections (each movie's
// tokens read its own collection). A movie of the other collection whose
// text equals (byte for byte) a text of the current one removes the first
// such entry, and is not kept itself. progress is told after every movie
// with the count done so far; stop ends the walk early (the result is then
// incomplete).
CompareResult CompareCollections(CMovieCollection& current, CMovieCollection& other, const char* templateText,
                                 const std::atomic<bool>& stop, const std::function<void(long done)>& progress);

// Copies the movies with their files, and the discs holding those files with
// all their files, from source into destination. Within one call a disc and
// a file are brought once, however many movies name them; a movie goes whole
// or not at all (a disc the user refuses to add, or a movie that can't be
// added, leaves nothing of it behind). A movie keeps its id when the
// destination has it free. Returns the ids (in source) of the movies copied.
std::vector<DWORD> CopyMovies(CMovieCollection& source, CMovieCollection& destination,
                              const std::vector<DWORD>& movieIds);
