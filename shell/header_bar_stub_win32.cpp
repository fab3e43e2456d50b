// Placeholder until the header bar is built.
#include "shell/shell.h"

INT_PTR CALLBACK headerBarProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
