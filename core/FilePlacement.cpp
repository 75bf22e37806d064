#include "core/FilePlacement.h"

#include "core/Movie.h"
#include "core/MovieCollection.h"

DWORD PlaceNewFile(DWORD fileId, CMovie* givenMovie)
{
    if (givenMovie != NULL)
        return givenMovie->AddFile(fileId, true) ? givenMovie->m_id : NO_ID;

    // The stored movies are asked in place: a copy of each (with its cover)
    // for every new file would cost more than loading the catalogue.
    for (DWORD id = theCollection.GetNextIdOfMovie(NO_ID); id != NO_ID; id = theCollection.GetNextIdOfMovie(id)) {
        if (!theCollection.MovieAcceptsFile(id, fileId))
            continue;
        CMovie* movie = theCollection.GetMovieCopy(id);
        if (movie == NULL)
            return NO_ID;
        movie->AddFile(fileId, true);
        theCollection.ReleaseMovieCopy(&movie);
        return id;
    }
    CMovie movie;
    if (!movie.AddFile(fileId, true))
        return NO_ID;
    return theCollection.AddMovie(&movie, false);
}
