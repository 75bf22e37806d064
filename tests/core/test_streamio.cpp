#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/StreamIo.h"

#ifndef _WIN32
#include <csignal>
#include <thread>

#include <unistd.h>
#endif

namespace {

typedef std::vector<unsigned char> Bytes;

class StreamIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxRecording(true);
        f = tmpfile();
        ASSERT_TRUE(f != NULL);
    }
    void TearDown() override
    {
        if (f)
            fclose(f);
    }
    // Everything written so far; the stream is left at its start for reading.
    Bytes Written()
    {
        fflush(f);
        long size = ftell(f);
        rewind(f);
        Bytes out(size_t(size > 0 ? size : 0));
        if (!out.empty()) {
            EXPECT_EQ(out.size(), fread(out.data(), 1, out.size(), f));
        }
        rewind(f);
        return out;
    }
    void Load(const Bytes& bytes)
    {
        if (!bytes.empty())
            fwrite(bytes.data(), 1, bytes.size(), f);
        rewind(f);
    }
    FILE* f = NULL;
};

TEST_F(StreamIoTest, NumbersAreLittleEndian)
{
    ASSERT_TRUE(WriteU32(f, 0x01020304));
    ASSERT_TRUE(WriteU16(f, 0xA1B2));
    ASSERT_TRUE(WriteU8(f, 0x7F));
    ASSERT_TRUE(WriteDouble(f, 1.0));
    ASSERT_TRUE(WriteBlock32(f, 0x11223344));
    Bytes expected = { 0x04, 0x03, 0x02, 0x01, 0xB2, 0xA1, 0x7F,
                       8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,
                       4, 0, 0, 0, 0x44, 0x33, 0x22, 0x11 };
    EXPECT_EQ(expected, Written());

    DWORD u32 = 0;
    WORD u16 = 0;
    BYTE u8 = 0;
    double d = 0;
    DWORD block32 = 0;
    EXPECT_TRUE(ReadU32(f, &u32));
    EXPECT_TRUE(ReadU16(f, &u16));
    EXPECT_TRUE(ReadU8(f, &u8));
    EXPECT_TRUE(ReadDouble(f, &d));
    EXPECT_TRUE(ReadBlock32(f, &block32));
    EXPECT_EQ(0x01020304u, u32);
    EXPECT_EQ(0xA1B2, u16);
    EXPECT_EQ(0x7F, u8);
    EXPECT_EQ(1.0, d);
    EXPECT_EQ(0x11223344u, block32);
}

TEST_F(StreamIoTest, ShortNumberShowsReadError)
{
    Load({ 1, 2, 3 });
    int before = ErrorBoxCount();
    DWORD value = 99;
    EXPECT_FALSE(ReadU32(f, &value));
    EXPECT_EQ(99u, value);
    EXPECT_EQ(before + 1, ErrorBoxCount());
    EXPECT_EQ("Error reading file", LastErrorBoxText());

    BYTE b = 0;
    EXPECT_FALSE(ReadU8(NULL, &b));
    EXPECT_FALSE(WriteU32(NULL, 1));
    EXPECT_FALSE(ReadString(NULL, NULL));
}

TEST_F(StreamIoTest, AbsentAndEmptyTextsBothReadBackEmpty)
{
    std::string longText(10000, 'L');
    ASSERT_TRUE(WriteString(f, NULL));
    ASSERT_TRUE(WriteString(f, ""));
    ASSERT_TRUE(WriteString(f, longText.c_str()));
    Bytes bytes = Written();
    ASSERT_EQ(2u + longText.size() + 1, bytes.size());
    EXPECT_EQ(0, bytes[0]);
    EXPECT_EQ(0, bytes[1]);

    char* a = NULL;
    char* b = NULL;
    char* c = NULL;
    EXPECT_TRUE(ReadString(f, &a));
    EXPECT_TRUE(ReadString(f, &b));
    EXPECT_TRUE(ReadString(f, &c));
    ASSERT_TRUE(a != NULL && b != NULL && c != NULL);
    EXPECT_STREQ("", a);
    EXPECT_STREQ("", b);
    EXPECT_EQ(longText, c);
    free(a);
    free(b);
    free(c);
}

TEST_F(StreamIoTest, UnterminatedTextFailsAndKeepsTheOldOne)
{
    Load({ 'a', 'b', 'c' });
    char* text = static_cast<char*>(malloc(4));
    strcpy(text, "old");
    EXPECT_FALSE(ReadString(f, &text));
    EXPECT_STREQ("old", text);
    free(text);
}

TEST_F(StreamIoTest, BlockRoundTripReplacesTheOldBuffer)
{
    ASSERT_TRUE(WriteBlock(f, "\x01\x02\x03", 3));
    ASSERT_TRUE(WriteBlock(f, NULL, 0));
    EXPECT_FALSE(WriteBlock(f, NULL, 2));
    Written();
    BYTE* bytes = static_cast<BYTE*>(malloc(1));
    DWORD length = 1;
    ASSERT_TRUE(ReadBlock(f, &bytes, &length));
    ASSERT_EQ(3u, length);
    EXPECT_EQ(0, memcmp(bytes, "\x01\x02\x03", 3));
    ASSERT_TRUE(ReadBlock(f, &bytes, &length));
    EXPECT_EQ(0u, length);
    EXPECT_EQ(NULL, bytes);
}

