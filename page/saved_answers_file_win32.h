// The saved-answers file on disk: mapped read-only to restore the answers,
// and replaced whole, through a temporary file beside it, when saving.
#pragma once

#include <cstddef>

#include "package/platform_types.h"

// Fills name with the saved-answers file name of the running executable.
// False when it cannot be built.
bool runningSavedAnswersName(char* name, int capacity);

// The saved-answers file of an earlier run, mapped read-only for as long as
// this object lives; no bytes when there is none or it cannot be mapped.
class SavedAnswersMapping {
public:
    explicit SavedAnswersMapping(const char* name);
    ~SavedAnswersMapping();
    SavedAnswersMapping(const SavedAnswersMapping&) = delete;
    SavedAnswersMapping& operator=(const SavedAnswersMapping&) = delete;

    const void* bytes() const { return view_; }
    size_t size() const { return size_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    size_t size_ = 0;
};

// Writes the bytes to "<name>.tmp" and only once they are all written
// replaces name with it, so that a save failing half-way leaves the previous
// file as it was. When name cannot be replaced (read-only, held open), the
// move is tried again for about half a second, then the bytes are written
// straight into name. True when name holds the bytes. False when the
// temporary file could not be written (it is then removed), or when name
// could be neither replaced nor written: the temporary file then stays and
// holds the answers.
bool replaceSavedAnswersFile(const char* name, const void* bytes, size_t size);
