// The player's entry point.
#include "package/platform_types.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
