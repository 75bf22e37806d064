// Catalogue records: copies, comparisons, display name, loans, and whether a
// found file belongs to a movie.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/Disc.h"
#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/Person.h"
#include "core/StrUtil.h"

namespace {

struct FormatShape {
    const char* kind;
    int width;   // 0: no video stream
    int height;
    float fps;
    const char* audioLanguage;  // NULL: no audio stream
    std::vector<const char*> subtitles;
};

void SetFormat(CMovieFile& file, const FormatShape& shape)
{
    MediaFormat format;
    InitMediaFormat(format);
    StrSet(&format.kindName, shape.kind);
    format.framesPerSecond = shape.fps;
    if (shape.width != 0) {
        format.videoStreams = static_cast<VideoStreamInfo**>(calloc(1, sizeof(VideoStreamInfo*)));
        format.videoStreams[0] = static_cast<VideoStreamInfo*>(calloc(1, sizeof(VideoStreamInfo)));
        format.videoStreams[0]->width = shape.width;
        format.videoStreams[0]->height = shape.height;
        format.videoCount = 1;
        format.selectedVideo = 0;
    }
    if (shape.audioLanguage != NULL) {
        format.audioStreams = static_cast<AudioStreamInfo**>(calloc(1, sizeof(AudioStreamInfo*)));
        format.audioStreams[0] = static_cast<AudioStreamInfo*>(calloc(1, sizeof(AudioStreamInfo)));
        StrSet(&format.audioStreams[0]->language, shape.audioLanguage);
        format.audioCount = 1;
        format.selectedAudio = 0;
    }
    if (!shape.subtitles.empty()) {
        format.subtitleTexts = static_cast<char**>(calloc(shape.subtitles.size(), sizeof(char*)));
        for (size_t i = 0; i < shape.subtitles.size(); i++)
            StrSet(&format.subtitleTexts[i], shape.subtitles[i]);
        format.subtitleCount = uint32_t(shape.subtitles.size());
    }
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&format);
    FreeMediaFormat(format);
}

// Stores a file with the given movie-title text in theCollection.
DWORD StoreFile(const char* movieTitle, const char* fileName, const FormatShape* shape = NULL,
                int partNumber = -1)
{
    CMovieFile file;
    StrSet(&file.m_movieTitle, movieTitle);
    StrSet(&file.m_fileName, fileName);
    file.m_partNumber = partNumber;
    if (shape != NULL)
        SetFormat(file, *shape);
    return theCollection.AddFile(&file);
}

struct StoredFile {
    int partNumber;
    std::string movieTitle;
};

StoredFile ReadStoredFile(DWORD id)
{
    CMovieFile* file = theCollection.GetFileCopy(id);
    EXPECT_TRUE(file != NULL);
    StoredFile result = { file->m_partNumber, file->m_movieTitle ? file->m_movieTitle : "" };
    theCollection.ReleaseFileCopy(&file);
    return result;
}

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        theCollection.Clear();
    }
    void TearDown() override { theCollection.Clear(); }

    // CanAddFile with the reason; the reason text is returned in reason.
    bool Check(CMovie& movie, DWORD fileId, std::string* reason)
    {
        char* text = NULL;
        bool result = movie.CanAddFile(fileId, true, &text);
        *reason = text ? text : "";
        free(text);
        return result;
    }
};

TEST(MovieRecord, DisplayNamePrefersCustomTypeThenMediaType)
{
    CMovie movie;
    EXPECT_STREQ("[unknown]", movie.GetDisplayName());
    StrSet(&movie.m_mediaTypeName, "DivX");
    EXPECT_STREQ("DivX", movie.GetDisplayName());
    StrSet(&movie.m_customType, "Anime");
    EXPECT_STREQ("Anime", movie.GetDisplayName());
}

TEST(MovieRecord, CopyIsDeepAndComparedFieldByField)
{
    CMovie movie(7);
    StrSet(&movie.m_title, "Alien");
    movie.m_fileIds = { 3, 4 };
    movie.m_imdbInfo.reset(new CImdbInfo);
    movie.m_imdbInfo->AddCastEntry("Sigourney Weaver", "Ripley");

    CMovie copy;
    EXPECT_FALSE(copy.CopyFrom(NULL));
    ASSERT_TRUE(copy.CopyFrom(&movie));
    EXPECT_EQ(7u, copy.m_id);
    EXPECT_FALSE(movie.IsDifferent(copy));
    EXPECT_NE(movie.m_title, copy.m_title);

    // Editing the copy's cast leaves the original alone.
    StrSet(&copy.m_imdbInfo->m_cast[0]->m_character, "Ellen Ripley");
    EXPECT_STREQ("Ripley", movie.m_imdbInfo->m_cast[0]->m_character);
    EXPECT_TRUE(movie.IsDifferent(copy));

    // The modified flag is not compared; NULL and empty texts are equal.
    copy.CopyFrom(&movie);
    copy.m_modified = 1;
    StrSet(&movie.m_language, "");
    EXPECT_FALSE(movie.IsDifferent(copy));

    copy.m_imdbInfo.reset();
    EXPECT_TRUE(movie.IsDifferent(copy));
    copy.CopyFrom(&movie);
    copy.m_fileIds = { 4, 3 };
    EXPECT_TRUE(movie.IsDifferent(copy));
}

