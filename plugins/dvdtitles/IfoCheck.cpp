#include "plugins/dvdtitles/IfoCheck.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include <dvdread/ifo_types.h>

#include "plugins/dvdtitles/ScratchFolder.h"

namespace {

const uint64_t kSector = DVD_VIDEO_LB_LEN;

// Where the header keeps a table's sector, and where that table keeps the
// offset of its own last byte.
struct TableSlot {
    uint32_t pointerAt;
    uint32_t lastByteAt;
    bool required;
};

const TableSlot kManagerTables[] = {
    {0xC4, 4, true},    // title search pointers
    {0xC8, 4, false},   // menu program chains by language
    {0xCC, 4, false},   // parental management
    {0xD0, 4, true},    // title set attributes
    {0xD4, 16, false},  // text data
    {0xD8, 4, false},   // menu cell addresses
    {0xDC, 0, false},   // menu VOBU addresses
};
const TableSlot kTitleSetTables[] = {
    {0xC8, 4, true},    // part-of-title search pointers
    {0xCC, 4, true},    // program chains
    {0xD0, 4, false},   // menu program chains by language
    {0xD4, 4, false},   // time maps
    {0xD8, 4, false},   // menu cell addresses
    {0xDC, 0, false},   // menu VOBU addresses
    {0xE0, 4, false},   // title cell addresses
    {0xE4, 0, false},   // title VOBU addresses
};

// A table's first byte in the file and its length.
struct Table {
    uint64_t at = 0;
    uint64_t length = 0;
};

bool Read32(const IfoReadFn& read, uint64_t at, uint32_t* value)
{
    uint8_t b[4];
    if (!read(at, b, 4))
        return false;
    *value = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    return true;
}

bool Read16(const IfoReadFn& read, uint64_t at, uint16_t* value)
{
    uint8_t b[2];
    if (!read(at, b, 2))
        return false;
    *value = uint16_t(b[0] << 8 | b[1]);
    return true;
}

// The table a header slot points at; false when the pointer or the table's
// own length leads past the information file's `ifoBytes`, or when a
// required table is missing (its table stays empty when an optional one is).
bool FindTable(const IfoReadFn& read, const TableSlot& slot, uint64_t ifoBytes, Table* table)
{
    uint32_t sector = 0, lastByte = 0;
    if (!Read32(read, slot.pointerAt, &sector))
        return false;
    *table = Table();
    if (sector == 0)
        return !slot.required;
    table->at = sector * kSector;
    if (table->at >= ifoBytes || !Read32(read, table->at + slot.lastByteAt, &lastByte))
        return false;
    table->length = uint64_t(lastByte) + 1;
    return table->length >= slot.lastByteAt + 4 && table->at + table->length <= ifoBytes;
}

// The entries after a table's 8-byte header: `count` of them, `entrySize`
// bytes each, must fit the table. With `offsetAt` set, each entry holds
// there a 32-bit offset from the table's start of a block of `blockSize`
// bytes that must lie between the entries' end and the table's end; the
// offsets are returned.
bool EntriesFit(const IfoReadFn& read, const Table& table, size_t entrySize,
                const uint32_t* offsetAt, uint64_t blockSize, std::vector<uint64_t>* offsets)
{
    uint16_t count = 0;
    if (!Read16(read, table.at, &count))
        return false;
    uint64_t entriesEnd = 8 + uint64_t(count) * entrySize;
    if (entriesEnd > table.length)
        return false;
    for (uint16_t i = 0; offsetAt != NULL && i < count; i++) {
        uint32_t offset = 0;
        if (!Read32(read, table.at + 8 + uint64_t(i) * entrySize + *offsetAt, &offset) ||
            offset < entriesEnd || offset + blockSize > table.length)
            return false;
        if (offsets != NULL)
            offsets->push_back(offset);
    }
    return true;
}

// A program chain inside `limit`: its command table, program map, cell
// playback and cell position lists (offsets from the chain's start, 0 for
// none) lie after its header, inside `limit`, and hold the chain's program
// and cell counts; its command table's counts fit that table.
bool ChainFits(const IfoReadFn& read, uint64_t chainAt, uint64_t limit)
{
    uint8_t header[PGC_SIZE];
    if (chainAt + PGC_SIZE > limit || !read(chainAt, header, PGC_SIZE))
        return false;
    uint64_t programs = header[2], cells = header[3];
    if (programs > cells)
        return false;
    struct List {
        size_t offsetAt;
        uint64_t bytes;
    } const lists[] = {{0xE4, 8}, {0xE6, programs}, {0xE8, cells * 24}, {0xEA, cells * 4}};
    uint64_t offsets[4];
    for (size_t i = 0; i < 4; i++) {
        offsets[i] = uint64_t(header[lists[i].offsetAt]) << 8 | header[lists[i].offsetAt + 1];
        bool needed = i > 0 && lists[i].bytes > 0;
        if (offsets[i] == 0 ? needed
                            : offsets[i] < PGC_SIZE || chainAt + offsets[i] + lists[i].bytes > limit)
            return false;
    }
    if (offsets[0] == 0)
        return true;
    uint8_t commands[8];
    if (!read(chainAt + offsets[0], commands, sizeof(commands)))
        return false;
    uint64_t count = uint64_t(commands[0] << 8 | commands[1]) + (commands[2] << 8 | commands[3]) +
                     (commands[4] << 8 | commands[5]);
    uint64_t length = uint64_t(commands[6] << 8 | commands[7]) + 1;
    return 8 + count * 8 <= length && chainAt + offsets[0] + length <= limit;
}

// No table starts inside another: each has sectors of its own.
bool TablesApart(std::vector<Table> tables)
{
    std::sort(tables.begin(), tables.end(),
              [](const Table& a, const Table& b) { return a.at < b.at; });
    for (size_t i = 1; i < tables.size(); i++) {
        if (tables[i - 1].length > 0 && tables[i].at < tables[i - 1].at + tables[i - 1].length)
            return false;
    }
    return true;
}

bool ManagerTablesFit(const IfoReadFn& read, const std::vector<Table>& tables, uint64_t ifoBytes)
{
    uint32_t firstPlay = 0;
    if (!Read32(read, 0x84, &firstPlay) || (firstPlay != 0 && !ChainFits(read, firstPlay, ifoBytes)))
        return false;
    uint16_t titles = 0;
    const uint32_t attributeOffset = 0;
    return Read16(read, tables[0].at, &titles) && titles > 0 &&
           EntriesFit(read, tables[0], 12, NULL, 0, NULL) &&
           EntriesFit(read, tables[3], 4, &attributeOffset, 4, NULL);
}

bool TitleSetTablesFit(const IfoReadFn& read, const std::vector<Table>& tables)
{
    const uint32_t partOffset = 0, chainOffset = 4;
    std::vector<uint64_t> chains;
    if (!EntriesFit(read, tables[0], 4, &partOffset, 4, NULL) ||
        !EntriesFit(read, tables[1], PGCI_SRP_SIZE, &chainOffset, PGC_SIZE, &chains))
        return false;
    for (uint64_t chain : chains)
        if (!ChainFits(read, tables[1].at + chain, tables[1].at + tables[1].length))
            return false;
    return true;
}

}  // namespace

