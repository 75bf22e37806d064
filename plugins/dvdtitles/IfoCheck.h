// Checks of a DVD information file (VIDEO_TS.IFO, VTS_nn_0.IFO or their
// .BUP copies) made before libdvdread parses it. The library does not
// survive every damaged file: a manager file cut inside its title table
// makes it free that table twice, and a program chain count larger than its
// table makes it read past its buffers. A file is handed to it only when
// the header's table sectors lie inside the file, the file holds every
// sector the header claims, and the tables' own headers fit their tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include <dvdread/dvd_reader.h>

// Copies `count` bytes at `offset` of the file to `out`; false when they
// can't be read.
typedef std::function<bool(uint64_t offset, uint8_t* out, size_t count)> IfoReadFn;

// True when a manager file (`manager`) or a title set's file of `size` bytes,
// read through `read`, holds every sector its header claims and its tables
// lie inside it, apart, with their entries and offsets inside them.
bool IfoLayoutIsSound(uint64_t size, const IfoReadFn& read, bool manager);

// True when ifoOpen(dvd, titleSet) may be called: the information file is
// sound, or its backup is sound and the library reaches it without harm -
// when there is no information file, or a title set's file is the backup
// cut short. A cut manager file is refused whatever its backup holds: the
// library frees its title table twice before it turns to the backup.
bool IfoIsReadable(dvd_reader_t* dvd, int titleSet);
