#include "package/message_box.h"

void showPlatformMessageBox(const char*, const char*, MessageIcon) {}
