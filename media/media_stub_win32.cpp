// Placeholder until pictures and clips are built.
#include "media/media_player.h"
#include "media/picture_loader.h"

HBITMAP loadPicture(int, int, int) { return nullptr; }
PictureSize pictureSize(HBITMAP) { return PictureSize{0, 260}; }
void loadPlayerSupport() {}
void unloadPlayerSupport(HWND) {}
bool createPlayer(int, HWND) { return false; }
void playClip(int) {}
void stopClip() {}
void deleteLastClipFile() {}
