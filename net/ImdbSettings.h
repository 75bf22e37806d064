// The "update" settings that decide what a fetched title page may replace.
#pragma once

class IImdbSettings {
public:
    virtual ~IImdbSettings() {}
    // The "overwrite" bits (IMDB_OVERWRITE_...), defaultValue when unset.
    virtual int Overwrite(int defaultValue) = 0;
    // Only the small cover of the title page is taken.
    virtual bool ForceSmallCover() = 0;
    // A cover of unknown size class (one the user loaded) is kept.
    virtual bool NoNewCover() = 0;
};

enum {
    IMDB_OVERWRITE_ONLY_EMPTY = 1,  // fill the rating or the comment when it is empty
    IMDB_OVERWRITE_RATE = 16,       // always take the rating
    IMDB_OVERWRITE_COMMENT = 64     // always take the comment
};

// Installs the settings, normally once; NULL restores the program's own
// (the profile in the Windows build, the defaults elsewhere). The object
// must outlive every retrieval.
void SetImdbSettings(IImdbSettings* settings);
IImdbSettings& GetImdbSettings();