bool IfoLayoutIsSound(uint64_t size, const IfoReadFn& read, bool manager, uint64_t* claimed)
{
    // Reads stop at the end of the file whatever `read` can do.
    IfoReadFn inFile = [&](uint64_t offset, uint8_t* out, size_t count) {
        return offset <= size && count <= size - offset && read(offset, out, count);
    };
    char magic[12];
    uint32_t lastSector = 0;
    if (!inFile(0, reinterpret_cast<uint8_t*>(magic), sizeof(magic)) ||
        memcmp(magic, manager ? "DVDVIDEO-VMG" : "DVDVIDEO-VTS", sizeof(magic)) != 0 ||
        !Read32(inFile, 0x1C, &lastSector))
        return false;
    uint64_t ifoBytes = (uint64_t(lastSector) + 1) * kSector;
    if (ifoBytes > size)
        return false;
    if (claimed != NULL)
        *claimed = ifoBytes;
    const TableSlot* slots = manager ? kManagerTables : kTitleSetTables;
    std::vector<Table> tables(manager ? std::size(kManagerTables) : std::size(kTitleSetTables));
    for (size_t i = 0; i < tables.size(); i++) {
        if (!FindTable(inFile, slots[i], ifoBytes, &tables[i]))
            return false;
    }
    if (!TablesApart(tables))
        return false;
    return manager ? ManagerTablesFit(inFile, tables, ifoBytes) : TitleSetTablesFit(inFile, tables);
}

