// The platform the Windows tests run on.
#include <gtest/gtest.h>

#include "wine_test_support.h"

TEST(Platform, AnsiCodePageIs1252) { EXPECT_EQ(GetACP(), 1252u); }

TEST(Platform, MessageBoxesAreCaught) {
    MessageBoxCatcher catcher;
    EXPECT_EQ(MessageBoxA(nullptr, "Cles du jeu absentes!", "Kerbo", MB_OK), IDOK);
    ASSERT_EQ(catcher.caught().size(), 1u);
    EXPECT_EQ(catcher.caught()[0].caption, "Kerbo");
    EXPECT_EQ(catcher.caught()[0].text, "Cles du jeu absentes!");
}
