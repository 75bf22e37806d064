// The codec list "vidscan.cdb" beside the tool: for a class ("msvid",
// "msaud", "qtvid", "qtaud") and an id it names a codec or format with a
// short code, an author, a web site and free notes.
//
//   msaud: 0x55               header line: class, then a number...
//   qtvid: SVQ3               ...or up to four characters of a FourCC
//    N: MPEG Layer-3; MP3     body lines begin with a blank or a tab
//    A: Some Maker
//    W: www.example.com
//    anything else            goes to the notes
//
// A FourCC text beginning with "*" matches every id of its class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Fixed text fields, each zero-terminated and zero-padded.
struct CodecRecord {
    char name[65];
    char code[17];
    char author[65];
    char webSite[256];
    char notes[1024];
};

void ClearCodecRecord(CodecRecord& record);

// Copies text into a field, cut to what the field holds.
void SetCodecField(char* field, size_t size, const char* text);
template <size_t N>
void SetCodecField(char (&field)[N], const char* text)
{
    SetCodecField(field, N, text);
}

// Reads one line of at most limit characters (without its line end; a CR
// before the LF is dropped too). The rest of a longer line is skipped, so
// it is never taken as a line of its own. hasEnd tells whether a line end
// followed. False at the end of the file.
bool ReadListLine(FILE* file, size_t limit, std::string& line, bool* hasEnd = NULL);

// Reads the body lines of one entry into the cleared record; the first
// line that does not begin with a blank or a tab ends it.
void ReadCodecEntry(FILE* file, CodecRecord& record);

// Looks through an open list for the first entry of the class (any case)
// and id and reads its body into record; false without a match.
bool FindCodecEntry(FILE* file, const char* className, uint32_t id, CodecRecord& record);

class CCodecList {
public:
    // The list is "vidscan.cdb" in the folder of the program path (the
    // tool's argument 0, up to its last "/" or "\").
    explicit CCodecList(const char* programPath);
    virtual ~CCodecList() {}

    // Fills record from the first entry matching the class (any case) and
    // id; without a match the record stays as it was. False only when the
    // list cannot be opened.
    bool LookupCodec(const char* className, uint32_t id, CodecRecord& record) const;

    const std::string& GetPath() const { return path; }

private:
    std::string path;
};