namespace {

// An open file of the folder with its size in whole sectors: the library
// reads whole sectors, so a part sector at the end is missing.
class FolderFile {
public:
    FolderFile(dvd_reader_t* dvd, int titleSet, dvd_read_domain_t kind)
    {
        dvd_stat_t stat;
        present = DVDFileStat(dvd, titleSet, kind, &stat) == 0;
        size = present && stat.size > 0 ? uint64_t(stat.size) / kSector * kSector : 0;
        file_ = size > 0 ? DVDOpenFile(dvd, titleSet, kind) : NULL;
    }
    ~FolderFile()
    {
        if (file_ != NULL)
            DVDCloseFile(file_);
    }
    bool Read(uint64_t offset, uint8_t* out, size_t count) const
    {
        return file_ != NULL && offset <= uint64_t(INT32_MAX) &&
               DVDFileSeek(file_, int32_t(offset)) == int32_t(offset) &&
               DVDReadBytes(file_, out, count) == ssize_t(count);
    }
    bool IsSound(bool manager, uint64_t* claimed = NULL) const
    {
        return IfoLayoutIsSound(size, [this](uint64_t offset, uint8_t* out, size_t count) {
            return Read(offset, out, count);
        }, manager, claimed);
    }

    bool present = false;
    uint64_t size = 0;

private:
    FolderFile(const FolderFile&) = delete;
    FolderFile& operator=(const FolderFile&) = delete;
    dvd_file_t* file_ = NULL;
};

// Copies the first `bytes` of the file into `copy` and closes it; false
// when it can't.
bool CopyStart(const FolderFile& file, uint64_t bytes, FILE* copy)
{
    if (copy == NULL)
        return false;
    std::vector<uint8_t> piece(64 * 1024);
    bool ok = true;
    for (uint64_t at = 0; ok && at < bytes; at += piece.size()) {
        size_t count = size_t(std::min<uint64_t>(piece.size(), bytes - at));
        ok = file.Read(at, piece.data(), count) && fwrite(piece.data(), 1, count, copy) == count;
    }
    return fclose(copy) == 0 && ok;
}

// The title set's backup, checked in place, then as much of it as its
// header claims copied into a scratch folder under the information file's
// name and read by the library from there. The copy is checked again, as
// that is what the library reads. The folder goes once the library's reader
// of it is closed. False when a sound backup could not be read.
bool OpenFromBackup(dvd_reader_t* dvd, int titleSet, IfoHandle* handle)
{
    FolderFile backup(dvd, titleSet, DVD_READ_INFO_BACKUP_FILE);
    uint64_t claimed = 0;
    if (!backup.IsSound(false, &claimed) || claimed > kMaxIfoCopyBytes)
        return true;
    std::shared_ptr<CScratchFolder> folder = std::make_shared<CScratchFolder>();
    char name[16];
    snprintf(name, sizeof(name), "VTS_%02d_0.IFO", titleSet);
    if (folder->Path().empty() || !CopyStart(backup, claimed, folder->Create(name)))
        return false;
    // The library takes its paths in UTF-8.
    dvd_reader_t* reader = DVDOpen2(NULL, &kQuietLogger, folder->Path().c_str());
    if (reader == NULL)
        return false;
    std::shared_ptr<dvd_reader_t> scratch(reader, [folder](dvd_reader_t* opened) { DVDClose(opened); });
    if (!FolderFile(scratch.get(), titleSet, DVD_READ_INFO_FILE).IsSound(false))
        return false;
    handle->reset(ifoOpen(scratch.get(), titleSet));
    handle->get_deleter().scratch = scratch;
    return *handle != NULL;
}

}  // namespace

static void DropLibraryMessage(void*, dvd_logger_level_t, const char*, va_list)
{
}
const dvd_logger_cb kQuietLogger = {DropLibraryMessage};

bool OpenSoundIfo(dvd_reader_t* dvd, int titleSet, IfoHandle* handle)
{
    handle->reset();
    bool manager = titleSet == 0;
    FolderFile file(dvd, titleSet, DVD_READ_INFO_FILE);
    if (file.present && file.IsSound(manager)) {
        handle->reset(ifoOpen(dvd, titleSet));
        return true;
    }
    if (!manager)
        return OpenFromBackup(dvd, titleSet, handle);
    // Without an information file the library turns to the backup itself.
    FolderFile backup(dvd, 0, DVD_READ_INFO_BACKUP_FILE);
    if (!file.present && backup.IsSound(true))
        handle->reset(ifoOpen(dvd, 0));
    return true;
}
