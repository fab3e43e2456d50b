// The platform the Windows tests run on.
#include <gtest/gtest.h>

#include "package/platform_types.h"

TEST(Platform, AnsiCodePageIs1252) { EXPECT_EQ(GetACP(), 1252u); }
