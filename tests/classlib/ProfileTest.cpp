// The registry profile: HKEY_CURRENT_USER\Software\<company>\<app>\<section>.
// Every test uses a company key of its own and deletes it afterwards.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_company = UniqueCompanyName(::testing::UnitTest::GetInstance()->current_test_info()->name());
        theTestApp.SetRegistryKey(m_company.c_str());
    }
    void TearDown() override
    {
        DeleteCompanyKey(m_company);
        theTestApp.SetRegistryKey((LPCSTR)nullptr);
    }
    bool SectionKeyExists(const char* section) const
    {
        std::string path = "Software\\" + m_company + "\\" + theTestApp.m_pszAppName + "\\" + section;
        HKEY hKey = nullptr;
        if (::RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(hKey);
        return true;
    }

    std::string m_company;
};

} // namespace

TEST_F(ProfileTest, IntegersRoundTripAndMissingOnesGiveTheDefault)
{
    EXPECT_EQ(theTestApp.GetProfileInt("menu", "loadsort", 55), 55u);
    EXPECT_FALSE(SectionKeyExists("menu"));   // reading creates nothing
    EXPECT_TRUE(theTestApp.WriteProfileInt("menu", "loadsort", 77));
    EXPECT_EQ(theTestApp.GetProfileInt("menu", "loadsort", 55), 77u);
    EXPECT_TRUE(SectionKeyExists("menu"));
    EXPECT_TRUE(theTestApp.WriteProfileInt("inet", "proxy_port", -1));
    EXPECT_EQ((int)theTestApp.GetProfileInt("inet", "proxy_port", 8080), -1);
    // A value of another type is not an integer.
    EXPECT_TRUE(theTestApp.WriteProfileString("menu", "text", "12"));
    EXPECT_EQ(theTestApp.GetProfileInt("menu", "text", 3), 3u);
}

TEST_F(ProfileTest, StringsRoundTripAndNullValuesDelete)
{
    EXPECT_EQ(theTestApp.GetProfileString("open", "last", "none"), "none");
    EXPECT_EQ(theTestApp.GetProfileString("open", "last"), "");
    EXPECT_TRUE(theTestApp.WriteProfileString("open", "last", "C:\\movies\\my.vdb"));
    EXPECT_EQ(theTestApp.GetProfileString("open", "last"), "C:\\movies\\my.vdb");
    // An empty text is a stored value, not a missing one.
    EXPECT_TRUE(theTestApp.WriteProfileString("open", "recent1", ""));
    EXPECT_EQ(theTestApp.GetProfileString("open", "recent1", "default"), "");

    // A NULL value deletes the entry.
    EXPECT_TRUE(theTestApp.WriteProfileString("open", "last", nullptr));
    EXPECT_EQ(theTestApp.GetProfileString("open", "last", "gone"), "gone");
    EXPECT_EQ(theTestApp.GetProfileString("open", "recent1", "default"), "");

    // A NULL entry deletes the whole section.
    EXPECT_TRUE(theTestApp.WriteProfileInt("open", "recent", 4));
    EXPECT_TRUE(theTestApp.WriteProfileString("open", nullptr, nullptr));
    EXPECT_FALSE(SectionKeyExists("open"));
    EXPECT_EQ(theTestApp.GetProfileInt("open", "recent", 9), 9u);
    EXPECT_EQ(theTestApp.GetProfileString("open", "recent1", "x"), "x");
}

TEST_F(ProfileTest, FourByteBinaryRoundTrip)
{
    COLORREF colour = RGB(0x12, 0x34, 0x56);
    EXPECT_TRUE(theTestApp.WriteProfileBinary("paintitem", "bgcolor1", &colour, sizeof(colour)));

    BYTE* data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(theTestApp.GetProfileBinary("paintitem", "bgcolor1", &data, &size));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(data[0], 0x12);
    EXPECT_EQ(data[1], 0x34);
    EXPECT_EQ(data[2], 0x56);
    EXPECT_EQ(data[3], 0x00);
    delete[] data;

    // A value of another size comes back with its own size.
    BYTE three[3] = { 1, 2, 3 };
    EXPECT_TRUE(theTestApp.WriteProfileBinary("paintitem", "bgcolor2", three, 3));
    std::vector<BYTE> bytes;
    ASSERT_TRUE(theTestApp.GetProfileBinary("paintitem", "bgcolor2", bytes));
    EXPECT_EQ(bytes.size(), 3u);

    EXPECT_FALSE(theTestApp.GetProfileBinary("paintitem", "missing", &data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
    // An integer is not binary.
    EXPECT_TRUE(theTestApp.WriteProfileInt("paintitem", "border", 5));
    EXPECT_FALSE(theTestApp.GetProfileBinary("paintitem", "border", bytes));
}

TEST_F(ProfileTest, WithoutACompanyKeyNothingIsStored)
{
    theTestApp.SetRegistryKey((LPCSTR)nullptr);
    EXPECT_FALSE(theTestApp.WriteProfileInt("menu", "loadstyle", 3));
    EXPECT_FALSE(theTestApp.WriteProfileString("menu", "name", "x"));
    EXPECT_EQ(theTestApp.GetProfileInt("menu", "loadstyle", 1), 1u);
    EXPECT_EQ(theTestApp.GetProfileString("menu", "name", "d"), "d");
}
