#include <cstdio>

#include "tools/kerbo_pack/commands.h"

int runTryCommand(int, char**) {
    std::fprintf(stderr, "kerbo-pack: 'try' is not built yet\n");
    return 1;
}
