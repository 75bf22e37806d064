// The address of a person's page on the movie information site, built from
// the name a cast list gives ("First Middle Last (II)"). Names come from
// fetched pages: whatever they hold, the address carries only characters
// that are safe in a URL and on a command line.
#pragma once

#include <string>

// The site's base address followed by "/Name?Last,+First+Middle" (a name
// with a qualifier in brackets asks for "Last,+First+Middle+(II)"), or
// "/Name?Name," for a single word. NULL counts as an empty name.
std::string ImdbPersonAddress(const char* name);
