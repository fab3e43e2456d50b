#include "tools/kerbo_pack/description_keys.h"

#include <algorithm>
#include <cctype>
#include <vector>

const DescriptionKey kDescriptionKeys[] = {
    // Quiz keys, above the first [question].
    {"kind", KeyOfQuiz},
    {"title", KeyOfQuiz},
    {"author", KeyOfQuiz},
    {"explanation", KeyOfQuiz},
    {"answers", KeyOfQuiz},
    {"first-answer-label", KeyOfQuiz},
    {"second-answer-label", KeyOfQuiz},
    {"answer-mode", KeyOfQuiz},
    {"background", KeyOfQuiz},
    {"link", KeyOfQuiz},
    {"footer", KeyOfQuiz},
    {"code", KeyOfQuiz},
    {"icon", KeyOfQuiz},
    // Question keys, after a [question].
    {"answer", KeyOfQuestion},
    {"second-answer", KeyOfQuestion},
    {"prompt", KeyOfQuestion},
    {"clue", KeyOfQuestion},
    {"picture", KeyOfQuestion},
    {"solved-picture", KeyOfQuestion},
    {"clip", KeyOfQuestion},
};
const int kDescriptionKeyCount = static_cast<int>(sizeof kDescriptionKeys / sizeof kDescriptionKeys[0]);

const DescriptionKey* findDescriptionKey(const std::string& name) {
    for (int i = 0; i < kDescriptionKeyCount; ++i) {
        if (name == kDescriptionKeys[i].name) return &kDescriptionKeys[i];
    }
    return nullptr;
}

namespace {

int editDistance(const std::string& a, const std::string& b) {
    std::vector<int> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

const DescriptionKey* nearestDescriptionKey(const std::string& name) {
    if (name.size() > 64) return nullptr;
    const DescriptionKey* best = nullptr;
    int bestDistance = 0;
    for (int i = 0; i < kDescriptionKeyCount; ++i) {
        const int d = editDistance(name, kDescriptionKeys[i].name);
        if (!best || d < bestDistance) best = &kDescriptionKeys[i], bestDistance = d;
    }
    // Near enough: a third of the key's letters at most (and always 2).
    const int allowed = std::max(2, static_cast<int>(std::string(best->name).size()) / 3);
    return bestDistance <= allowed ? best : nullptr;
}
