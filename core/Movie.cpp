#include "core/Movie.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/ErrorBox.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/StrUtil.h"
#include "core/TitleGuess.h"

namespace {

bool IsBlank(const char* text)
{
    return text == NULL || text[0] == 0;
}

int FoldCase(char c)
{
    return LowerAscii(c);
}

bool EqualNoCase(const char* a, const char* b)
{
    if (a == NULL || b == NULL)
        return false;
    while (*a && FoldCase(*a) == FoldCase(*b)) {
        a++;
        b++;
    }
    return FoldCase(*a) == FoldCase(*b);
}

// The first n characters of both texts agree, ignoring case. A zero-length
// stem names nothing and never matches.
bool EqualNoCaseN(const char* a, const char* b, int n)
{
    if (a == NULL || b == NULL || n <= 0)
        return false;
    for (int i = 0; i < n; i++) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
        if (a[i] == 0)
            return true;
    }
    return true;
}

int ParseNumber(const char* digits)
{
    long value = strtol(digits, NULL, 10);
    if (value > INT_MAX)
        return INT_MAX;
    return int(value);
}

} // namespace

CMovie::CMovie()
    : m_seen(0), m_title(NULL), m_customType(NULL), m_language(NULL), m_subtitles(NULL),
      m_mediaTypeName(NULL), m_id(0xFFFFFFFF), m_hasSubtitles(0), m_modified(0)
{
}

CMovie::CMovie(DWORD id) : CMovie()
{
    m_id = id;
}

CMovie::~CMovie()
{
    free(m_title);
    free(m_customType);
    free(m_language);
    free(m_subtitles);
    free(m_mediaTypeName);
}

bool CMovie::CopyFrom(const CMovie* other)
{
    if (other == NULL)
        return false;
    if (other == this)
        return true;
    m_seen = other->m_seen;
    StrSet(&m_title, other->m_title);
    StrSet(&m_customType, other->m_customType);
    StrSet(&m_language, other->m_language);
    StrSet(&m_subtitles, other->m_subtitles);
    StrSet(&m_mediaTypeName, other->m_mediaTypeName);
    m_id = other->m_id;
    if (other->m_imdbInfo) {
        if (!m_imdbInfo)
            m_imdbInfo.reset(new CImdbInfo);
        m_imdbInfo->CopyFrom(*other->m_imdbInfo);
    } else {
        m_imdbInfo.reset();
    }
    m_fileIds = other->m_fileIds;
    m_hasSubtitles = other->m_hasSubtitles;
    m_modified = other->m_modified;
    return true;
}

bool CMovie::IsDifferent(const CMovie& other) const
{
    if (m_seen != other.m_seen || !StrEqual(m_mediaTypeName, other.m_mediaTypeName) ||
        !StrEqual(m_title, other.m_title) || !StrEqual(m_customType, other.m_customType) ||
        !StrEqual(m_language, other.m_language) || m_hasSubtitles != other.m_hasSubtitles ||
        !StrEqual(m_subtitles, other.m_subtitles) || m_id != other.m_id)
        return true;
    if (!m_imdbInfo != !other.m_imdbInfo)
        return true;
    if (m_imdbInfo && m_imdbInfo->IsDifferent(*other.m_imdbInfo))
        return true;
    return m_fileIds != other.m_fileIds;
}

const char* CMovie::GetDisplayName() const
{
    if (!IsBlank(m_customType))
        return m_customType;
    if (!IsBlank(m_mediaTypeName))
        return m_mediaTypeName;
    return "[unknown]";
}

bool CMovie::HasFile(DWORD fileId) const
{
    return std::find(m_fileIds.begin(), m_fileIds.end(), fileId) != m_fileIds.end();
}

bool CMovie::RemoveFile(DWORD fileId)
{
    std::vector<DWORD>::iterator it = std::find(m_fileIds.begin(), m_fileIds.end(), fileId);
    if (it == m_fileIds.end())
        return false;
    m_fileIds.erase(it);
    return true;
}

