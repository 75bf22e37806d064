// Files whose sizes, counts and values are wrong in the ways that broke
// readers before: each ends at once with a report of what could be read.
#include <gtest/gtest.h>

#include "ToolProcess.h"
#include "tools/vidscan/Vidscan.h"

namespace {

std::string Le16(uint32_t v)
{
    return std::string{char(v), char(v >> 8)};
}
std::string Le32(uint32_t v)
{
    return Le16(v) + Le16(v >> 16);
}
std::string Be16(uint32_t v)
{
    return std::string{char(v >> 8), char(v)};
}
std::string Be32(uint32_t v)
{
    return Be16(v >> 16) + Be16(v);
}
std::string Zeros(size_t n)
{
    return std::string(n, '\0');
}

std::string Atom(const char* type, const std::string& body)
{
    return Be32(uint32_t(8 + body.size())) + type + body;
}
std::string Chunk(const char* id, const std::string& body)
{
    return id + Le32(uint32_t(body.size())) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string Avi(const std::string& headerList)
{
    return Chunk("RIFF", "AVI " + Chunk("LIST", "hdrl" + headerList));
}
// An AVI main header of microseconds per frame, 50 frames, 64 x 48.
std::string MainHeader(uint32_t microseconds)
{
    return Chunk("avih", Le32(microseconds) + Zeros(12) + Le32(50) + Zeros(12) + Le32(64) +
                             Le32(48) + Zeros(16));
}
std::string AsfGuid(const char* hex)
{
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes += char(std::stoi(std::string(hex + i, 2), nullptr, 16));
    return bytes;
}
const std::string kAsfHeader = AsfGuid("3026B2758E66CF11A6D900AA0062CE6C");
std::string AsfObject(const std::string& guid, const std::string& body)
{
    return guid + Le32(uint32_t(24 + body.size())) + Le32(0) + body;
}
std::string Asf(uint32_t count, const std::string& objects)
{
    return kAsfHeader + Le32(uint32_t(30 + objects.size())) + Le32(0) + Le32(count) + "\x01\x02" +
           objects;
}
// An MPEG-1 pack header with the mux rate (in 50 bytes a second) and a
// clock of 0, then an audio packet holding the frame header bytes.
std::string Mpeg1Pack(uint32_t muxRate)
{
    return std::string("\0\0\1\xBA\x21\x00\x01\x00\x01", 9) + char(0x80 | muxRate >> 15) +
           char(muxRate >> 7) + char(muxRate << 1 | 1);
}
std::string AudioPacket(const std::string& frameHeader)
{
    return std::string("\0\0\1\xC0", 4) + Be16(uint32_t(1 + frameHeader.size())) + "\x0F" +
           frameHeader;
}

// A video sequence header of the picture size and rate code.
std::string Sequence(uint32_t width, uint32_t height, uint32_t rateCode)
{
    return std::string("\0\0\1\xB3", 4) + char(width >> 4) + char((width & 15) << 4 | height >> 8) +
           char(height) + char(0x10 | rateCode) + Zeros(2) + char(0x20) + Zeros(5);
}

struct Hostile {
    const char* what;
    std::string bytes;
    const char* present;   // a text the report must hold
    const char* absent;    // and one it must not
};

TEST(HostileFiles, EndAtOnceWithAReport)
{
    // 20000 movie atoms, each holding the next; the last a movie header.
    std::string deep;
    for (uint32_t level = 20000; level > 0; level--)
        deep += Be32(28 + 8 * level) + "moov";
    deep += Atom("mvhd", Zeros(20));
    std::string trackHead = Atom("mdhd", Zeros(12) + Be32(0) + Be32(100)) +
                            Atom("hdlr", Zeros(4) + "mhlrvide");
    const Hostile files[] = {
        // QuickTime: children too small for their header, of size 0, with a
        // 64-bit size below 16, or past their parent close the parent.
        {"atom of 4 bytes", Atom("moov", Be32(4) + "mvhd" + Zeros(20)), "QuickTime", "Duration"},
        {"atom of size 0", Atom("moov", Be32(0) + "trak" + Zeros(8)), "QuickTime", "Content"},
        {"64-bit size of 8", Atom("moov", Be32(1) + "trak" + Be32(0) + Be32(8)), "QuickTime", "Content"},
        {"child past parent", Atom("moov", Be32(1000) + "trak"), "QuickTime", "Content"},
        {"20000 nested atoms", deep, "QuickTime", "Duration"},
        {"time scale 0", Atom("moov", Atom("mvhd", Zeros(12) + Be32(0) + Be32(600))), "QuickTime",
         "Duration"},
        {"media time scale 0, all sample durations 0, counts past the atom",
         Atom("moov", Atom("trak", Atom("mdia", trackHead + Atom("minf", Atom("stbl",
             Atom("stts", Zeros(4) + Be32(0xFFFFFFFF) + Be32(10) + Be32(0)) +
             Atom("stsd", Zeros(4) + Be32(0xFFFFFFFF) + Atom("avc1", Zeros(4)))))))),
         "FourCC:  \"avc1\"", "fps"},
        // AVI: a short main header, no frame time, an odd chunk before the
        // stream format, a chunk past its list.
        {"main header of 20 bytes", Avi(Chunk("avih", Zeros(20))), "(AVI)", "Content"},
        {"0 microseconds a frame", Avi(MainHeader(0)), "(AVI)", "Duration"},
        {"odd chunk before the format",
         Avi(MainHeader(40000) + Chunk("LIST", "strl" + Chunk("strh", "auds" + Zeros(4)) +
                                                  Chunk("strn", "abc") +
                                                  Chunk("strf", Le16(0x55) + Le16(2) + Le32(44100) +
                                                                    Le32(16000)))),
         "44100 Hz, 128.0 kbps, stereo", "\n\n\n"},
        {"chunk past its list", Avi(MainHeader(40000) + "LIST" + Le32(0x7FFFFFF0) + "strl"), "(AVI)",
         "Content"},
        // ASF: a count far beyond the objects, short type-specific data,
        // an odd text length and one over the limit, a negative length.
        {"object count past the header", Asf(0xFFFFFFFF, ""), "(ASF)", "Content"},
        {"short audio properties",
         Asf(1, AsfObject(AsfGuid("9107DCB7B7A9CF118EE600C00C205365"),
                          AsfGuid("409E69F84D5BCF11A8FD00805F5C442B") + Zeros(24) + Le32(1000) +
                              Zeros(10) + Le32(44100))),
         "Audio only", "Hz"},
        {"odd and long texts",
         Asf(2, AsfObject(AsfGuid("3326B2758E66CF11A6D900AA0062CE6C"),
                          Le16(5) + Zeros(8) + std::string("O\0k\0!", 5)) +
                    AsfObject(AsfGuid("3326B2758E66CF11A6D900AA0062CE6C"), Le16(2000) + Zeros(8))),
         "(ASF)", "Title"},
        {"preroll longer than the play",
         Asf(1, AsfObject(AsfGuid("A1DCAB8C47A9CF118EE400C00C205365"),
                          Zeros(40) + Le32(10000000) + Zeros(12) + Le32(5000) + Zeros(12))),
         "(ASF)", "Duration"},
        // Lengths and rates in exact arithmetic, one division each (the
        // same on every floating-point unit): 50 frames of 1010 us are
        // 0.0505 s, whose nearest double lies above; 17 bytes in 0.272 s
        // are 62.5 bytes a second, rounded up to 63 (1 kbps).
        {"50 frames of 1010 microseconds", Avi(MainHeader(1010)), "Duration:  0.051 sec", "0.050"},
        {"62.5 bytes a second",
         Asf(1, AsfObject(AsfGuid("A1DCAB8C47A9CF118EE400C00C205365"),
                          Zeros(16) + Le32(17) + Zeros(20) + Le32(2720000) + Zeros(24))),
         "0.272 sec\n   Data Rate:  1 kbps", "0 kbps"},
        // RealMedia: a stream name past its chunk, a chunk below 8 bytes.
        {"name past its chunk",
         ".RMF" + Be32(18) + Zeros(10) + "MDPR" + Be32(42) + Zeros(32) + char(60) + "ab", "RealMedia",
         "Content"},
        {"chunk of 4 bytes", ".RMF" + Be32(18) + Zeros(10) + "PROP" + Be32(4) + Zeros(40), "RealMedia",
         "Duration"},
        // MPEG: reserved layer, bit rate and sampling values give no audio
        // values; a mux rate of 0 no length; a picture rate of 0 is no
        // sequence header, and leaves the time code alone.
        {"reserved layer", Mpeg1Pack(100) + AudioPacket("\xFF\xF9\x90\x00"), "Audio only", "Audio Info"},
        {"bit rate index 15", Mpeg1Pack(100) + AudioPacket("\xFF\xFD\xF0\x00"), "Audio only", "Hz"},
        {"sampling index 3", Mpeg1Pack(100) + AudioPacket("\xFF\xFD\x9C\x00"), "Audio only", "Hz"},
        {"mux rate 0", Mpeg1Pack(0) + AudioPacket("\xFF\xFD\x90\xC0"), "44100 Hz, 160.0 kbps, mono",
         "Duration"},
        {"picture rate 0",
         std::string("\0\0\1\xB3\x01\x00\x10\x00", 8) + Zeros(8) + std::string("\0\0\1\xB8\x04\x08\x00\x00", 8) +
             std::string("\0\0\1\0", 4) + Zeros(8),
         "Video Elementary Stream", "Duration"},
        // Start codes 00 00 01 B3 that are no sequence header are passed by:
        // pictures below 16 x 16, rate codes 9 and 0, an MPEG-4 group of VOPs.
        {"no sequence header until the last",
         Sequence(15, 16, 3) + Sequence(16, 15, 3) + Sequence(16, 16, 9) + Sequence(16, 16, 0) +
             std::string("\0\0\1\xB3\x00\x10\x07\x00\0\0\1\xB6", 12) + Sequence(16, 16, 8),
         "Video Info:  16 x 16, 60 fps\n", "unknown"},
        {"rate code 1", Sequence(16, 16, 1), "Video Info:  16 x 16, 23.976 fps\n", "unknown"},
        // Text: 126 is the last printable byte.
        {"one byte 126", "~", "File Format:  ASCII Text", "unknown"},
        {"one byte 127", "\x7F", "File Format:  unknown", "ASCII"},
    };
    std::string path = FreshFolder("vidscan-hostile") + "/file";
    for (const Hostile& file : files) {
        SCOPED_TRACE(file.what);
        WriteBytes(path, file.bytes);
        const char* argv[] = {"vidscan", path.c_str()};
        std::string out;
        EXPECT_EQ(0, RunVidscan(2, argv, out));
        EXPECT_NE(std::string::npos, out.find(file.present)) << out;
        EXPECT_EQ(std::string::npos, out.find(file.absent)) << out;
    }
}

} // namespace
