#include "plugins/dvdtitles/IfoCheck.h"

#include <climits>
#include <cstring>
#include <iterator>
#include <vector>

#include <dvdread/ifo_types.h>

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
// bytes that must fit too; the offsets are returned.
bool EntriesFit(const IfoReadFn& read, const Table& table, size_t entrySize,
                const uint32_t* offsetAt, uint64_t blockSize, std::vector<uint64_t>* offsets)
{
    uint16_t count = 0;
    if (!Read16(read, table.at, &count) || 8 + uint64_t(count) * entrySize > table.length)
        return false;
    for (uint16_t i = 0; offsetAt != NULL && i < count; i++) {
        uint32_t offset = 0;
        if (!Read32(read, table.at + 8 + uint64_t(i) * entrySize + *offsetAt, &offset) ||
            offset + blockSize > table.length)
            return false;
        if (offsets != NULL)
            offsets->push_back(offset);
    }
    return true;
}

// A program chain's command table, program map, cell playback and cell
// position offsets (from the chain's start): each 0 or inside `limit`.
bool ChainFits(const IfoReadFn& read, uint64_t chainAt, uint64_t limit)
{
    if (chainAt + PGC_SIZE > limit)
        return false;
    for (uint64_t at = 0xE4; at <= 0xEA; at += 2) {
        uint16_t offset = 0;
        if (!Read16(read, chainAt + at, &offset) || (offset != 0 && chainAt + offset >= limit))
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

// Every check of the layout against the sectors the header claims; the
// claimed size goes to `ifoBytes`.
bool LayoutFits(const IfoReadFn& read, bool manager, uint64_t* ifoBytes)
{
    char magic[12];
    uint32_t lastSector = 0;
    if (!read(0, reinterpret_cast<uint8_t*>(magic), sizeof(magic)) ||
        memcmp(magic, manager ? "DVDVIDEO-VMG" : "DVDVIDEO-VTS", sizeof(magic)) != 0 ||
        !Read32(read, 0x1C, &lastSector))
        return false;
    *ifoBytes = (uint64_t(lastSector) + 1) * kSector;
    const TableSlot* slots = manager ? kManagerTables : kTitleSetTables;
    std::vector<Table> tables(manager ? std::size(kManagerTables) : std::size(kTitleSetTables));
    for (size_t i = 0; i < tables.size(); i++) {
        if (!FindTable(read, slots[i], *ifoBytes, &tables[i]))
            return false;
    }
    return manager ? ManagerTablesFit(read, tables, *ifoBytes) : TitleSetTablesFit(read, tables);
}

// One file of the folder.
IfoLayout CheckFile(dvd_reader_t* dvd, int titleSet, dvd_read_domain_t kind)
{
    dvd_stat_t stat;
    if (DVDFileStat(dvd, titleSet, kind, &stat) != 0)
        return IFO_MISSING;
    // The library reads whole sectors: a part sector at the end is missing.
    uint64_t size = stat.size > 0 ? uint64_t(stat.size) / kSector * kSector : 0;
    if (size == 0)
        return IFO_CUT;
    dvd_file_t* file = DVDOpenFile(dvd, titleSet, kind);
    if (file == NULL)
        return IFO_DAMAGED;
    IfoReadFn read = [file](uint64_t offset, uint8_t* out, size_t count) {
        return offset <= uint64_t(INT32_MAX) && DVDFileSeek(file, int32_t(offset)) == int32_t(offset) &&
               DVDReadBytes(file, out, count) == ssize_t(count);
    };
    IfoLayout layout = CheckIfoLayout(size, read, titleSet == 0);
    DVDCloseFile(file);
    return layout;
}

}  // namespace

IfoLayout CheckIfoLayout(uint64_t size, const IfoReadFn& read, bool manager)
{
    // Reads past the end mark the file as cut: whatever failed there may be
    // in the missing part.
    bool pastEnd = false;
    IfoReadFn inFile = [&](uint64_t offset, uint8_t* out, size_t count) {
        if (offset > size || count > size - offset) {
            pastEnd = true;
            return false;
        }
        return read(offset, out, count);
    };
    uint64_t ifoBytes = 0;
    if (!LayoutFits(inFile, manager, &ifoBytes))
        return pastEnd ? IFO_CUT : IFO_DAMAGED;
    return ifoBytes > size ? IFO_CUT : IFO_SOUND;
}

bool IfoIsReadable(dvd_reader_t* dvd, int titleSet)
{
    IfoLayout file = CheckFile(dvd, titleSet, DVD_READ_INFO_FILE);
    if (file == IFO_SOUND)
        return true;
    // Damaged content the library may misread before it turns to the backup.
    bool backupReached = file == IFO_MISSING || (file == IFO_CUT && titleSet != 0);
    return backupReached && CheckFile(dvd, titleSet, DVD_READ_INFO_BACKUP_FILE) == IFO_SOUND;
}
