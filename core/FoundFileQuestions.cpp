#include "core/FoundFileQuestions.h"

namespace {

int DefaultInt(const char*, const char*, int defaultValue)
{
    return defaultValue;
}

bool KeepGuess(CMovieFile*, bool)
{
    return true;
}

bool KeepStored(const char*, const char*)
{
    return false;
}

const FoundFileQuestions kNoQuestions = {DefaultInt, KeepGuess, KeepStored};
const FoundFileQuestions* g_questions = &kNoQuestions;

} // namespace

void SetFoundFileQuestions(const FoundFileQuestions* questions)
{
    g_questions = questions != nullptr ? questions : &kNoQuestions;
}

const FoundFileQuestions& GetFoundFileQuestions()
{
    return *g_questions;
}
