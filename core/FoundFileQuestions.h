// What adding a found file asks of the program: a setting, and the user's
// answers to the name check and to replacing a stored file. The program
// installs its dialogs here; without them a file is added under its guessed
// name and no stored file is replaced.
#pragma once

class CMovieFile;

struct FoundFileQuestions {
    int (*profileInt)(const char* section, const char* entry, int defaultValue);
    // Shows the file's guessed title and part number and stores what the
    // user confirms in it; false when the file is not to be added.
    bool (*confirmName)(CMovieFile* file, bool vcdOrDvd);
    // True when the file at newPath is to replace the stored one at oldPath.
    bool (*replaceStoredFile)(const char* oldPath, const char* newPath);
};

void SetFoundFileQuestions(const FoundFileQuestions* questions);
const FoundFileQuestions& GetFoundFileQuestions();
