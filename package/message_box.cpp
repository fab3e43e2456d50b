#include "package/message_box.h"

#include "package/quiz_document.h"

static ShownMessage shown;
static bool boxesShown = true;

void showMessage(const char* text, const char* caption, MessageIcon icon) {
    copyText(shown.text, sizeof shown.text, text);
    copyText(shown.caption, sizeof shown.caption, caption);
    shown.icon = icon;
    ++shown.count;
    if (boxesShown) showPlatformMessageBox(text, caption, icon);
}

const ShownMessage* lastMessage() { return shown.count ? &shown : nullptr; }

void clearLastMessage() { shown = ShownMessage(); }

void setMessageBoxesShown(bool show) { boxesShown = show; }
