// The media information of one movie-file record: it owns one MediaFormat,
// filled through the format plug-ins or read from the database file, where
// files before version 11 store one of three older records instead.
#pragma once

#include <cstdio>

#include "core/MediaFormat.h"
#include "core/WinTypes.h"

// Name of a media-type code of database versions 3 to 10 (low four bits the
// kind, higher bits modifiers): "Avi", "DivX", "DVDrip (Avi)", "DVDrip (DivX)",
// "MPEG-1", "VCD", "MPEG-2", "SVCD", "DVD" or "[unknown]". Static text.
const char* GetMediaTypeName(DWORD code);

// Maps the one-byte code of database versions 0 to 2 to a media-type code.
DWORD MapLegacyMediaCode(BYTE legacyCode);

class CMediaFormatInfo {
public:
    CMediaFormatInfo();
    virtual ~CMediaFormatInfo();

    // Asks the format plug-ins to describe the file at path. On success the
    // record replaces the owned one, tidied (NULL stream slots removed, empty
    // arrays dropped, selected indexes kept in range); on failure the holder
    // is left empty and the result is false.
    bool ReadFromFile(const char* path);

    MediaFormat* GetFormat() const { return format; }
    // The selected stream, NULL when there is no record, no array or no valid
    // selected index.
    VideoStreamInfo* GetVideoStream() const;
    AudioStreamInfo* GetAudioStream() const;

    // The format name names a DVD (but not a DVD rip) / a video CD.
    bool IsDvd() const;
    bool IsVcd() const;

    // Two empty holders are equal; otherwise the records are compared.
    bool IsSameAs(const CMediaFormatInfo& other) const;
    // Replaces the owned record by a deep copy of the other's (empty when the
    // other is empty).
    void CopyFrom(const CMediaFormatInfo& other);
    // Replaces the owned record by a deep copy of a record (NULL empties it).
    void SetFormat(const MediaFormat* source);
    // Frees the owned record; the holder is empty afterwards.
    void Clear();

    // Reads the record from a database stream. Version 11 and later read the
    // MediaFormat encoding (the flags and code are not used). Older versions
    // read the one legacy record selected by isAvi, isMpeg or isIfo; code is
    // the file's media-type code. False when the stream fails or holds
    // impossible counts; the holder then keeps what was read so far or
    // nothing, and the caller drops the file record.
    bool Read(FILE* stream, int version, DWORD code, bool isAvi, bool isMpeg, bool isIfo);
    // Writes the version 11/12 encoding of the owned record (an empty holder
    // writes an empty record).
    bool Write(FILE* stream) const;

private:
    CMediaFormatInfo(const CMediaFormatInfo&) = delete;
    CMediaFormatInfo& operator=(const CMediaFormatInfo&) = delete;

    void Tidy();
    bool ReadCurrent(FILE* stream);
    bool ReadLegacyAvi(FILE* stream, DWORD code);
    bool ReadLegacyMpeg(FILE* stream);
    bool ReadLegacyIfo(FILE* stream, int version);

    MediaFormat* format;
};
