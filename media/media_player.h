// Clips of audio and video quizzes, played by the media player control.
#pragma once

#include "package/platform_types.h"

void loadPlayerSupport();                    // start-up, before any window
void unloadPlayerSupport(HWND mainWindow);   // shutdown, after the message loop
bool createPlayer(int n, HWND playerHost);   // question n's player inside its host
void playClip(int n);                        // play button of question n
void stopClip();                             // any stop button: the clip started last
void deleteLastClipFile();                   // the clip file written last, if any
void stopClipsAndDeleteClipFile();           // the page's WM_DESTROY and WM_CLOSE: every player
                                             // stopped, then the clip file deleted

// Writes clip resource "IMG" resourceId to its clip file (named in
// lastClipFile) for playing; clipKind 1 audio, 2 video chooses the message
// shown when the resource cannot be loaded. False when nothing was written
// (no such resource, one that cannot be loaded, a file name too long); true
// once the file was written or its writing attempted.
bool extractClip(int resourceId, int clipKind);
