// Failure messages. In the player each one is a modal message box with no
// owner window and an OK button. Every message is also kept, so that the
// authoring tool and the tests can read back what the player would show; the
// tool turns the boxes off (setMessageBoxesShown) and shows none.
#pragma once

enum MessageIcon { MessageIconNone = 0, MessageIconInformation = 1, MessageIconError = 2 };

void showMessage(const char* text, const char* caption, MessageIcon icon);

// The last message shown since clearLastMessage, or null.
struct ShownMessage {
    char text[260];
    char caption[64];
    MessageIcon icon;
    int count;  // messages shown since the last clear
};
const ShownMessage* lastMessage();
void clearLastMessage();

// Whether showMessage puts up a box (on Windows, by default) or only keeps
// the message. Outside Windows no box is ever shown.
void setMessageBoxesShown(bool shown);

// The platform's box: MessageBoxA on Windows, nothing elsewhere.
void showPlatformMessageBox(const char* text, const char* caption, MessageIcon icon);