TEST(OtherRecords, DiscPersonAndFileComparisons)
{
    CDisc disc;
    StrSet(&disc.m_serialNumber, "1A2B-3C4D");
    disc.AddFileId(5);
    CDisc other;
    other.CopyFrom(disc);
    other.m_network = 1;  // not kept in the file, so not compared
    EXPECT_FALSE(disc.IsDifferent(other));
    other.m_driveLetter = 'd';
    EXPECT_TRUE(disc.IsDifferent(other));

    CMovieFile file;
    CMovieFile empty;
    file.m_mediaInfo.reset(new CMediaFormatInfo);  // an empty holder equals none
    EXPECT_FALSE(file.IsDifferent(empty));
    EXPECT_STREQ("[unknown]", file.GetFormatName());
    char* info = NULL;
    file.GetInfoText(&info);
    EXPECT_STREQ("--- no info ---", info);
    free(info);
    FormatShape shape = { "DivX", 640, 480, 25.0f, NULL, {} };
    SetFormat(file, shape);
    EXPECT_STREQ("DivX", file.GetFormatName());
    EXPECT_TRUE(file.IsDifferent(empty));
    empty.CopyFrom(file);
    EXPECT_FALSE(file.IsDifferent(empty));
    empty.m_creationTime.wMilliseconds = 1;
    EXPECT_TRUE(file.IsDifferent(empty));
}

TEST(PersonRecord, LoansOpenAndReturn)
{
    SetErrorBoxRecording(true);
    CPerson person;
    person.AddLoan(4);
    person.AddLoan(4);
    ASSERT_EQ(2u, person.GetLoanCount());
    EXPECT_FALSE(person.m_loans[0].m_borrowed.IsEmpty());
    EXPECT_TRUE(person.m_loans[0].IsOpen());

    CPerson before;
    before.CopyFrom(person);
    person.ReturnLoan(9);  // not borrowed: nothing changes, nothing is shown
    EXPECT_FALSE(person.IsDifferent(before));

    person.ReturnLoan(4);
    EXPECT_FALSE(person.m_loans[0].IsOpen());
    EXPECT_TRUE(person.m_loans[1].IsOpen());
    EXPECT_TRUE(person.IsDifferent(before));
}

TEST_F(RecordsTest, FileJoinsMovieByTitle)
{
    std::string reason;
    CMovie movie;
    DWORD alien2 = StoreFile("Alien2", "alien2.avi");

    // An empty movie takes any file.
    EXPECT_TRUE(Check(movie, alien2, &reason));
    EXPECT_EQ("The movie did not even have a name, so ofcourse.", reason);

    StrSet(&movie.m_title, "Alien");
    EXPECT_TRUE(Check(movie, alien2, &reason));
    EXPECT_EQ("The names does match enough.", reason);
    // Without files the part number stays unset.
    EXPECT_EQ(-1, ReadStoredFile(alien2).partNumber);
    EXPECT_EQ("Alien2", ReadStoredFile(alien2).movieTitle);

    DWORD exact = StoreFile("ALIEN", "x.avi");
    EXPECT_TRUE(Check(movie, exact, &reason));
    EXPECT_EQ("Perfect match in names", reason);

    DWORD other = StoreFile("Heat2", "heat2.avi");
    EXPECT_FALSE(Check(movie, other, &reason));
    EXPECT_EQ("The names did not match enough.", reason);

    DWORD noNumber = StoreFile("Aliens", "aliens.avi");
    EXPECT_FALSE(Check(movie, noNumber, &reason));
    EXPECT_EQ("Could not find any perticular reason why not add this file. But didn't find one "
              "why to add it either.", reason);

    // A file whose title text is absent never joins.
    DWORD untitled = StoreFile(NULL, "y.avi");
    EXPECT_FALSE(Check(movie, untitled, &reason));
    EXPECT_FALSE(movie.CanAddFile(NO_ID, true, NULL));
}

TEST_F(RecordsTest, SecondPartTakesNumberFromItsStem)
{
    std::string reason;
    FormatShape shape = { "DivX", 640, 480, 25.0f, NULL, {} };
    CMovie movie;
    StrSet(&movie.m_title, "Alien");
    ASSERT_TRUE(movie.AddFile(StoreFile("Alien", "alien_1.avi", &shape, 1), false));

    // The character before the digits goes with them.
    DWORD underscore = StoreFile("Alien_2", "alien_2.avi", &shape);
    EXPECT_TRUE(Check(movie, underscore, &reason));
    EXPECT_EQ("The names does match enough.", reason);
    EXPECT_EQ(2, ReadStoredFile(underscore).partNumber);
    EXPECT_EQ("Alien", ReadStoredFile(underscore).movieTitle);

    DWORD glued = StoreFile("Alien12", "alien12.avi", &shape);
    EXPECT_TRUE(Check(movie, glued, &reason));
    EXPECT_EQ(12, ReadStoredFile(glued).partNumber);
    EXPECT_EQ("Alie", ReadStoredFile(glued).movieTitle);

    // A part number already set keeps the whole text as the stem.
    DWORD numbered = StoreFile("Alien3", "alien3.avi", &shape, 3);
    EXPECT_FALSE(Check(movie, numbered, &reason));
    EXPECT_EQ("The names did not match enough.", reason);
    EXPECT_EQ("Alien3", ReadStoredFile(numbered).movieTitle);
}

