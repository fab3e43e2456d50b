// The keys of a quiz description: the one list that the parser and
// `kerbo-pack check` both go by. A key listed here is never reported as
// unknown; where it may be given (above the first [question] or inside one)
// is its scope.
#pragma once

#include <string>

enum DescriptionKeyScope { KeyOfQuiz, KeyOfQuestion };

struct DescriptionKey {
    const char* name;
    DescriptionKeyScope scope;
};

extern const DescriptionKey kDescriptionKeys[];
extern const int kDescriptionKeyCount;

// The key of that name, or null.
const DescriptionKey* findDescriptionKey(const std::string& name);

// The known key nearest to a misspelled one (by edit distance, letters
// compared without case), or null when none is near enough to be meant.
const DescriptionKey* nearestDescriptionKey(const std::string& name);
