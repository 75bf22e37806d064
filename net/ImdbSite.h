// The movie information service's base address (scheme and host, no
// trailing "/"). Everything that builds an address on the site starts from
// it; tests point it at a server of their own.
#pragma once

const char* ImdbBaseAddress();

// Replaces the base address (NULL restores the built-in one). Not for use
// while a retrieval runs.
void SetImdbBaseAddress(const char* address);
