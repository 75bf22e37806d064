// Expands arbitrary templates with the token engine, for a movie with files,
// streams, cast and a loan and for no movie. At every "%" the check-only
// lookup must report the same span as the expansion. The same bytes also go
// through the title guess as a file name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"
#include "core/TitleGuess.h"
#include "export/TokenEngine.h"

namespace {

DWORD AddFile(int32_t frames, float fps)
{
    CMovieFile file;
    StrSet(&file.m_folder, "\\f");
    StrSet(&file.m_fileName, "a.avi");
    file.m_size = 123456789;
    MediaFormat format;
    InitMediaFormat(format);
    format.frameCount = frames;
    format.framesPerSecond = fps;
    VideoStreamInfo video;
    InitVideoStreamInfo(video);
    video.width = 720;
    AudioStreamInfo audio;
    InitAudioStreamInfo(audio);
    audio.sampleRate = -1;
    VideoStreamInfo* videos[1] = {&video};
    AudioStreamInfo* audios[1] = {&audio};
    format.videoStreams = videos;
    format.videoCount = 1;
    format.selectedVideo = 0;
    format.audioStreams = audios;
    format.audioCount = 1;
    format.selectedAudio = 0;
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&format);
    return theCollection.AddFile(&file);
}

CMovie* MakeMovie()
{
    SetErrorBoxRecording(true);
    CMovie* movie = new CMovie(7);
    StrSet(&movie->m_title, "50%% %movie_name");
    movie->m_seen = 1;
    movie->m_fileIds = {AddFile(90000, 25.0f), AddFile(-1, 1e-20f), AddFile(5, 0.0f), 12345};
    movie->m_imdbInfo.reset(new CImdbInfo);
    movie->m_imdbInfo->m_rating = 1e300;
    movie->m_imdbInfo->m_runtime = 0xFFFFFFFF;
    movie->m_imdbInfo->m_cover = {1};
    StrSet(&movie->m_imdbInfo->m_coverType, "png");
    movie->m_imdbInfo->AddCastEntry("A", NULL);
    theCollection.AddMovie(movie, true);
    CPerson person;
    CLoan loan;
    loan.m_movieId = 7;
    person.m_loans.push_back(loan);
    theCollection.AddPerson(&person);
    return movie;
}

void CheckSpans(const char* text, const CMovie* movie, int32_t number, const char* prefix)
{
    for (const char* p = strchr(text, '%'); p != NULL; p = strchr(p + 1, '%')) {
        size_t expanded = 0, checked = 0;
        char* value = ExpandScriptToken(p, &expanded, movie, number, prefix, prefix, false);
        char* marker = ExpandScriptToken(p, &checked, movie, number, prefix, prefix, true);
        if ((value == NULL) != (marker == NULL) || (value != NULL && expanded != checked))
            abort();
        if (value != NULL && expanded > strlen(p))
            abort();
        free(value);
        free(marker);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CMovie* movie = MakeMovie();
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();  // up to the first NUL

    char* work = NULL;
    StrSet(&work, text.c_str());
    ExpandScriptTokens(&work, movie, 3, "c/", "none");
    StrSet(&work, text.c_str());
    ExpandScriptTokens(&work, NULL, -1, NULL, NULL);
    free(work);

    CheckSpans(text.c_str(), movie, 0, "");
    CheckSpans(text.c_str(), NULL, -1, NULL);

    char* title = NULL;
    int32_t part = 0;
    GuessTitleFromFileName(text.c_str(), text.c_str() + text.size() / 2, &title, &part);
    free(title);
    return 0;
}
