#include "package/message_box.h"

#include "package/platform_types.h"

void showPlatformMessageBox(const char* text, const char* caption, MessageIcon icon) {
    UINT style = MB_OK;
    if (icon == MessageIconInformation) style |= MB_ICONINFORMATION;
    if (icon == MessageIconError) style |= MB_ICONERROR;
    MessageBoxA(nullptr, text, caption, style);
}