bool CMovie::CanAddFile(DWORD fileId, bool wantReason, char** reason)
{
    CMovieFile* file = theCollection.GetFileCopy(fileId);
    if (file == NULL)
        return false;

    const char* why = NULL;
    bool result = false;
    char* text = file->m_movieTitle;

    if (text == NULL) {
        result = false;
    } else if (HasFile(fileId)) {
        why = "File already exist in this movie";
        if (!wantReason)
            ShowError(0, "%s", why);
    } else if (!IsBlank(m_mediaTypeName) && file->GetFormat() != NULL &&
               !IsBlank(file->GetFormat()->kindName) &&
               !StrEqual(m_mediaTypeName, file->GetFormat()->kindName)) {
        why = "Not the same file format.\n(Don't wan't to mix AVI with MPEG)";
    } else if (IsBlank(m_title)) {
        why = "The movie did not even have a name, so ofcourse.";
        result = true;
    } else if (EqualNoCase(m_title, text)) {
        why = "Perfect match in names";
        result = true;
    } else {
        // The stem: without a part number, trailing digits are not part of
        // the name, and neither is the character just before them.
        int n = int(strlen(text));
        int stem = n;
        if (file->m_partNumber == -1) {
            stem--;
            while (stem > 0 && text[stem] >= '0' && text[stem] <= '9')
                stem--;
        }
        bool trailingNumber = stem < n - 1;

        if (!m_fileIds.empty()) {
            bool sameVideo = true;
            char* guessed = NULL;
            CMovieFile* first = theCollection.GetFileCopy(m_fileIds[0]);
            if (first != NULL) {
                VideoStreamInfo* a = first->m_mediaInfo ? first->m_mediaInfo->GetVideoStream() : NULL;
                VideoStreamInfo* b = file->m_mediaInfo ? file->m_mediaInfo->GetVideoStream() : NULL;
                if (a != NULL && b != NULL) {
                    double rateA = first->GetFormat()->framesPerSecond;
                    double rateB = file->GetFormat()->framesPerSecond;
                    sameVideo = a->width == b->width && a->height == b->height &&
                                fabs(rateA - rateB) <= 0.01;
                }
                // The title the first file's name alone suggests.
                int32_t part = -1;
                GuessTitleFromFileName(first->m_fileName, NULL, &guessed, &part);
                theCollection.ReleaseFileCopy(&first);
            }
            if (!sameVideo) {
                why = "The other files in the movie did not have the same size and framerate as this one.";
            } else if (EqualNoCaseN(m_title, text, stem) || EqualNoCaseN(guessed, text, stem)) {
                if (file->m_partNumber == -1 && trailingNumber) {
                    file->m_partNumber = ParseNumber(text + stem + 1);
                    char* cut = NULL;
                    StrAssignN(&cut, text, size_t(stem));
                    free(file->m_movieTitle);
                    file->m_movieTitle = cut;
                }
                why = "The names does match enough.";
                result = true;
            } else {
                why = "The names did not match enough.";
            }
            free(guessed);
        } else if (trailingNumber) {
            if (EqualNoCaseN(m_title, text, stem)) {
                why = "The names does match enough.";
                result = true;
            } else {
                why = "The names did not match enough.";
            }
        } else {
            why = "Could not find any perticular reason why not add this file. But didn't find one why to add it either.";
        }
    }

    if (wantReason && reason != NULL && why != NULL)
        StrSet(reason, why);
    theCollection.ReleaseFileCopy(&file);
    return result;
}

bool CMovie::AddFile(DWORD fileId, bool force)
{
    if (!force && !CanAddFile(fileId, false, NULL))
        return false;

    size_t before = m_fileIds.size();
    try {
        m_fileIds.push_back(fileId);
    } catch (const std::bad_alloc&) {
        ShowError(0, "Unable to allocat memory");
        return false;
    }
    bool firstFile = before == 0;

    CMovieFile* file = theCollection.GetFileCopy(fileId);
    if (file == NULL)
        return true;

    MediaFormat* format = file->GetFormat();
    if (format != NULL && (IsBlank(m_mediaTypeName) || firstFile))
        StrSet(&m_mediaTypeName, format->kindName);
    if (IsBlank(m_title) || (!m_imdbInfo && firstFile))
        StrSet(&m_title, file->m_movieTitle);

    if (format != NULL) {
        AudioStreamInfo* audio = file->m_mediaInfo->GetAudioStream();
        if ((IsBlank(m_language) || firstFile) && audio != NULL && !IsBlank(audio->language))
            StrSet(&m_language, audio->language);

        bool keepSubtitles = m_hasSubtitles && !IsBlank(m_subtitles) && !firstFile;
        if (!keepSubtitles && format->subtitleTexts != NULL && format->subtitleCount > 0) {
            char* joined = NULL;
            for (uint32_t i = 0; i < format->subtitleCount; i++) {
                const char* name = format->subtitleTexts[i];
                if (IsBlank(name))
                    continue;
                if (joined != NULL)
                    StrAppend(&joined, " / ");
                StrAppend(&joined, name);
            }
            m_hasSubtitles = 1;
            StrSet(&m_subtitles, joined);
            free(joined);
        }
    }

    theCollection.ReleaseFileCopy(&file);
    return true;
}
