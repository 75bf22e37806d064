// Times saving and loading a large catalogue against writing and reading the
// same number of bytes with plain fwrite and fread.
// Usage: bench_database [file] (default bench_database.vdb in the current
// folder; the file is deleted at the end).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "core/ErrorBox.h"
#include "core/MediaFormat.h"
#include "core/MovieCollection.h"
#include "core/StrUtil.h"

namespace {

typedef std::chrono::steady_clock Clock;

const long kMovies = 20000;
const long kFiles = 40000;
const long kDiscs = 2000;
const long kPersons = 200;
const long kLoansEach = 5;
const size_t kChunk = 64 * 1024;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

char* Copy(const char* text)
{
    char* copy = NULL;
    StrSet(&copy, text);
    return copy;
}

void FillFormat(MediaFormat& m, long i)
{
    m.frameCount = 150000 + int32_t(i);
    m.framesPerSecond = 25.0f;
    m.kindName = Copy("DivX");
    std::string report = "[AVI file]\r\nCompression: DIV3\r\nFrames: 150000\r\n"
                         "Frames per sec: 25.000\r\nLength in sec: 6000.00\r\n"
                         "Resolution: 640x272\r\nColor depth: 24 bits\r\n\r\n[Audio stream]\r\n"
                         "Compression: MP3\r\nSamples Rate: 44100 Hz\r\nBit Depth: 16 bits\r\n";
    m.reportText = Copy(report.c_str());
    m.selectedVideo = 0;
    m.selectedAudio = 0;
    m.videoStreams = static_cast<VideoStreamInfo**>(malloc(sizeof(VideoStreamInfo*)));
    m.videoStreams[0] = static_cast<VideoStreamInfo*>(malloc(sizeof(VideoStreamInfo)));
    InitVideoStreamInfo(*m.videoStreams[0]);
    m.videoStreams[0]->width = 640;
    m.videoStreams[0]->height = 272;
    m.videoStreams[0]->colourDepth = 24;
    m.videoStreams[0]->compression = Copy("DIV3");
    m.videoStreams[0]->bitRate = 780;
    m.videoCount = 1;
    m.audioStreams = static_cast<AudioStreamInfo**>(malloc(sizeof(AudioStreamInfo*)));
    m.audioStreams[0] = static_cast<AudioStreamInfo*>(malloc(sizeof(AudioStreamInfo)));
    InitAudioStreamInfo(*m.audioStreams[0]);
    m.audioStreams[0]->sampleRate = 44100;
    m.audioStreams[0]->bitsPerSample = 16;
    m.audioStreams[0]->channels = 2;
    m.audioStreams[0]->compression = Copy("MP3");
    m.audioStreams[0]->language = Copy("English");
    m.audioCount = 1;
}

bool Build(CMovieCollection& c)
{
    char text[80];
    for (long i = 0; i < kDiscs; i++) {
        CDisc disc;
        snprintf(text, sizeof text, "%04lX-%04lX", i, i * 7);
        StrSet(&disc.m_serialNumber, text);
        snprintf(text, sizeof text, "MOVIES%ld", i);
        StrSet(&disc.m_name, text);
        for (long f = 0; f < kFiles / kDiscs; f++)
            disc.AddFileId(DWORD(i * (kFiles / kDiscs) + f));
        if (c.AddDisc(&disc, false) == NO_ID)
            return false;
    }

    std::string plot;
    while (plot.size() < 600)
        plot += "A retired thief takes one last job in a city that never sleeps. ";
    std::vector<BYTE> cover(8192);
    for (size_t i = 0; i < cover.size(); i++)
        cover[i] = BYTE(i * 31 + 7);
    for (long i = 0; i < kMovies; i++) {
        CMovie movie;
        snprintf(text, sizeof text, "Movie number %ld", i);
        StrSet(&movie.m_title, text);
        StrSet(&movie.m_mediaTypeName, "DivX");
        StrSet(&movie.m_language, "English");
        movie.m_fileIds.push_back(DWORD(i * 2));
        movie.m_fileIds.push_back(DWORD(i * 2 + 1));
        movie.m_imdbInfo.reset(new CImdbInfo);
        CImdbInfo& info = *movie.m_imdbInfo;
        info.m_complete = 1;
        StrSet(&info.m_title, text);
        StrSet(&info.m_director, "Some Director");
        StrSet(&info.m_genre, "Drama / Crime");
        StrSet(&info.m_coverType, "jpg");
        StrSet(&info.m_tagline, "One last job.");
        StrSet(&info.m_plot, plot.c_str());
        StrSet(&info.m_country, "USA");
        StrSet(&info.m_address, "/title/tt0113277/");
        info.m_year = 1995;
        info.m_runtime = 170;
        info.m_rating = 8.2;
        info.m_cover = cover;
        for (int a = 0; a < 12; a++) {
            char actor[40], character[40];
            snprintf(actor, sizeof actor, "Actor %d of %ld", a, i);
            snprintf(character, sizeof character, "Character %d", a);
            info.AddCastEntry(actor, character);
        }
        if (c.AddMovie(&movie, false) == NO_ID)
            return false;
    }

    for (long i = 0; i < kFiles; i++) {
        CMovieFile file;
        snprintf(text, sizeof text, "movie%ld_cd%ld.avi", i / 2, i % 2 + 1);
        StrSet(&file.m_fileName, text);
        StrSet(&file.m_folder, "\\Movies\\");
        StrSet(&file.m_movieTitle, text);
        file.m_partNumber = int32_t(i % 2 + 1);
        file.m_size = 734003200LL + i;
        MediaFormat format;
        InitMediaFormat(format);
        FillFormat(format, i);
        file.m_mediaInfo.reset(new CMediaFormatInfo);
        file.m_mediaInfo->SetFormat(&format);
        FreeMediaFormat(format);
        if (c.AddFile(&file) == NO_ID)
            return false;
    }

    for (long i = 0; i < kPersons; i++) {
        CPerson person;
        snprintf(text, sizeof text, "Person %ld", i);
        StrSet(&person.m_name, text);
        StrSet(&person.m_address, "1 Main Street");
        StrSet(&person.m_telephone, "555-0100");
        for (long l = 0; l < kLoansEach; l++)
            person.AddLoan(DWORD((i * kLoansEach + l) % kMovies));
        if (c.AddPerson(&person) == NO_ID)
            return false;
    }
    return true;
}

bool SyncToDisc(FILE* f)
{
    if (fflush(f) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

double PlainWrite(const char* path, long long bytes, bool sync)
{
    std::vector<char> chunk(kChunk, 'x');
    Clock::time_point start = Clock::now();
    FILE* f = fopen(path, "wb");
    if (f == NULL)
        return -1;
    for (long long done = 0; done < bytes; done += kChunk) {
        size_t n = size_t(bytes - done < (long long)kChunk ? bytes - done : kChunk);
        fwrite(chunk.data(), 1, n, f);
    }
    if (sync)
        SyncToDisc(f);
    fclose(f);
    return SecondsSince(start);
}

// Reads the file whole into one new buffer: like a load, it pays for the
// memory it fills.
double PlainRead(const char* path, long long bytes)
{
    Clock::time_point start = Clock::now();
    FILE* f = fopen(path, "rb");
    if (f == NULL)
        return -1;
    char* buffer = static_cast<char*>(malloc(size_t(bytes)));
    if (buffer == NULL || fread(buffer, 1, size_t(bytes), f) != size_t(bytes))
        fprintf(stderr, "plain read failed\n");
    free(buffer);
    fclose(f);
    return SecondsSince(start);
}

long long SizeOf(const char* path)
{
    FILE* f = fopen(path, "rb");
    if (f == NULL)
        return -1;
    fseek(f, 0, SEEK_END);
    long long size = ftell(f);
    fclose(f);
    return size;
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorBoxRecording(true);
    std::string path = argc > 1 ? argv[1] : "bench_database.vdb";
    std::string plain = path + ".plain";

    CMovieCollection collection;
    Clock::time_point start = Clock::now();
    if (!Build(collection)) {
        fprintf(stderr, "building the catalogue failed\n");
        return 1;
    }
    printf("catalogue: %ld movies, %ld files, %ld discs, %ld persons (built in %.2f s)\n",
           kMovies, kFiles, kDiscs, kPersons, SecondsSince(start));

    start = Clock::now();
    if (!collection.Save(path.c_str(), false)) {
        fprintf(stderr, "save failed: %s\n", LastErrorBoxText().c_str());
        return 1;
    }
    double save = SecondsSince(start);
    long long bytes = SizeOf(path.c_str());

    // Loads and plain reads of the same file take turns, several rounds, so
    // that both meet the same state of the machine; the best of each counts.
    const int kRounds = 5;
    double load = 1e9, readWhole = 1e9;
    for (int round = 0; round < kRounds; round++) {
        {
            CMovieCollection loaded;
            start = Clock::now();
            if (!loaded.Load(path.c_str())) {
                fprintf(stderr, "load failed: %s\n", LastErrorBoxText().c_str());
                return 1;
            }
            double seconds = SecondsSince(start);
            if (loaded.GetMovieCount() != DWORD(kMovies)) {
                fprintf(stderr, "load gave %lu movies\n", (unsigned long)loaded.GetMovieCount());
                return 1;
            }
            if (seconds < load)
                load = seconds;
        }
        double seconds = PlainRead(path.c_str(), bytes);
        if (seconds < readWhole)
            readWhole = seconds;
    }

    double write = PlainWrite(plain.c_str(), bytes, false);
    double writeSynced = PlainWrite(plain.c_str(), bytes, true);
    remove(plain.c_str());
    remove(path.c_str());

    double mb = bytes / (1024.0 * 1024.0);
    printf("file: %.1f MB\n", mb);
    printf("save: %.3f s, %.1f MB/s\n", save, mb / save);
    printf("  plain fwrite: %.3f s (ratio %.2f); flushed to disc like a save: %.3f s (ratio %.2f)\n",
           write, save / write, writeSynced, save / writeSynced);
    printf("load (best of %d): %.3f s, %.1f MB/s\n", kRounds, load, mb / load);
    printf("  plain fread of the same file into one new buffer (best of %d): %.3f s (ratio %.2f)\n", kRounds,
           readWhole, load / readWhole);
    return 0;
}
