// Movies from a delimited text file, one movie a line: reading the lines,
// splitting them into fields, choosing which field holds what, and adding
// the rows to a collection. Portable: the import dialogs drive it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CMovieCollection;

// What a field can hold, in the order the field boxes offer them.
enum ImportTarget {
    IMPORT_ID,
    IMPORT_TITLE,
    IMPORT_ADDRESS,
    IMPORT_FILE_TYPE,
    IMPORT_GENRE,
    IMPORT_COMMENT,
    IMPORT_TARGET_COUNT
};
extern const char* const kImportTargetNames[IMPORT_TARGET_COUNT];
extern const char* const kImportSkip;  // "[skip]"
const int kImportBoxCount = 7;

// Converts a line of valid UTF-8 to the program's 8-bit code page; missing
// characters become '?'. The portable default maps to Latin-1.
typedef std::string (*ImportUtf8Converter)(const std::string& utf8);
std::string Utf8ToLatin1(const std::string& utf8);

// Reads every non-empty line of the file. Runs of CR and LF end a line; a
// last line without an end counts too. A UTF-8 byte-order mark at the start
// is skipped, and when the whole text is valid UTF-8 holding non-ASCII
// characters every line is converted. False on a read error or a NUL byte.
bool ReadImportLines(FILE* file, std::vector<std::string>& lines,
                     ImportUtf8Converter convert = Utf8ToLatin1);

// Splits a line at the data divider. With a string divider (0 for none) a
// field that begins with it runs to its closing divider and may hold data
// dividers; a doubled string divider inside is one literal divider, and
// text after the closing divider up to the next data divider stays in the
// field. False when a string is not closed.
bool SplitImportLine(const std::string& line, char dataDivider, char stringDivider,
                     std::vector<std::string>& fields);

// The split lines of a file, every one padded to the largest field count.
struct ImportTable {
    std::vector<std::vector<std::string>> lines;
    size_t fieldCount = 0;  // of the first line
    size_t sample = 0;      // the line with the most non-empty fields
};

enum ImportParseResult {
    IMPORT_PARSED,
    IMPORT_NEWLINE_IN_STRING,  // the first line has an open string
    IMPORT_NO_FIELDS,          // the first line has no data field
    IMPORT_BAD_LINE            // a later line has an open string
};
ImportParseResult ParseImportLines(const std::vector<std::string>& lines, char dataDivider,
                                   char stringDivider, ImportTable& table);

// Which field holds each target (-1 none) and how existing movies are met.
struct ImportMapping {
    int field[IMPORT_TARGET_COUNT];
    bool overwriteId = false;
    bool overwriteName = false;
    ImportMapping();
};

// The choices of the seven field boxes. A box beyond the field count, a
// text that names no target, and a target already chosen by an earlier box
// become "[skip]".
void NormaliseImportChoices(std::vector<std::string>& choices, size_t fieldCount);
// The texts box offers: its own choice and every target no other box has
// chosen, in target order, then "[skip]"; only "[skip]" beyond the field
// count.
std::vector<std::string> ImportBoxOptions(const std::vector<std::string>& choices, size_t box,
                                          size_t fieldCount);
// For each target the first box that shows it.
ImportMapping MappingFromChoices(const std::vector<std::string>& choices);

struct ImportRow {
    std::string title, fileType, genre, comment, imdbAddress;
    int32_t id = -1;  // -1: no usable id
    bool added = false;
};

// A decimal id of 0..INT32_MAX, blanks around it allowed; else -1.
int32_t ParseImportId(const std::string& text);
// The rows of the table's lines; the mapped fields are moved out of it.
std::vector<ImportRow> BuildImportRows(ImportTable table, const ImportMapping& mapping);

// Adds rows to a collection: a row with an id updates that movie while
// overwriteId is set, else a row updates the first movie of the same title
// while overwriteName is set, else it becomes a new movie.
class CImportAdder {
public:
    CImportAdder(CMovieCollection& collection, const ImportMapping& mapping);
    // False when the collection refused a new movie; the row stays not added.
    bool Add(ImportRow& row);

private:
    void ReadTitles();
    uint32_t FindByTitle(const std::string& title);

    CMovieCollection& m_collection;
    ImportMapping m_mapping;
    bool m_titlesRead;
    std::set<std::pair<std::string, uint32_t>> m_titles;  // every titled movie
};
