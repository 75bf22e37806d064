// The movie information service's base address (scheme and host, no
// trailing "/"). Everything that builds an address on the site starts from
// it; tests point it at a server of their own.
#pragma once

#include <string>

const char* ImdbBaseAddress();

// Replaces the base address (NULL restores the built-in one). Not for use
// while a retrieval runs.
void SetImdbBaseAddress(const char* address);

// The other pieces of the site's addresses: the search and the find form
// (both below the base address), the paths of a movie's pages, the search
// query and the find form's body, each followed by the encoded name.
std::string ImdbSearchAddress();
std::string ImdbFindAddress();
extern const char kImdbTitlePath[];
extern const char kImdbCreditsPath[];
extern const char kImdbTaglinesPath[];
extern const char kImdbPlotPath[];
extern const char kImdbSearchQuery[];
extern const char kImdbFindFormBody[];

// An address as the site's pages give it, made absolute: one that starts
// with "/" is taken below the base address, any other is kept.
std::string ImdbFullAddress(const char* address);
