// Handle types shared by the window-system-free units and the Win32 code.
//
// On Windows these are the platform's own handles. Elsewhere (the native
// Linux build of the window-system-free units, their tests and the authoring
// tool) they are opaque pointers that stay null: records that hold handles
// still compile there, and only the Win32 units ever create or use one.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
struct HWND__;
struct HFONT__;
struct HBRUSH__;
struct HBITMAP__;
typedef HWND__* HWND;
typedef HFONT__* HFONT;
typedef HBRUSH__* HBRUSH;
typedef HBITMAP__* HBITMAP;
#endif
