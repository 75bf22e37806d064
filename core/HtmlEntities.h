// Cleaning page fragments and file names into display text.
// They work on heap texts (core/StrUtil.h).
#pragma once

// Cleans a page fragment into display text, in place: cuts at a final "("
// or "[" that is never closed, removes tags (except those whose name starts
// with keepTag, compared without case), turns "&nbsp;" into a blank, reduces
// runs of blanks, drops empty bracket pairs, trims blanks and TABs (inner
// TABs become blanks) and turns "&#" + three digits + ";" into that byte.
// keepTag may be NULL. A NULL text is left alone.
void DecodeHtmlEntities(char** text, const char* keepTag);
