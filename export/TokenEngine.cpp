// The template token engine: the token vocabulary, the lookup (the shortest
// token wins), the width suffix and the values read from the records.
#include "export/TokenEngine.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <ctime>
#include <functional>
#include <new>
#include <vector>

#include "core/ImdbInfo.h"
#include "core/MediaFormat.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/Person.h"
#include "core/StrUtil.h"
#include "export/ExportPaths.h"

namespace {

// The collection the expansions of this thread read files, borrowers and
// counts from: theCollection unless a scope names another.
thread_local CMovieCollection* t_tokenCollection = NULL;

CMovieCollection& TokenCollection()
{
    return t_tokenCollection != NULL ? *t_tokenCollection : theCollection;
}

} // namespace

CTokenCollectionScope::CTokenCollectionScope(CMovieCollection* collection) : m_previous(t_tokenCollection)
{
    t_tokenCollection = collection;
}

CTokenCollectionScope::~CTokenCollectionScope()
{
    t_tokenCollection = m_previous;
}

namespace {

// ---------------------------------------------------------------------------
// Clock and settings

class SystemClock : public ITokenClock {
public:
    void GetTime(SYSTEMTIME* now) override
    {
#ifdef _WIN32
        GetSystemTime(now);
#else
        time_t seconds = time(NULL);
        struct tm parts;
        gmtime_r(&seconds, &parts);
        now->wYear = WORD(parts.tm_year + 1900);
        now->wMonth = WORD(parts.tm_mon + 1);
        now->wDayOfWeek = WORD(parts.tm_wday);
        now->wDay = WORD(parts.tm_mday);
        now->wHour = WORD(parts.tm_hour);
        now->wMinute = WORD(parts.tm_min);
        now->wSecond = WORD(parts.tm_sec);
        now->wMilliseconds = 0;
#endif
    }
};

SystemClock theSystemClock;
std::atomic<ITokenClock*> theClock(&theSystemClock);
std::atomic<ITokenSettings*> theSettings(nullptr);

void ReadClock(SYSTEMTIME* now)
{
    memset(now, 0, sizeof(*now));
    theClock.load()->GetTime(now);
}

bool UseImdbRuntime()
{
    ITokenSettings* settings = theSettings.load();
    return settings != NULL && settings->UseImdbRuntime();
}

// ---------------------------------------------------------------------------
// The vocabulary

enum TokenId {
    TK_PERCENT, TK_TAB,
    TK_MOVIE_ID, TK_DATE_DAY, TK_TIME_MIN, TK_TIME_SEC,
    TK_FPS, TK_DATE_YEAR, TK_TIME_HOUR,
    TK_RATE, TK_PLOT, TK_YEAR, TK_NAME, TK_TYPE, TK_FILE, TK_DATE_MONTH,
    TK_WIDTH, TK_GENRE, TK_ACTOR,
    TK_NUMBER, TK_HEIGHT, TK_NR_OF_MOVIES,
    TK_LENGTH, TK_TAGLINE, TK_COMMENT, TK_COUNTRY, TK_STREAMS,
    TK_DIRECTOR, TK_LANGUAGE,
    TK_COVER_FILE, TK_AUDIO_RATE, TK_AUDIO_BITS, TK_AUDIO_COMP, TK_VIDEO_COMP,
    TK_TOTAL_SEEN, TK_NR_OF_FILES,
    TK_VIDEO_FRAMES, TK_IMDB_ADDRESS, TK_SEEN,
    TK_SUBTITLED, TK_VIDEO_BITRATE, TK_AUDIO_BITRATE,
    TK_BORROWED_BY, TK_AUDIO_CHANNELS, TK_VIDEO_BITDEPTH,
    TK_BORROWED_SINCE, TK_SUBTITLE_LANGUAGE,
    // Set by the tails of TK_FILE, TK_ACTOR, TK_LENGTH and TK_AUDIO_RATE.
    TK_FILE_PATH, TK_FILE_SIZE, TK_FILE_CREATED, TK_FILE_INFO,
    TK_FILE_HOURS, TK_FILE_MINUTES, TK_FILE_SECONDS,
    TK_ACTOR_NAME, TK_ACTOR_CHAR,
    TK_LENGTH_ONLY_MIN, TK_LENGTH_HOURS, TK_LENGTH_MINUTES, TK_LENGTH_SECONDS,
    TK_AUDIO_RATE_K
};

enum TokenNeeds {
    NEEDS_NOTHING,
    NEEDS_MOVIE,
    NEEDS_NUMBER,  // a running number other than -1
    NEEDS_COVER    // a movie and a cover prefix
};

struct TokenDef {
    constexpr TokenDef(const char* text_, TokenId id_, TokenNeeds needs_, TokenKind kind_)
        : text(text_), length(std::char_traits<char>::length(text_)), id(id_), needs(needs_), kind(kind_)
    {
    }
    const char* text;
    size_t length;
    TokenId id;
    TokenNeeds needs;
    TokenKind kind;
};

// The longest token; no text behind a "%" needs to be read further.
const size_t kLongestToken = 24;

// Ordered by length, and within one length in the order they are tried; a
// scan in this order therefore finds the shortest token first.
const TokenDef kTokens[] = {
    {"%%", TK_PERCENT, NEEDS_NOTHING, TOKEN_TEXT},
    {"%tab", TK_TAB, NEEDS_NOTHING, TOKEN_TEXT},
    {"%movie_id", TK_MOVIE_ID, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%date_day", TK_DATE_DAY, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%time_min", TK_TIME_MIN, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%time_sec", TK_TIME_SEC, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%movie_fps", TK_FPS, NEEDS_MOVIE, TOKEN_REAL},
    {"%date_year", TK_DATE_YEAR, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%time_hour", TK_TIME_HOUR, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%movie_rate", TK_RATE, NEEDS_MOVIE, TOKEN_REAL},
    {"%movie_plot", TK_PLOT, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_year", TK_YEAR, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_name", TK_NAME, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_type", TK_TYPE, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_file", TK_FILE, NEEDS_MOVIE, TOKEN_TEXT},
    {"%date_month", TK_DATE_MONTH, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%movie_width", TK_WIDTH, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_genre", TK_GENRE, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_actor", TK_ACTOR, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_number", TK_NUMBER, NEEDS_NUMBER, TOKEN_INTEGER},
    {"%movie_height", TK_HEIGHT, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%nr_of_movies", TK_NR_OF_MOVIES, NEEDS_NOTHING, TOKEN_INTEGER},
    {"%movie_length_", TK_LENGTH, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_tagline", TK_TAGLINE, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_comment", TK_COMMENT, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_country", TK_COUNTRY, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_streams", TK_STREAMS, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_director", TK_DIRECTOR, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_language", TK_LANGUAGE, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_cover_file", TK_COVER_FILE, NEEDS_COVER, TOKEN_TEXT},
    {"%movie_audio_rate", TK_AUDIO_RATE, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_audio_bits", TK_AUDIO_BITS, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_audio_comp", TK_AUDIO_COMP, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_video_comp", TK_VIDEO_COMP, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movies_total_seen", TK_TOTAL_SEEN, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_nr_of_files", TK_NR_OF_FILES, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_video_frames", TK_VIDEO_FRAMES, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_imdb_address", TK_IMDB_ADDRESS, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_have_seen_it", TK_SEEN, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_has_been_seen", TK_SEEN, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_has_subtitels", TK_SUBTITLED, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_video_bitrate", TK_VIDEO_BITRATE, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_audio_bitrate", TK_AUDIO_BITRATE, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_is_borrowed_by", TK_BORROWED_BY, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_have_subtitels", TK_SUBTITLED, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_audio_channels", TK_AUDIO_CHANNELS, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_video_bitdepth", TK_VIDEO_BITDEPTH, NEEDS_MOVIE, TOKEN_INTEGER},
    {"%movie_is_borrowed_since", TK_BORROWED_SINCE, NEEDS_MOVIE, TOKEN_TEXT},
    {"%movie_subtitle_language", TK_SUBTITLE_LANGUAGE, NEEDS_MOVIE, TOKEN_TEXT},
};

// The call's arguments and its one reading of the clock.
struct TokenContext {
    const CMovie* movie;
    int32_t number;
    const char* coverPrefix;
    const char* noCoverName;
    const SYSTEMTIME* now;
    TokenRunCounts* counts;  // or none
};

// A recognised token: what it is, its kind and its length so far (before
// any width), and N for the file and actor tokens.
struct TokenMatch {
    TokenId id;
    TokenKind kind;
    size_t length;
    uint32_t index;
};

bool Needed(TokenNeeds needs, const TokenContext& context)
{
    switch (needs) {
    case NEEDS_MOVIE:
        return context.movie != NULL;
    case NEEDS_NUMBER:
        return context.number != -1;
    case NEEDS_COVER:
        return context.movie != NULL && context.coverPrefix != NULL;
    default:
        return true;
    }
}

// Reads the N of a file or actor token: one or more digits. Numbers beyond
// any possible count saturate, so they simply name no entry.
bool ReadIndex(const char* p, size_t* used, uint32_t* index)
{
    size_t i = 0;
    uint64_t value = 0;
    while (IsAsciiDigit(p[i])) {
        if (value <= 0xFFFFFFFFu)
            value = value * 10 + uint64_t(p[i] - '0');
        i++;
    }
    if (i == 0)
        return false;
    *used = i;
    *index = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(value);
    return true;
}

// True when the text at p begins with word; *length grows by its length.
bool Take(const char* p, const char* word, size_t* length)
{
    size_t n = strlen(word);
    if (strncmp(p, word, n) != 0)
        return false;
    *length += n;
    return true;
}

// Reads "hour", "min" or "sec" at p.
bool TakeTimeUnit(const char* p, size_t* length, TokenId hours, TokenId minutes, TokenId seconds,
                  TokenId* id)
{
    if (Take(p, "hour", length))
        *id = hours;
    else if (Take(p, "min", length))
        *id = minutes;
    else if (Take(p, "sec", length))
        *id = seconds;
    else
        return false;
    return true;
}

// Completes a token with a variable tail; false when the tail is not valid.
bool ReadTail(const char* position, TokenMatch* match)
{
    const char* p = position + match->length;
    size_t used = 0;
    switch (match->id) {
    case TK_FILE:
        if (!ReadIndex(p, &used, &match->index))
            return false;
        match->length += used;
        p += used;
        if (Take(p, "_path", &match->length)) {
            match->id = TK_FILE_PATH;
        } else if (Take(p, "_filesize", &match->length)) {
            match->id = TK_FILE_SIZE;
            match->kind = TOKEN_REAL;
        } else if (Take(p, "_created", &match->length)) {
            match->id = TK_FILE_CREATED;
        } else if (Take(p, "_info", &match->length)) {
            match->id = TK_FILE_INFO;
        } else if (strncmp(p, "_length_", 8) == 0) {
            match->length += 8;
            match->kind = TOKEN_INTEGER;
            return TakeTimeUnit(p + 8, &match->length, TK_FILE_HOURS, TK_FILE_MINUTES,
                                TK_FILE_SECONDS, &match->id);
        } else {
            return false;
        }
        return true;
    case TK_ACTOR:
        if (!ReadIndex(p, &used, &match->index))
            return false;
        match->length += used;
        p += used;
        if (Take(p, "_name", &match->length))
            match->id = TK_ACTOR_NAME;
        else if (Take(p, "_char", &match->length))
            match->id = TK_ACTOR_CHAR;
        else
            return false;
        return true;
    case TK_LENGTH:
        if (Take(p, "only_min", &match->length)) {
            match->id = TK_LENGTH_ONLY_MIN;
            return true;
        }
        return TakeTimeUnit(p, &match->length, TK_LENGTH_HOURS, TK_LENGTH_MINUTES,
                            TK_LENGTH_SECONDS, &match->id);
    case TK_AUDIO_RATE:
        if (Take(p, "_k", &match->length)) {
            match->id = TK_AUDIO_RATE_K;
            match->kind = TOKEN_REAL;
        }
        return true;
    default:
        return true;
    }
}

bool FindToken(const char* position, const TokenContext& context, TokenMatch* match)
{
    if (position[0] != '%' || position[1] == '\0')
        return false;
    // The last character of a token tells most of them apart at once.
    size_t room = strnlen(position, kLongestToken);
    for (const TokenDef& token : kTokens) {
        size_t length = token.length;
        if (length > room || position[length - 1] != token.text[length - 1] ||
            memcmp(position, token.text, length) != 0 || !Needed(token.needs, context))
            continue;
        match->id = token.id;
        match->kind = token.kind;
        match->length = length;
        match->index = 0;
        if (ReadTail(position, match))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Values

std::string Format(const char* format, ...) VISTREL_PRINTF(1, 2);

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = StrFormatV(format, args);
    va_end(args);
    return text;
}

std::string Integer(long long value)
{
    return Format("%lld", value);
}

std::string Real(double value)
{
    return Format("%f", value);
}

std::string Text(const char* text)
{
    return text != NULL ? std::string(text) : std::string();
}

// An integer value, or "?" when it is 0.
std::string IntegerOrUnknown(long long value)
{
    return value != 0 ? Integer(value) : std::string("?");
}

const char* YesNo(BYTE flag)
{
    return flag ? "Yes" : "No";
}

// Calls reader with the stored movie file, read in place under the store's
// lock: a copy would cost allocations that could fail unnoticed.
bool ReadFileRecord(DWORD id, const std::function<void(const CMovieFile&)>& reader)
{
    return TokenCollection().ReadMovieFile(id, reader);
}

// The id of the movie's file N (1-based), NO_ID when there is none.
DWORD FileIdAt(const CMovie& movie, uint32_t n)
{
    if (n == 0 || n > movie.m_fileIds.size())
        return NO_ID;
    return movie.m_fileIds[n - 1];
}

DWORD FirstFileId(const CMovie& movie)
{
    return FileIdAt(movie, 1);
}

// A running time and its whole units come from integer arithmetic only:
// a double quotient cut to an integer gives one unit less on a build that
// keeps it in extended precision (2,700 s as 44 minutes), and so may differ
// from one build to the other.
//
// Whole seconds, saturating at kLongTime (so long a time counts as unknown),
// and the fraction of a second below them in units of 2^-64. The fraction is
// rounded up: files of a third of a second each make a whole second, as the
// exact sum does. A sum just below a whole second could reach it only when
// it lay within 2^-64 s per file of it, which the files' rates, fractions
// of 24-bit integers, do not give for any two files.
const uint64_t kLongTime = 0x80000000u;

struct Duration {
    uint64_t whole = 0;
    uint64_t fraction = 0;
    bool some = false;  // any time at all, also one too small for the fraction

    void Add(const Duration& other)
    {
        uint64_t fractions = fraction + other.fraction;
        uint64_t carry = fractions < fraction ? 1 : 0;
        whole = std::min(kLongTime, whole + other.whole + carry);
        fraction = fractions;
        some = some || other.some;
    }
};

Duration WholeSeconds(uint64_t seconds)
{
    Duration time;
    time.whole = std::min(kLongTime, seconds);
    time.some = seconds != 0;
    return time;
}

// frames / fps. A float is m x 2^e with an integer m of 24 bits, so the
// time is frames x 2^(24 - exponent) / m: a long division of integers,
// carried 64 bits below the point.
Duration FileDuration(const MediaFormat* format)
{
    Duration time;
    if (format == NULL || format->frameCount == 0 || !(format->framesPerSecond > 0) ||
        std::isinf(format->framesPerSecond))
        return time;
    int exponent = 0;
    float mantissa = frexpf(format->framesPerSecond, &exponent);
    uint64_t divisor = uint64_t(ldexpf(mantissa, 24));  // 2^23 <= divisor < 2^24, exact
    uint64_t frames = uint32_t(format->frameCount);
    int shift = 24 - exponent + 64;  // the time in 2^-64 s is frames x 2^shift / divisor
    uint64_t high = 0;
    uint64_t low = 0;
    bool rest = true;  // a remainder below the last bit
    if (shift < 0) {
        // A rate of 2^88 and more: less than 2^-56 s, kept as the least fraction.
        low = 0;
    } else {
        low = frames / divisor;
        uint64_t remainder = frames % divisor;
        while (shift > 0 && high < kLongTime) {
            int step = std::min(shift, 32);
            uint64_t wide = remainder << step;  // remainder < 2^24: no overflow
            high = (high << step) | (low >> (64 - step));
            low = (low << step) | (wide / divisor);  // wide / divisor < 2^step
            remainder = wide % divisor;
            shift -= step;
        }
        rest = remainder != 0;
    }
    if (rest && ++low == 0)
        high++;
    time.whole = std::min(kLongTime, high);
    time.fraction = high < kLongTime ? low : 0;
    time.some = true;
    return time;
}

// Running time of a movie: the IMDb runtime when the settings prefer it,
// else the length of its files, else the IMDb runtime.
Duration MovieDuration(const CMovie& movie)
{
    uint64_t imdbSeconds = movie.m_imdbInfo ? uint64_t(movie.m_imdbInfo->m_runtime) * 60 : 0;
    if (imdbSeconds != 0 && UseImdbRuntime())
        return WholeSeconds(imdbSeconds);
    Duration sum;
    for (DWORD id : movie.m_fileIds)
        ReadFileRecord(id, [&](const CMovieFile& file) { sum.Add(FileDuration(file.GetFormat())); });
    if (sum.whole == 0 && imdbSeconds != 0)
        return WholeSeconds(imdbSeconds);
    return sum;
}

// One part of a running time; "?" when there is none or it is too long to
// count in whole seconds.
std::string TimePart(const Duration& time, TokenId part)
{
    if (!time.some || time.whole >= kLongTime)
        return "?";
    long long whole = (long long)time.whole;
    switch (part) {
    case TK_LENGTH_ONLY_MIN:
        return Integer(whole / 60);
    case TK_LENGTH_HOURS:
    case TK_FILE_HOURS:
        return Integer(whole / 3600);
    case TK_LENGTH_MINUTES:
    case TK_FILE_MINUTES:
        return Integer((whole / 60) % 60);
    default:
        return Integer(whole % 60);
    }
}

std::string FilePath(const CMovieFile& file)
{
    if (file.m_folder == NULL || file.m_folder[0] == '\0' || file.m_fileName == NULL ||
        file.m_fileName[0] == '\0')
        return std::string();
    return RecordPath(file.m_folder, file.m_fileName);
}

std::string FileValue(const CMovie& movie, const TokenMatch& match)
{
    bool isTime = match.id == TK_FILE_HOURS || match.id == TK_FILE_MINUTES ||
                  match.id == TK_FILE_SECONDS;
    std::string value = isTime ? "?" : "";
    ReadFileRecord(FileIdAt(movie, match.index), [&](const CMovieFile& file) {
        switch (match.id) {
        case TK_FILE_PATH:
            value = FilePath(file);
            break;
        case TK_FILE_SIZE:
            value = Real(double(file.m_size) / 1048576.0);
            break;
        case TK_FILE_CREATED: {
            const SYSTEMTIME& t = file.m_creationTime;
            value = Format("%04d-%02d-%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
            break;
        }
        case TK_FILE_INFO: {
            // The file's report as CMovieFile::GetInfoText gives it.
            const MediaFormat* format = file.GetFormat();
            value = format != NULL && format->reportText != NULL ? format->reportText : "--- no info ---";
            break;
        }
        default:
            value = TimePart(FileDuration(file.GetFormat()), match.id);
            break;
        }
    });
    return value;
}

std::string ActorValue(const CMovie& movie, const TokenMatch& match)
{
    const CImdbInfo* info = movie.m_imdbInfo.get();
    if (info == NULL || match.index == 0 || match.index > info->m_cast.size())
        return std::string();
    const CImdbCastEntry* entry = info->m_cast[match.index - 1].get();
    if (entry == NULL)
        return std::string();
    return Text(match.id == TK_ACTOR_NAME ? entry->m_actor : entry->m_character);
}

std::string CoverFileValue(const CMovie& movie, const TokenContext& context)
{
    const CImdbInfo* info = movie.m_imdbInfo.get();
    // Only a plain type names a written cover; any other is no cover, so
    // that no link leaves the cover folder.
    if (info != NULL && info->HasCover() && IsPlainCoverType(info->m_coverType))
        return Format("%s%lu.%s", context.coverPrefix, (unsigned long)movie.m_id, info->m_coverType);
    if (context.noCoverName != NULL)
        return std::string(context.coverPrefix) + context.noCoverName;
    return std::string();
}

long long CountSeenMovies()
{
    long long count = 0;
    TokenCollection().ReadMovies([&](const std::vector<const CMovie*>& movies) {
        for (const CMovie* movie : movies)
            count += movie->m_seen ? 1 : 0;
    });
    return count;
}

// Counted once per run when the caller keeps the run's counts, else at
// every token.
long long SeenMovies(TokenRunCounts* counts)
{
    if (counts == NULL)
        return CountSeenMovies();
    if (counts->seen < 0)
        counts->seen = CountSeenMovies();
    return counts->seen;
}

long long TotalFrames(const CMovie& movie)
{
    long long sum = 0;
    for (DWORD id : movie.m_fileIds) {
        ReadFileRecord(id, [&](const CMovieFile& file) {
            if (const MediaFormat* format = file.GetFormat())
                sum += uint32_t(format->frameCount);
        });
    }
    return sum;
}

// The borrower's name or the borrowed date of the movie's open loan.
std::string LoanValue(const CMovie& movie, TokenId id)
{
    std::string value;
    TokenCollection().ReadBorrower(movie.m_id, [&](const CPerson& person, size_t loan) {
        if (id == TK_BORROWED_BY) {
            value = Text(person.m_name);
        } else {
            const SYSTEMTIME& t = person.m_loans[loan].m_borrowed.m_time;
            value = Format("%d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
        }
    });
    return value;
}

// Values read from the first file's selected streams.
std::string FileStreamValue(const CMovieFile* file, TokenId id)
{
    const MediaFormat* format = file != NULL ? file->GetFormat() : NULL;
    const CMediaFormatInfo* info = file != NULL ? file->m_mediaInfo.get() : NULL;
    const VideoStreamInfo* video = info != NULL ? info->GetVideoStream() : NULL;
    const AudioStreamInfo* audio = info != NULL ? info->GetAudioStream() : NULL;
    switch (id) {
    case TK_FPS:
        if (format == NULL || !(format->framesPerSecond > 0))
            return "?";
        return Real(format->framesPerSecond);
    case TK_STREAMS:
        if (format == NULL)
            return "?";
        return IntegerOrUnknown((long long)format->videoCount + format->audioCount);
    case TK_WIDTH:
        return video ? IntegerOrUnknown(video->width) : "?";
    case TK_HEIGHT:
        return video ? IntegerOrUnknown(video->height) : "?";
    case TK_VIDEO_BITDEPTH:
        return video ? IntegerOrUnknown(video->colourDepth) : "?";
    case TK_VIDEO_BITRATE:
        return video ? IntegerOrUnknown(video->bitRate) : "?";
    case TK_VIDEO_COMP:
        return video && video->compression && video->compression[0] ? video->compression : "[unknown]";
    case TK_AUDIO_RATE:
        return audio ? IntegerOrUnknown(audio->sampleRate) : "?";
    case TK_AUDIO_RATE_K:
        if (audio == NULL || audio->sampleRate == 0)
            return "?";
        // The kHz factor is the single-precision 0.001 (44100 Hz gives 44.100002).
        return Real(double(uint32_t(audio->sampleRate)) * double(0.001f));
    case TK_AUDIO_BITS:
        return audio ? IntegerOrUnknown(audio->bitsPerSample) : "?";
    case TK_AUDIO_CHANNELS:
        return audio ? IntegerOrUnknown(audio->channels) : "?";
    case TK_AUDIO_BITRATE:
        return audio ? IntegerOrUnknown(audio->bitRate) : "?";
    default:
        return audio && audio->compression && audio->compression[0] ? audio->compression : "[unknown]";
    }
}

std::string StreamValue(const CMovie& movie, TokenId id)
{
    std::string value;
    if (!ReadFileRecord(FirstFileId(movie), [&](const CMovieFile& file) { value = FileStreamValue(&file, id); }))
        value = FileStreamValue(NULL, id);
    return value;
}

const char* Held(const char* text)
{
    return text != NULL ? text : "";
}

// The value of a token that the records hold as a text (or a constant text),
// read in place; NULL for every token whose value is made.
const char* HeldText(const TokenMatch& match, const TokenContext& context)
{
    switch (match.id) {
    case TK_PERCENT:
        return "%";
    case TK_TAB:
        return "\t";
    default:
        break;
    }
    if (context.movie == NULL)
        return NULL;
    const CMovie& movie = *context.movie;
    const CImdbInfo* info = movie.m_imdbInfo.get();
    switch (match.id) {
    case TK_PLOT:
        return info ? Held(info->m_plot) : "";
    case TK_NAME:
        return Held(movie.m_title);
    case TK_TYPE:
        return Held(movie.GetDisplayName());
    case TK_GENRE:
        return info ? Held(info->m_genre) : "";
    case TK_TAGLINE:
        return info ? Held(info->m_tagline) : "";
    case TK_COMMENT:
        return info ? Held(info->m_comment) : "";
    case TK_COUNTRY:
        return info ? Held(info->m_country) : "";
    case TK_DIRECTOR:
        return info ? Held(info->m_director) : "";
    case TK_IMDB_ADDRESS:
        return info ? Held(info->m_address) : "";
    case TK_LANGUAGE:
        return Held(movie.m_language);
    case TK_SUBTITLE_LANGUAGE:
        return movie.m_hasSubtitles ? Held(movie.m_subtitles) : "";
    case TK_SEEN:
        return YesNo(movie.m_seen);
    case TK_SUBTITLED:
        return YesNo(movie.m_hasSubtitles);
    default:
        return NULL;
    }
}

std::string MovieValue(const CMovie& movie, const TokenMatch& match, const TokenContext& context)
{
    const CImdbInfo* info = movie.m_imdbInfo.get();
    switch (match.id) {
    case TK_MOVIE_ID:
        return Integer(movie.m_id);
    case TK_RATE:
        if (info == NULL || info->m_rating == -1.0)
            return "?";
        return Real(info->m_rating);
    case TK_YEAR:
        return info && info->m_year != 0 ? Integer(info->m_year) : "";
    case TK_NR_OF_FILES:
        return Integer((long long)movie.m_fileIds.size());
    case TK_TOTAL_SEEN:
        return Integer(SeenMovies(context.counts));
    case TK_VIDEO_FRAMES:
        return IntegerOrUnknown(TotalFrames(movie));
    case TK_COVER_FILE:
        return CoverFileValue(movie, context);
    case TK_BORROWED_BY:
    case TK_BORROWED_SINCE:
        return LoanValue(movie, match.id);
    case TK_LENGTH_ONLY_MIN:
    case TK_LENGTH_HOURS:
    case TK_LENGTH_MINUTES:
    case TK_LENGTH_SECONDS:
        return TimePart(MovieDuration(movie), match.id);
    case TK_FILE_PATH:
    case TK_FILE_SIZE:
    case TK_FILE_CREATED:
    case TK_FILE_INFO:
    case TK_FILE_HOURS:
    case TK_FILE_MINUTES:
    case TK_FILE_SECONDS:
        return FileValue(movie, match);
    case TK_ACTOR_NAME:
    case TK_ACTOR_CHAR:
        return ActorValue(movie, match);
    default:
        return StreamValue(movie, match.id);
    }
}

std::string TokenValue(const TokenMatch& match, const TokenContext& context)
{
    if (const char* text = HeldText(match, context))
        return text;
    const SYSTEMTIME& now = *context.now;
    switch (match.id) {
    case TK_DATE_DAY:
        return Integer(now.wDay);
    case TK_DATE_MONTH:
        return Integer(now.wMonth);
    case TK_DATE_YEAR:
        return Integer(now.wYear);
    case TK_TIME_HOUR:
        return Integer(now.wHour);
    case TK_TIME_MIN:
        return Integer(now.wMinute);
    case TK_TIME_SEC:
        return Integer(now.wSecond);
    case TK_NUMBER:
        return Integer(context.number);
    case TK_NR_OF_MOVIES:
        return Integer(TokenCollection().GetMovieCount());
    default:
        return MovieValue(*context.movie, match, context);
    }
}

// ---------------------------------------------------------------------------
// Widths

// A formatted value never exceeds this many characters; wider widths and
// precisions count as this.
const unsigned kMaxFormatted = 49;

unsigned ReadNumber(const char* p, size_t* i)
{
    unsigned value = 0;
    while (IsAsciiDigit(p[*i])) {
        if (value <= kMaxFormatted)
            value = value * 10 + unsigned(p[*i] - '0');
        (*i)++;
    }
    return value > kMaxFormatted ? kMaxFormatted : value;
}

std::string TrimReal(const std::string& value)
{
    if (value.find('.') == std::string::npos)
        return value;
    size_t end = value.find_last_not_of('0');
    if (value[end] == '.')
        end--;
    return value.substr(0, end + 1);
}

} // namespace

// ---------------------------------------------------------------------------

void SetTokenClock(ITokenClock* clock)
{
    theClock.store(clock != NULL ? clock : &theSystemClock);
}

void SetTokenSettings(ITokenSettings* settings)
{
    theSettings.store(settings);
}

std::string FormatTokenNumber(const std::string& value, TokenKind kind, const char* position,
                              size_t* consumed)
{
    if (kind == TOKEN_TEXT)
        return value;
    const char* p = position + *consumed;
    if (!IsAsciiDigit(p[0]))
        return kind == TOKEN_REAL ? TrimReal(value) : value;

    // The width as printf reads it: a leading 0 pads with zeros.
    bool zeroPad = p[0] == '0';
    size_t i = 0;
    unsigned width = ReadNumber(p, &i);
    bool hasPrecision = false;
    unsigned precision = 0;
    if (p[i] == '.') {
        hasPrecision = true;
        i++;
        precision = ReadNumber(p, &i);
    }
    *consumed += i;

    // Step 3 formats zero with the width as written and shows its zeros as
    // "?"; a real value gets precision 0 when none is given; an integer
    // value drops the precision.
    std::string format = "%";
    if (zeroPad)
        format += '0';
    if (width > 0)
        format += std::to_string(width);
    char formatted[kMaxFormatted + 1];
    if (value == "?") {
        if (hasPrecision)
            format += "." + std::to_string(precision);
        format += 'f';
        snprintf(formatted, sizeof(formatted), format.c_str(), 0.0);
        for (char* c = formatted; *c != '\0'; c++) {
            if (*c == '0')
                *c = '?';
        }
        return formatted;
    }
    if (value.empty())
        return value;
    if (kind == TOKEN_REAL) {
        format += "." + std::to_string(precision) + "f";
        snprintf(formatted, sizeof(formatted), format.c_str(), strtod(value.c_str(), NULL));
    } else {
        format += "lld";
        snprintf(formatted, sizeof(formatted), format.c_str(), strtoll(value.c_str(), NULL, 10));
    }
    return formatted;
}

namespace {

// Appends the value of the token at position to *out (nothing in check-only
// mode) and sets *consumed; false when no token starts there.
bool ExpandTokenAt(const char* position, const TokenContext& context, bool checkOnly, std::string* out,
                   size_t* consumed)
{
    TokenMatch match;
    if (!FindToken(position, context, &match))
        return false;
    size_t length = match.length;
    if (checkOnly) {
        // Only the length counts; the width is read as for a real value.
        FormatTokenNumber(std::string(), match.kind, position, &length);
    } else if (const char* text = HeldText(match, context)) {
        out->append(text);
    } else {
        out->append(FormatTokenNumber(TokenValue(match, context), match.kind, position, &length));
    }
    *consumed = length;
    return true;
}

} // namespace

char* ExpandScriptToken(const char* position, size_t* consumed, const CMovie* movie,
                        int32_t number, const char* coverPrefix, const char* noCoverName,
                        bool checkOnly, const SYSTEMTIME* now)
{
    if (position == NULL)
        return NULL;
    SYSTEMTIME clock;
    if (now == NULL && !checkOnly) {
        ReadClock(&clock);
        now = &clock;
    }
    TokenContext context = {movie, number, coverPrefix, noCoverName, now, NULL};
    std::string value;
    size_t length = 0;
    if (!ExpandTokenAt(position, context, checkOnly, &value, &length))
        return NULL;
    // No memory is a failure of the caller's operation, not "no token".
    char* result = static_cast<char*>(malloc(value.size() + 1));
    if (result == NULL)
        throw std::bad_alloc();
    memcpy(result, value.c_str(), value.size() + 1);
    if (consumed != NULL)
        *consumed = length;
    return result;
}

bool IsScriptToken(const CMovie* movie, const char* position, size_t* consumed)
{
    char* marker = movie != NULL ? ExpandScriptToken(position, consumed, movie, 0, "", "", true)
                                 : ExpandScriptToken(position, consumed, NULL, -1, NULL, NULL, true);
    if (marker == NULL)
        return false;
    free(marker);
    return true;
}

void ExpandScriptTokensTo(std::string* out, const char* text, const CMovie* movie, int32_t number,
                          const char* coverPrefix, const char* noCoverName, TokenRunCounts* counts)
{
    SYSTEMTIME now;
    ReadClock(&now);
    TokenContext context = {movie, number, coverPrefix, noCoverName, &now, counts};
    const char* rest = text;
    while (const char* percent = strchr(rest, '%')) {
        out->append(rest, size_t(percent - rest));
        size_t consumed = 0;
        if (ExpandTokenAt(percent, context, false, out, &consumed)) {
            rest = percent + consumed;
        } else {
            out->push_back('%');
            rest = percent + 1;
        }
    }
    out->append(rest);
}

void ExpandScriptTokens(char** text, const CMovie* movie, int32_t number,
                        const char* coverPrefix, const char* noCoverName)
{
    if (text == NULL || *text == NULL)
        return;
    std::string expanded;
    ExpandScriptTokensTo(&expanded, *text, movie, number, coverPrefix, noCoverName);
    // Kept unexpanded, the text would pass for the expansion.
    char* result = static_cast<char*>(malloc(expanded.size() + 1));
    if (result == NULL)
        throw std::bad_alloc();
    memcpy(result, expanded.c_str(), expanded.size() + 1);
    free(*text);
    *text = result;
}
