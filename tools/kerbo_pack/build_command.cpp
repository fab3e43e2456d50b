#include <cstdio>

#include "tools/kerbo_pack/commands.h"

int runBuildCommand(int, char**) {
    std::fprintf(stderr, "kerbo-pack: 'build' is not built yet\n");
    return 1;
}
