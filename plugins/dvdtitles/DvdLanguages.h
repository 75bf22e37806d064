// Names of the languages of DVD streams.
#pragma once

#include <cstdint>

struct DvdLanguage {
    char code[3];    // two characters; "  " for "Not Specified"
    char name[20];
};

// The rows in table order, ended by a row with an empty code.
const DvdLanguage* DvdLanguageTable();

// The name for a disc's 16-bit language code (first character in the high
// byte), or "" when no row has it.
const char* FindLanguageName(uint16_t code);
