#include <cstdio>

#include "tools/kerbo_pack/commands.h"

int runPictureCommand(int, char**) {
    std::fprintf(stderr, "kerbo-pack: 'picture' is not built yet\n");
    return 1;
}