TEST_F(StreamIoTest, ShortOrOversizedBlockFailsAndLeavesTarget)
{
    BYTE keep[1] = { 5 };
    BYTE* bytes = keep;
    DWORD length = 1;
    int before = ErrorBoxCount();

    Load({ 100, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
    EXPECT_FALSE(ReadBlock(f, &bytes, &length));
    EXPECT_EQ(keep, bytes);
    EXPECT_EQ(1u, length);
    EXPECT_EQ(before, ErrorBoxCount());  // the body fails silently

    // A length near 4 GB must not be allocated at all.
    rewind(f);
    Load({ 0xFF, 0xFF, 0xFF, 0xFF, 1 });
    EXPECT_FALSE(ReadBlock(f, &bytes, &length));
    EXPECT_EQ(keep, bytes);

    BYTE raw[16];
    rewind(f);
    EXPECT_TRUE(ReadBytes(f, raw, 4));
    EXPECT_FALSE(ReadBytes(f, raw, 16));  // only 10 left
}

TEST_F(StreamIoTest, FixedBlocksNeedTheirExactLength)
{
    Load({ 7, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 5, 0, 0, 0, 1, 2, 3, 4, 5 });
    double d = 2.5;
    EXPECT_FALSE(ReadDouble(f, &d));
    EXPECT_EQ(2.5, d);
    DWORD v = 9;
    EXPECT_FALSE(ReadBlock32(f, &v));
    EXPECT_EQ(9u, v);
}

#ifndef _WIN32
// A pipe cannot seek: the block is read in slices, and one that ends early
// still fails. A second thread feeds the pipe, as it holds less than a block.
TEST(StreamIoPipe, BlockFromAStreamThatCannotSeek)
{
    signal(SIGPIPE, SIG_IGN);  // a failing reader must not kill the writer
    for (int full = 0; full < 2; ++full) {
        int fds[2];
        ASSERT_EQ(0, pipe(fds));
        Bytes data = { 0x00, 0x00, 0x02, 0x00 };  // 131072 bytes declared
        data.resize(full ? 4 + 131072 : 4 + 70000, 0xAB);
        std::thread writer([&] {
            size_t done = 0;
            while (done < data.size()) {
                ssize_t n = write(fds[1], data.data() + done, data.size() - done);
                if (n <= 0)
                    break;
                done += size_t(n);
            }
            close(fds[1]);
        });
        FILE* in = fdopen(fds[0], "rb");
        ASSERT_TRUE(in != NULL);
        BYTE* bytes = NULL;
        DWORD length = 0;
        EXPECT_EQ(full == 1, ReadBlock(in, &bytes, &length));
        EXPECT_EQ(full ? 131072u : 0u, length);
        fclose(in);
        writer.join();
        free(bytes);
    }
}
#endif
} // namespace

namespace {

// Reads of every kind, failed ones included, keep the counted position equal
// to the stream's own, and StreamBytesLeft answers from the given length.
TEST_F(StreamIoTest, SequentialReadCountsEveryByteTaken)
{
    ASSERT_TRUE(WriteU8(f, 7));
    ASSERT_TRUE(WriteU16(f, 0x1234));
    ASSERT_TRUE(WriteString(f, std::string(1500, 'x').c_str()));
    ASSERT_TRUE(WriteBlock(f, "abc", 3));
    ASSERT_TRUE(WriteDouble(f, 2.5));
    ASSERT_TRUE(WriteString(f, "tail"));
    Bytes bytes = Written();
    bytes.pop_back();  // the last text loses its 0 byte
    fclose(f);
    f = tmpfile();
    ASSERT_TRUE(f != NULL);
    Load(bytes);
    long long size = static_cast<long long>(bytes.size());

    CSequentialRead sequential(f, size);
    BYTE u8 = 0;
    WORD u16 = 0;
    char* text = NULL;
    std::vector<BYTE> block;
    double d = 0;
    ASSERT_TRUE(ReadU8(f, &u8));
    ASSERT_TRUE(ReadU16(f, &u16));
    ASSERT_TRUE(ReadString(f, &text));
    EXPECT_EQ(1500u, strlen(text));
    EXPECT_EQ(size - ftell(f), StreamBytesLeft(f));
    ASSERT_TRUE(ReadBlock(f, &block));
    EXPECT_EQ(Bytes({ 'a', 'b', 'c' }), block);
    ASSERT_TRUE(ReadDouble(f, &d));
    EXPECT_EQ(4, StreamBytesLeft(f));
    EXPECT_FALSE(ReadString(f, &text));  // takes the 4 bytes, finds no end
    EXPECT_EQ(size, ftell(f));
    EXPECT_EQ(0, StreamBytesLeft(f));
    free(text);
}

TEST_F(StreamIoTest, SequentialReadTrustsTheGivenLength)
{
    Load({ 8, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8 });
    std::vector<BYTE> block(1, 9);
    {
        CSequentialRead sequential(f, 8);  // the block runs past this end
        EXPECT_FALSE(ReadBlock(f, &block));
        EXPECT_EQ(Bytes(1, 9), block);
        EXPECT_EQ(4, ftell(f));  // nothing taken beyond the length
    }
    EXPECT_EQ(8, StreamBytesLeft(f));  // the file system answers again
    rewind(f);
    ASSERT_TRUE(ReadBlock(f, &block));
    EXPECT_EQ(8u, block.size());
}

} // namespace
