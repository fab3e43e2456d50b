#include <cstdio>

#include "tools/kerbo_pack/commands.h"

int runInspectCommand(int, char**) {
    std::fprintf(stderr, "kerbo-pack: 'inspect' is not built yet\n");
    return 1;
}
