// Failure messages. In the player each one is a modal message box with no
// owner window and an OK button; outside Windows (the authoring tool, the
// native tests) the last message is kept so that it can be read back.
#pragma once

enum MessageIcon { MessageIconNone = 0, MessageIconInformation = 1, MessageIconError = 2 };

void showMessage(const char* text, const char* caption, MessageIcon icon);

// Outside Windows: the last message shown since clearLastMessage, or null.
struct ShownMessage {
    char text[260];
    char caption[64];
    MessageIcon icon;
    int count;  // messages shown since the last clear
};
const ShownMessage* lastMessage();
void clearLastMessage();
