// Winsock for the Windows test programs that make requests: started once
// before their tests and ended after them, whichever files include this.
#pragma once

#ifdef _WIN32

#include <winsock2.h>

#include <gtest/gtest.h>

#include "net/Winsock.h"

class WinsockTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(InitWinsock()); }
    void TearDown() override { WSACleanup(); }
};

inline ::testing::Environment* const g_winsockTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new WinsockTestEnvironment);

#endif