TEST_F(RecordsTest, StemMayMatchTheTitleGuessedFromTheFirstFile)
{
    std::string reason;
    CMovie movie;
    movie.AddFile(StoreFile("Alien", "alien_cd1.avi", NULL, 1), true);
    StrSet(&movie.m_title, "The Eighth Passenger");

    DWORD second = StoreFile("Alien_2", "alien_cd2.avi");
    EXPECT_TRUE(Check(movie, second, &reason));
    EXPECT_EQ("The names does match enough.", reason);
    EXPECT_EQ(2, ReadStoredFile(second).partNumber);

    EXPECT_FALSE(Check(movie, StoreFile("Heat_2", "heat_cd2.avi"), &reason));
    EXPECT_EQ("The names did not match enough.", reason);
}

TEST_F(RecordsTest, FilesOfOneMovieShareSizeAndFrameRate)
{
    std::string reason;
    FormatShape first = { "DivX", 640, 480, 25.0f, NULL, {} };
    FormatShape wide = { "DivX", 720, 480, 25.0f, NULL, {} };
    FormatShape mpeg = { "MPEG-1", 640, 480, 25.0f, NULL, {} };
    CMovie movie;
    StrSet(&movie.m_title, "Heat");
    ASSERT_TRUE(movie.AddFile(StoreFile("Heat", "heat1.avi", &first, 1), false));

    // Frame rates match within 0.01 either way, and not beyond.
    const struct {
        float rate;
        bool fits;
    } rates[] = { { 25.009f, true }, { 24.991f, true }, { 25.015f, false }, { 24.985f, false },
                  { 25.02f, false } };
    for (const auto& row : rates) {
        FormatShape second = { "DivX", 640, 480, row.rate, NULL, {} };
        EXPECT_EQ(row.fits, Check(movie, StoreFile("Heat 2", "heat 2.avi", &second), &reason)) << row.rate;
        if (!row.fits) {
            EXPECT_EQ("The other files in the movie did not have the same size and framerate as this one.",
                      reason);
        }
    }
    EXPECT_FALSE(Check(movie, StoreFile("Heat 2", "heat 2.avi", &wide), &reason));
    EXPECT_FALSE(Check(movie, StoreFile("Heat", "heat.mpg", &mpeg), &reason));
    EXPECT_EQ("Not the same file format.\n(Don't wan't to mix AVI with MPEG)", reason);

    // Offering a file the movie already holds.
    EXPECT_FALSE(Check(movie, movie.m_fileIds[0], &reason));
    EXPECT_EQ("File already exist in this movie", reason);
    int shown = ErrorBoxCount();
    EXPECT_FALSE(movie.CanAddFile(movie.m_fileIds[0]));
    EXPECT_EQ(shown + 1, ErrorBoxCount());
    EXPECT_EQ("File already exist in this movie", LastErrorBoxText());
}

TEST_F(RecordsTest, AddFileTakesWhatTheMovieLacks)
{
    FormatShape first = { "DivX", 640, 480, 25.0f, "English", { "Swedish", "", "German" } };
    FormatShape second = { "DivX", 640, 480, 25.0f, "French", { "Danish" } };
    CMovie movie;
    ASSERT_TRUE(movie.AddFile(StoreFile("Ronin", "ronin1.avi", &first, 1), false));
    EXPECT_STREQ("Ronin", movie.m_title);
    EXPECT_STREQ("DivX", movie.m_mediaTypeName);
    EXPECT_STREQ("English", movie.m_language);
    EXPECT_EQ(1, movie.m_hasSubtitles);
    EXPECT_STREQ("Swedish / German", movie.m_subtitles);

    // A later file changes none of them.
    ASSERT_TRUE(movie.AddFile(StoreFile("Ronin", "ronin2.avi", &second, 2), false));
    EXPECT_EQ(2u, movie.GetFileCount());
    EXPECT_STREQ("English", movie.m_language);
    EXPECT_STREQ("Swedish / German", movie.m_subtitles);

    // Without force a file that does not fit stays out.
    CMovie other;
    StrSet(&other.m_title, "Heat");
    EXPECT_FALSE(other.AddFile(StoreFile("Ronin", "r.avi", &first), false));
    EXPECT_EQ(0u, other.GetFileCount());
    // Forced into a movie with neither files nor internet information, the
    // file gives its title.
    EXPECT_TRUE(other.AddFile(StoreFile("Ronin", "r.avi", &first), true));
    EXPECT_STREQ("Ronin", other.m_title);
    EXPECT_TRUE(other.RemoveFile(other.m_fileIds[0]));
    EXPECT_EQ(0u, other.GetFileCount());
}

} // namespace
