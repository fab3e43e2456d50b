// kerbo-pack --version prints the project's one version (the VERSIONINFO of
// the Windows executables carries the same; tests/windows/version_and_icon_test.cpp).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "kerbo_version.h"

TEST(Version, KerboPackPrintsTheProjectVersion) {
    FILE* pipe = popen(KERBO_PACK " --version", "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[128];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(out, "kerbo-pack " KERBO_VERSION_TEXT "\n");
}
