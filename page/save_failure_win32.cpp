// What the player says when the answers could not be written: a warning on
// "Sauver" and F2, and a question before the window closes, so that answers
// are never lost without a word.
#include "page/page.h"
#include "page/saved_answers_file_win32.h"

namespace {

enum { kFailureTextCapacity = kTextCapacity + 128 };

// "Les réponses n'ont pas pu être enregistrées dans NAME.txt." followed by
// the question when closing.
void failureText(char* text, bool closing) {
    char name[kTextCapacity] = "";
    runningSavedAnswersName(name, sizeof name);
    wsprintfA(text, "Les r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9" "es dans %s.%s", name,
              closing ? " Fermer quand m\xEAme ?" : "");
}

}  // namespace

void saveAnswersOrWarn(QuizDocument* document) {
    if (!document || saveAnswers(document)) return;
    char text[kFailureTextCapacity];
    failureText(text, false);
    MessageBoxA(nullptr, text, "Kerbo", MB_OK | MB_ICONWARNING);
}

bool saveAnswersBeforeClosing(QuizDocument* document) {
    if (!document || saveAnswers(document)) return true;
    char text[kFailureTextCapacity];
    failureText(text, true);
    return MessageBoxA(nullptr, text, "Kerbo", MB_YESNO | MB_ICONWARNING) == IDYES;
}
