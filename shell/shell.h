// The application shell: main window, header bar and the process-wide handles.
#pragma once

#include "package/platform_types.h"

// Dialog procedure of the header bar (template 1002).
INT_PTR CALLBACK headerBarProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam);
