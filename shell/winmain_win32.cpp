// The player's entry point: start-up, the message loop, shutdown. The command
// line and the show command are not used.
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND mainWindow = nullptr;
    if (!startPlayer(instance, &mainWindow)) return 0;
    int exitCode = runMessageLoop();
    shutDownPlayer(mainWindow);
    return exitCode;
}
