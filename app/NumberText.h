// The number edits of the movie-box dialogs: a leading whole number read the
// way atoi reads one (blanks, a sign, digits up to the first other
// character, 0 without digits), but without overflow, and kept within the
// bounds the field allows.
#pragma once

#include <cstdint>
#include <string>

// False for an empty text, which leaves the value as it is; otherwise
// *value is the leading number brought within low..high.
bool ReadNumberText(const std::string& text, int32_t low, int32_t high, int32_t* value);
