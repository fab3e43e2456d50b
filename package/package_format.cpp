#include "package/package_format.h"

const char kPackageKey[kPackageKeyLength + 1] = "Cles du jeu absentes!";

int clueTextsPerQuestion(int answerMode) {
    if (answerMode == 3) return 2;
    if (answerMode == 2 || answerMode == 4) return 1;
    return 0;
}

void scrambleResource(unsigned char* bytes, size_t size) {
    for (size_t i = 1; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(bytes[i] ^ kPackageKey[(i - 1) % kPackageKeyLength]);
    }
}
