// The tool run as a process on the host, and as vidscan.exe under Wine.
#include <gtest/gtest.h>

#include "ToolProcess.h"

namespace {

const std::string kData = VISTREL_TEST_DATA "/vidscan";

class VidscanRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = FreshFolder("vidscan-cli");
        for (const char* name : {"text.txt", "moov_last.mov", "AVSEQ01.DAT", "joined.mpg"})
            CopyTestFile(kData + "/" + name, folder + "/" + name);
        CopyTestFile(kData + "/text.txt", folder + "/-abc");
    }

    // Runs the tool in the folder; its output with LF line ends.
    static ProgramResult Run(const std::vector<std::string>& args)
    {
        ProgramResult result = RunProgram(VIDSCAN_EXE, args, folder);
        EXPECT_EQ("", result.err);
#ifdef _WIN32
        // The console's text mode ends every line with CR LF.
        for (size_t at = result.out.find('\n'); at != std::string::npos;
             at = result.out.find('\n', at + 1))
            EXPECT_TRUE(at > 0 && result.out[at - 1] == '\r') << result.out;
#endif
        result.out = UnixLines(result.out);
        return result;
    }

    static std::string folder;
};
std::string VidscanRun::folder;

const char kUsage[] = "Vidscan, Movie File Identifier, Version 1.02\n";

TEST_F(VidscanRun, ArgumentsOptionsAndUsage)
{
    // A third character that is a letter makes a file name of "-abc".
    ProgramResult result = Run({"-abc"});
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ("   File Name:  -abc\n\n File Format:  ASCII Text\n", result.out);

    // An unknown letter, or no file, prints the usage and exits with 0.
    for (auto args : {std::vector<std::string>{"-X5", "./text.txt"}, std::vector<std::string>{}}) {
        result = Run(args);
        EXPECT_EQ(0, result.exitCode);
        EXPECT_EQ(0u, result.out.find(kUsage));
        EXPECT_NE(std::string::npos, result.out.find("\n\nVIDSCAN filename\n"));
    }

    // The last file name wins; "-q" with no value searches no atom at all.
    result = Run({"./text.txt", "-q", "./moov_last.mov"});
    EXPECT_EQ("   File Name:  moov_last.mov\n\n File Format:  unknown\n", result.out);
    // Its media data is the third atom (after "ftyp" and "wide").
    EXPECT_NE(std::string::npos, Run({"-Q2", "./moov_last.mov"}).out.find("unknown"));
    EXPECT_NE(std::string::npos, Run({"-Q3", "./moov_last.mov"}).out.find("QuickTime"));

    // "/m:0" turns the embedded search off, "-M131072" back on; without a
    // tail scan the joined streams of two rates have no length at all.
    EXPECT_NE(std::string::npos, Run({"/m:0", "./AVSEQ01.DAT"}).out.find("Format:  unknown"));
    EXPECT_NE(std::string::npos,
              Run({"/m:0", "-M131072", "./AVSEQ01.DAT"}).out.find("Embedded System Stream"));
    EXPECT_EQ(std::string::npos, Run({"-d0", "./joined.mpg"}).out.find("Duration"));
    EXPECT_NE(std::string::npos, Run({"-d:262144", "./joined.mpg"}).out.find("Duration"));
}

TEST_F(VidscanRun, FilesThatCannotBeReadOrAreTooBig)
{
    ProgramResult result = Run({"./missing.avi"});
    EXPECT_EQ(1, result.exitCode);
    EXPECT_EQ("Can't open file \"./missing.avi\".\n", result.out);

    ASSERT_TRUE(MakeSparseFile(folder + "/big.dat", 2147483648LL));
    result = Run({"./big.dat"});
    EXPECT_EQ(1, result.exitCode);
    EXPECT_EQ("File is too big.  Can't handle files over 2GB.\n", result.out);

    // One byte less is read, to its end where a detector asks.
    ASSERT_TRUE(MakeSparseFile(folder + "/big.dat", 2147483647LL));
    result = Run({"./big.dat"});
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ("   File Name:  big.dat\n\n File Format:  unknown\n", result.out);
}

} // namespace
