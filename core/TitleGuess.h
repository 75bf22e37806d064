// Guessing a movie title and part number from a media file's name. Letters
// are judged in the Latin-1 code page.
#pragma once

#include <cstdint>

// Guesses the title of the movie a file belongs to. Without an altName (NULL
// or empty) the title comes from name; with one, both are cleaned and the one
// with more words wins (name on a tie). *partNumber is the part number taken
// from name, else from altName, else -1. False, with nothing stored, when
// name is NULL or empty. The title is stored with StrSet.
bool GuessTitleFromFileName(const char* name, const char* altName, char** title, int32_t* partNumber);

// Returns the part number at the end of the text (a "cd2", "2 of 3", a
// two-digit "12." or a lone " 1") and cuts it off; -1 with the text left
// as it is when there is none.
int32_t ExtractPartNumber(char** text);

// Ends the text before the first release tag or file extension and removes
// words without vowels (DVD, TS), keeping numbers, ordinals such as 4th and
// the s of a possessive.
void StripTitleTags(char** text);

// Turns ".", "-" and "_" into blanks, raises the first letter, turns words of
// more than two letters written all in capitals into capital and lower-case
// letters, and decodes HTML character entities.
void CapitaliseTitle(char** text);

// The number of words (runs of letters and digits) that hold a letter.
int ScoreTitle(const char* text);
