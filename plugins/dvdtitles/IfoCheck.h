// Checks of a DVD information file (VIDEO_TS.IFO, VTS_nn_0.IFO or their
// .BUP copies) made before libdvdread parses it, and the opening of a sound
// one. The library does not survive every damaged file: a manager file cut
// inside its title table makes it free that table twice, and a program
// chain count larger than its table makes it read past its buffers. A file
// is handed to it only when the header's table sectors lie inside the file,
// the file holds every sector the header claims, and the tables' own
// headers fit their tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

// Copies `count` bytes at `offset` of the file to `out`; false when they
// can't be read.
typedef std::function<bool(uint64_t offset, uint8_t* out, size_t count)> IfoReadFn;

// True when a manager file (`manager`) or a title set's file of `size` bytes,
// read through `read`, holds every sector its header claims and its tables
// lie inside it, apart, with their entries and offsets inside them. The
// bytes the header claims go to `claimed` when it is not NULL.
bool IfoLayoutIsSound(uint64_t size, const IfoReadFn& read, bool manager,
                      uint64_t* claimed = NULL);

// The most bytes of a backup copied for the library to read: far more than
// the tables of any disc take.
const uint64_t kMaxIfoCopyBytes = 8 * 1024 * 1024;

// A logger for the library's readers that shows nothing: a plug-in never
// shows a message.
extern const dvd_logger_cb kQuietLogger;

// Closes a handle of the library, then lets go of the reader of the scratch
// folder it was read from, if any.
struct IfoCloser {
    std::shared_ptr<dvd_reader_t> scratch;
    void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
};
typedef std::unique_ptr<ifo_handle_t, IfoCloser> IfoHandle;

// The library's handle of the manager (0) or a title set, read from a sound
// file only, in *handle. A title set whose information file is missing or
// damaged is read from its backup: checked in place, then the bytes its
// header claims (at most kMaxIfoCopyBytes) copied into a scratch folder
// under the information file's name, so that the library never sees the
// damaged file. A damaged manager file gives NULL whatever its backup
// holds: the library reads it before its backup, and frees the title table
// of a cut one twice. *handle is NULL when no sound file describes the set;
// false when a sound backup could not be read here (no scratch folder, no
// room for the copy), so that the set is not silently left out.
bool OpenSoundIfo(dvd_reader_t* dvd, int titleSet, IfoHandle* handle);
