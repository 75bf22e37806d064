// Writes the demo catalogue samples/demo.vdb through the program's own
// database writer: four discs with the movies' files, fifty invented movies
// with their internet information and covers, and three persons with loans.
//
//   make_demo --list                 prints "number<TAB>title<TAB>year" per movie
//   make_demo COVER_FOLDER OUTPUT    writes the catalogue; cover n is
//                                    COVER_FOLDER/cover_NN.jpg
//
// Everything is fixed, so the same covers give the same file.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Disc.h"
#include "core/ImdbInfo.h"
#include "core/MediaFormat.h"
#include "core/MediaFormatInfo.h"
#include "core/Movie.h"
#include "core/MovieCollection.h"
#include "core/MovieFile.h"
#include "core/Person.h"
#include "core/StrUtil.h"

namespace {

struct DemoMovie {
    const char* title;
    int year;
    const char* genre;
    const char* director;
    const char* country;
    int runtime;  // minutes
    double rating;
    const char* tagline;
    const char* plot;
};

const DemoMovie kMovies[] = {
    { "The Lighthouse Keeper's Daughter", 1994, "Drama", "Mara Lindqvist", "Sweden", 112, 7.4,
      "Some lights guide you home.", "A girl grows up on a storm-beaten island and learns to keep the lamp burning." },
    { "Copper Sky", 1998, "Western", "Dale Harrow", "USA", 104, 6.8,
      "The desert keeps its secrets.", "A retired marshal rides out one last time to find a missing mine surveyor." },
    { "Night Train to Varna", 1991, "Thriller", "Ivo Petrov", "Bulgaria", 97, 7.1,
      "Nobody sleeps tonight.", "Seven strangers share a sleeping car, and one of them is not who he claims." },
    { "Folded Hearts", 2001, "Comedy", "Lucy Abernathy", "UK", 91, 6.2,
      "Love is a cut-out affair.", "Two rival origami artists are forced to share a shop window for the holidays." },
    { "The Quiet Engine", 1999, "Science Fiction", "Tomasz Wrona", "Poland", 126, 7.8,
      "It never stopped listening.", "Engineers aboard a deep-space tug discover their ship has learned to dream." },
    { "Summer Ferry", 1987, "Romance", "Claire Dumont", "France", 101, 6.5,
      "Every ship comes back.", "A ferry captain and a painter meet each summer for twenty years." },
    { "Seven Bridges", 1996, "Crime", "Marco Santini", "Italy", 118, 7.3,
      "One city. Seven crossings. No way out.", "A courier must cross every bridge in the city before dawn with a stolen ledger." },
    { "The Minute Keeper", 1983, "Fantasy", "Hugo Brandt", "Germany", 94, 7.0,
      "Time is a craft.", "An old clockmaker builds a watch that stops time for one minute a day." },
    { "Blue Harvest Road", 2000, "Drama", "Ellen Carter", "USA", 108, 6.9,
      "Some roads lead home.", "Three sisters drive across the plains to scatter their father's ashes." },
    { "Midnight Cartography", 2002, "Mystery", "Anouk Verhoeven", "Netherlands", 99, 7.2,
      "Every map hides a door.", "A mapmaker finds streets on her old charts that no longer exist." },
    { "Salt and Iron", 1993, "Adventure", "Rurik Halvorsen", "Norway", 131, 7.5,
      "The sea takes what it wants.", "A whaling crew is trapped in the ice for a long polar winter." },
    { "The Accidental Ambassador", 1997, "Comedy", "Gil Morrow", "USA", 95, 6.1,
      "Diplomacy was never his strong suit.", "A hotel porter is mistaken for a visiting envoy and must keep up the act." },
    { "Ember Falls", 1990, "Horror", "Victor Kane", "Canada", 88, 5.9,
      "The town remembers the fire.", "Every autumn the burned mill of a small town lights up again." },
    { "Glass Orchard", 2003, "Drama", "Ines Morales", "Spain", 115, 7.6,
      "Fragile things grow too.", "A glassblower's family fights to keep their workshop in a changing village." },
    { "Operation Songbird", 1986, "War", "Arthur Pembroke", "UK", 122, 7.0,
      "Their song carried the message.", "Radio operators behind the lines pass coded messages in folk songs." },
    { "The Last Tram", 1995, "Drama", "Jana Novakova", "Czech Republic", 93, 7.1,
      "The city sleeps. The tram does not.", "A night tram driver gets to know his regular passengers on the final run of the line." },
    { "Starling Summer", 2004, "Family", "Beth Ormond", "Ireland", 87, 6.7,
      "Every flock needs a home.", "Two children nurse an injured starling back to health on their grandmother's farm." },
    { "Red Line Protocol", 1999, "Action", "Kurt Maddox", "USA", 109, 6.0,
      "Zero hour is coming.", "A subway engineer has one night to stop a runaway train beneath the city." },
    { "The Cartographer's Wife", 1988, "Romance", "Sofia Alves", "Portugal", 117, 7.3,
      "She charted his heart.", "Letters between a traveller and his wife map a love across three continents." },
    { "Dust of the Andes", 1992, "Adventure", "Raul Mendoza", "Chile", 124, 7.2,
      "Higher than the clouds.", "An expedition searches for a lost mountain observatory." },
    { "Pocket Symphony", 2001, "Music", "Nadia Kovac", "Austria", 102, 7.4,
      "Small hands, big music.", "A conservatory dropout forms an orchestra from children of his neighbourhood." },
    { "The Winter Ledger", 1994, "Crime", "Graham Fletcher", "UK", 106, 7.0,
      "The books never balance.", "An accountant uncovers a fraud that reaches to the top of a merchant bank." },
    { "Moth and Flame", 1985, "Thriller", "Lena Sorensen", "Denmark", 98, 6.6,
      "Drawn to danger.", "A photographer becomes obsessed with a woman she sees only at night." },
    { "Saturday's Champion", 1997, "Sport", "Mike Delaney", "USA", 111, 6.8,
      "One last round.", "An ageing boxer trains a stubborn teenager for the county championship." },
    { "Lantern Festival", 2002, "Drama", "Mei Lin", "Taiwan", 109, 7.7,
      "Light the way back.", "A family reunites in their old town for the lantern festival after ten years apart." },
    { "Under the Viaduct", 1989, "Crime", "Paul Renard", "Belgium", 95, 6.9,
      "Everyone passes. Nobody stops.", "A street musician witnesses a robbery and becomes the only one who can help." },
    { "Orbit of Two", 2003, "Science Fiction", "Kenji Arakawa", "Japan", 119, 7.5,
      "Alone together among the stars.", "Two astronauts on a failing station must decide who returns to Earth." },
    { "The Beekeeper's Year", 1996, "Documentary", "Agnes Moreau", "France", 84, 7.9,
      "Four seasons in a hive.", "A year in the life of a hill farmer and his forty hives." },
    { "Crooked Timber", 1991, "Western", "Samuel Booth", "USA", 113, 6.7,
      "Nothing grows straight out here.", "A carpenter arrives in a lawless timber town and builds more than houses." },
    { "Silent Radio", 1998, "Mystery", "Oskar Lind", "Finland", 96, 7.1,
      "The signal is still out there.", "A lonely radio amateur picks up a broadcast from a station closed decades ago." },
    { "The Tin Princess", 1984, "Family", "Rosalind Hart", "UK", 89, 6.4,
      "Every toy has a story.", "A wind-up toy sets out across a toy shop to find the key that will keep her moving." },
    { "Riverbend", 2000, "Drama", "Tom Whitaker", "USA", 121, 7.2,
      "The river decides.", "Two farming families share a river that floods every spring." },
    { "Fog over Lisbon", 1993, "Thriller", "Joao Ferreira", "Portugal", 103, 6.9,
      "The city hides in plain sight.", "A translator is drawn into a plot when she interprets the wrong conversation." },
    { "Kites over Harbour Street", 2004, "Drama", "Farid Haddad", "Lebanon", 100, 7.3,
      "Higher than the rooftops.", "Boys of one street build kites for the spring contest despite everything around them." },
    { "The Double Booking", 1995, "Comedy", "Rita Chambers", "Australia", 94, 6.3,
      "Some mistakes deserve a sequel.", "A divorced couple accidentally book the same holiday cottage." },
    { "The Iron Garden", 1990, "Science Fiction", "Dmitri Volkov", "Russia", 128, 7.4,
      "Nature rebuilt.", "In a city without plants, a mechanic builds a garden of metal flowers." },
    { "Gravel and Gold", 1987, "Adventure", "Jack Renshaw", "Australia", 107, 6.6,
      "Fortune favours the stubborn.", "Two prospectors with nothing in common share the last claim in a dying gold town." },
    { "Letters from Tallinn", 2002, "Romance", "Kaja Tamm", "Estonia", 98, 7.0,
      "Some words take years to arrive.", "A bundle of old letters leads a student to the grandmother she never knew." },
    { "Range Day", 1992, "Action", "Rick Callahan", "USA", 102, 5.8,
      "Justice has a price.", "A detective goes undercover at a shooting range run by a smuggling ring." },
    { "A Map of Small Things", 2001, "Drama", "Hannah Reiss", "Switzerland", 90, 7.5,
      "Life is in the details.", "A miniature model maker rebuilds her childhood village after it is flooded by a dam." },
    { "The Weathervane", 1986, "Horror", "Edgar Moss", "UK", 91, 6.2,
      "It always points to the house.", "A family moves into a farmhouse whose weathervane turns against the wind." },
    { "Winter Mail Run", 1997, "Adventure", "Sven Eriksson", "Sweden", 110, 6.9,
      "The mail must get through.", "A pilot flies the winter mail route to the northernmost villages." },
    { "Jazz at the Blue Door", 1999, "Music", "Curtis Bell", "USA", 105, 7.1,
      "One night. One stage.", "The last night of a legendary jazz club before it closes its doors." },
    { "The Borrowed House", 1994, "Comedy", "Philippa Grant", "UK", 96, 6.5,
      "Make yourself at home. Someone else's.", "House-sitters throw a party in a mansion while its owners are away." },
    { "Northern Static", 2003, "Mystery", "Erik Nordahl", "Norway", 101, 7.0,
      "Something is interfering.", "An engineer at an arctic radar station hears voices in the static." },
    { "Citrus Grove", 1988, "Drama", "Elena Russo", "Italy", 114, 7.2,
      "Sweet fruit, bitter roots.", "Three generations of a Sicilian family argue over the future of their grove." },
    { "The Final Rehearsal", 1996, "Drama", "Martin Gould", "Canada", 108, 7.3,
      "The show must go on.", "A theatre troupe prepares its last play as the old playhouse is sold." },
    { "The Cloudwatchers' Society", 2004, "Comedy", "Nora Blake", "USA", 92, 6.4,
      "They have their heads in the clouds.", "Members of a cloud-watching club get caught up in a small-town election." },
    { "Shadows of the Mill", 1989, "Crime", "Henrik Bauer", "Germany", 103, 6.8,
      "The wheel keeps turning.", "An inspector reopens the case of a miller who vanished forty years ago." },
    { "Homeward Sail", 2000, "Family", "Grace Liddell", "New Zealand", 97, 7.0,
      "The wind will carry you.", "Two brothers sail their late grandfather's boat around the coast." },
};
const int kMovieCount = int(sizeof(kMovies) / sizeof(kMovies[0]));

const char* const kActors[] = {
    "Anna Berg", "Leon Marsh", "Pia Holt", "Victor Lang", "Clara Moss", "Daniel Reyes",
    "Eva Strand", "Felix Ward", "Greta Vos", "Harry Quinn", "Iris Novak", "Jonas Kell",
    "Karin Dahl", "Luke Farrow", "Maya Stein", "Niels Brun", "Olga Petrova", "Peter Hale",
};
const char* const kCharacters[] = { "the stranger", "the captain", "the daughter", "the inspector",
                                    "the neighbour", "the teacher", "the pilot", "the singer" };

struct DemoDisc {
    const char* name;
    const char* serial;
    BYTE driveLetter;
    BYTE fixed;
};
const DemoDisc kDiscs[] = {
    { "MOVIES_01", "1A2B-3C4D", 'd', 0 },
    { "MOVIES_02", "5E6F-7A8B", 'd', 0 },
    { "DVD_COLLECTION", "9C0D-1E2F", 'e', 0 },
    { "Archive (F:)", "3344-5566", 'f', 1 },
};
const int kDiscCount = int(sizeof(kDiscs) / sizeof(kDiscs[0]));

bool ReadWholeFile(const std::string& path, std::vector<BYTE>& bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (f == NULL)
        return false;
    bytes.clear();
    BYTE buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return !bytes.empty();
}

// A file name from a title: letters and digits, blanks as underscores.
std::string FileNameOf(const char* title, const char* ext)
{
    std::string name;
    for (const char* p = title; *p; ++p) {
        char c = *p;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            name += c;
        else if (c == ' ' && !name.empty() && name.back() != '_')
            name += '_';
    }
    return name + ext;
}

// The technical data a format plug-in would have read from the file.
void SetFormat(CMovieFile& file, int index, bool dvd)
{
    VideoStreamInfo video;
    InitVideoStreamInfo(video);
    video.width = dvd ? 720 : 640;
    video.height = dvd ? 576 : (index % 3 == 0 ? 272 : 352);
    video.colourDepth = 24;
    video.compression = const_cast<char*>(dvd ? "MPEG-2" : (index % 2 ? "DivX 5" : "XviD"));
    video.bitRate = dvd ? 6000 : 900 + 10 * index;
    AudioStreamInfo audio;
    InitAudioStreamInfo(audio);
    audio.sampleRate = 48000;
    audio.bitsPerSample = 16;
    audio.channels = dvd ? 6 : 2;
    audio.language = const_cast<char*>("English");
    audio.compression = const_cast<char*>(dvd ? "AC3" : "MPEG Layer 3");
    audio.bitRate = dvd ? 448 : 128;
    VideoStreamInfo* videos[] = { &video };
    AudioStreamInfo* audios[] = { &audio };

    MediaFormat format;
    InitMediaFormat(format);
    format.framesPerSecond = 25.0f;
    format.frameCount = int32_t(kMovies[index].runtime) * 60 * 25 / (dvd ? 1 : 2);
    format.kindName = const_cast<char*>(dvd ? "DVD" : "AVI");
    format.selectedVideo = 0;
    format.selectedAudio = 0;
    format.videoStreams = videos;
    format.videoCount = 1;
    format.audioStreams = audios;
    format.audioCount = 1;
    file.m_mediaInfo.reset(new CMediaFormatInfo);
    file.m_mediaInfo->SetFormat(&format);
}

SYSTEMTIME Date(int year, int month, int day)
{
    SYSTEMTIME t;
    memset(&t, 0, sizeof(t));
    t.wYear = WORD(year);
    t.wMonth = WORD(month);
    t.wDay = WORD(day);
    t.wHour = 18;
    return t;
}

bool Build(const std::string& coverFolder, const std::string& output)
{
    CMovieCollection& c = theCollection;
    c.Clear();

    // Files first: each movie has one file on a disc (split films two),
    // DVDs go to the DVD disc, the rest round the others.
    std::vector<std::vector<DWORD>> movieFiles(kMovieCount);
    std::vector<std::vector<DWORD>> discFiles(kDiscCount);
    for (int i = 0; i < kMovieCount; ++i) {
        bool dvd = i % 7 == 3;
        int disc = dvd ? 2 : (i % 3 == 2 ? 3 : i % 2);
        int parts = (!dvd && kMovies[i].runtime > 120) ? 2 : 1;
        for (int part = 0; part < parts; ++part) {
            CMovieFile file;
            std::string folder = dvd ? "\\" + FileNameOf(kMovies[i].title, "") + "\\VIDEO_TS\\"
                                     : (disc == 3 ? "\\Movies\\" : "\\");
            std::string name = dvd ? "VTS_01_0.IFO"
                                   : FileNameOf(kMovies[i].title,
                                                parts > 1 ? (part ? "_CD2.avi" : "_CD1.avi") : ".avi");
            StrSet(&file.m_folder, folder.c_str());
            StrSet(&file.m_fileName, name.c_str());
            StrSet(&file.m_movieTitle, kMovies[i].title);
            file.m_partNumber = parts > 1 ? part + 1 : -1;
            file.m_creationTime = Date(2003 + i % 2, 1 + i % 12, 1 + i % 27);
            file.m_size = dvd ? int64_t(4200000000LL) : int64_t(700000000LL / parts + 1000000LL * i);
            SetFormat(file, i, dvd);
            DWORD id = c.AddFile(&file);
            if (id == NO_ID)
                return false;
            movieFiles[i].push_back(id);
            discFiles[disc].push_back(id);
        }
    }
    for (int d = 0; d < kDiscCount; ++d) {
        CDisc disc;
        StrSet(&disc.m_name, kDiscs[d].name);
        StrSet(&disc.m_serialNumber, kDiscs[d].serial);
        disc.m_driveLetter = kDiscs[d].driveLetter;
        disc.m_fixedOrNetwork = kDiscs[d].fixed;
        for (DWORD id : discFiles[d])
            disc.AddFileId(id);
        if (c.AddDisc(&disc, false) == NO_ID)
            return false;
    }

    for (int i = 0; i < kMovieCount; ++i) {
        const DemoMovie& m = kMovies[i];
        CMovie movie;
        bool dvd = i % 7 == 3;
        StrSet(&movie.m_title, m.title);
        StrSet(&movie.m_language, "English");
        StrSet(&movie.m_mediaTypeName, dvd ? "DVD" : (i % 2 ? "DivX" : "Avi"));
        if (i % 4 == 0) {
            StrSet(&movie.m_subtitles, "English / Swedish");
            movie.m_hasSubtitles = 1;
        }
        movie.m_seen = BYTE(i % 3 != 1);
        movie.m_fileIds = movieFiles[i];

        CImdbInfo* info = new CImdbInfo;
        movie.m_imdbInfo.reset(info);
        info->m_complete = 1;
        StrSet(&info->m_title, m.title);
        StrSet(&info->m_director, m.director);
        StrSet(&info->m_genre, m.genre);
        StrSet(&info->m_country, m.country);
        StrSet(&info->m_tagline, m.tagline);
        StrSet(&info->m_plot, m.plot);
        char address[96];
        snprintf(address, sizeof(address), "http://www.imdb.com/title/tt99%05d/", i + 1);
        StrSet(&info->m_address, address);
        info->m_year = WORD(m.year);
        info->m_runtime = DWORD(m.runtime);
        info->m_rating = m.rating;
        const int actorCount = int(sizeof(kActors) / sizeof(kActors[0]));
        const int characterCount = int(sizeof(kCharacters) / sizeof(kCharacters[0]));
        for (int a = 0; a < 3; ++a)
            info->AddCastEntry(kActors[(i * 5 + a * 7) % actorCount],
                               kCharacters[(i + a * 3) % characterCount]);
        char cover[64];
        snprintf(cover, sizeof(cover), "/cover_%02d.jpg", i + 1);
        if (!ReadWholeFile(coverFolder + cover, info->m_cover)) {
            fprintf(stderr, "make_demo: cannot read %s%s\n", coverFolder.c_str(), cover);
            return false;
        }
        StrSet(&info->m_coverType, "jpg");
        info->m_coverSizeClass = info->ComputeCoverSizeClass();
        if (c.AddMovie(&movie, false) == NO_ID)
            return false;
    }

    // Borrowers: movie ids are 0..49 in the order above.
    struct DemoPerson {
        const char* name;
        const char* address;
        const char* telephone;
    };
    const DemoPerson people[] = {
        { "Liam Porter", "12 Elm Street, Springfield", "555-0142" },
        { "Nora Lindgren", "4 Harbour Lane, Bayview", "555-0178" },
        { "Oscar Webb", "88 Mill Road, Oakdale", "555-0113" },
    };
    for (int p = 0; p < 3; ++p) {
        CPerson person;
        StrSet(&person.m_name, people[p].name);
        StrSet(&person.m_address, people[p].address);
        StrSet(&person.m_telephone, people[p].telephone);
        for (int l = 0; l < 3; ++l) {
            CLoan loan;
            loan.m_movieId = DWORD(p * 11 + l * 4 + 2);
            loan.m_borrowed.m_time = Date(2004, 2 + p + l, 3 + 5 * l);
            if (l == 0)  // returned; the other two are still out
                loan.m_returned.m_time = Date(2004, 3 + p + l, 1 + 5 * l);
            person.m_loans.push_back(loan);
        }
        if (c.AddPerson(&person) == NO_ID)
            return false;
    }
    return c.Save(output.c_str(), false);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--list") == 0) {
        for (int i = 0; i < kMovieCount; ++i)
            printf("%02d\t%s\t%d\n", i + 1, kMovies[i].title, kMovies[i].year);
        return 0;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: make_demo --list | make_demo COVER_FOLDER OUTPUT\n");
        return 2;
    }
    if (!Build(argv[1], argv[2])) {
        fprintf(stderr, "make_demo: could not write %s\n", argv[2]);
        return 1;
    }
    printf("%s: %u discs, %u movies\n", argv[2], unsigned(theCollection.GetDiscCount()),
           unsigned(theCollection.GetMovieCount()));
    return 0;
}
