#include "package/message_box.h"

#include "package/quiz_document.h"

static ShownMessage shown;

void showMessage(const char* text, const char* caption, MessageIcon icon) {
    copyText(shown.text, sizeof shown.text, text);
    copyText(shown.caption, sizeof shown.caption, caption);
    shown.icon = icon;
    ++shown.count;
}

const ShownMessage* lastMessage() { return shown.count ? &shown : nullptr; }

void clearLastMessage() { shown = ShownMessage(); }
