// The saved-answers file on disk (see saved_answers_file_win32.h).
#include "page/saved_answers_file_win32.h"

#include "package/quiz_document.h"
#include "page/saved_answers.h"

bool runningSavedAnswersName(char* name, int capacity) {
    char executable[kTextCapacity];
    executableFileName(executable, sizeof executable);
    return savedAnswersFileName(executable, name, capacity);
}

SavedAnswersMapping::SavedAnswersMapping(const char* name) {
    file_ = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    // An empty file cannot be mapped, and holds no answers anyway.
    if (!GetFileSizeEx(file_, &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) return;
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping_) return;
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    if (view_) size_ = static_cast<size_t>(size.QuadPart);
}

SavedAnswersMapping::~SavedAnswersMapping() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

namespace {

// A file that cannot be replaced is usually held for a moment only (a virus
// scanner, a sync client): the move is tried this often, this far apart,
// within about half a second.
enum { kReplaceAttempts = 6, kReplacePauseMs = 100 };

// Writes the bytes as the whole content of the file, created anew or
// emptied (CREATE_ALWAYS) with the given share mode. True when every byte
// reached the disk.
bool writeWholeFile(const char* name, DWORD share, const void* bytes, size_t size) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool complete = size == 0 || (WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) &&
                                  written == size);
    complete = complete && FlushFileBuffers(file);
    complete = CloseHandle(file) && complete;
    return complete;
}

bool moveOver(const char* temp, const char* name) {
    for (int attempt = 1; attempt <= kReplaceAttempts; ++attempt) {
        if (MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        if (attempt < kReplaceAttempts) Sleep(kReplacePauseMs);
    }
    return false;
}

}  // namespace

bool replaceSavedAnswersFile(const char* name, const void* bytes, size_t size) {
    char temp[kTextCapacity];
    if (!savedAnswersTempName(name, temp, sizeof temp)) return false;
    if (!writeWholeFile(temp, 0, bytes, size)) {
        DeleteFileA(temp);
        return false;
    }
    if (moveOver(temp, name)) return true;
    // The old file stays in the way (read-only, or held open by a program
    // that shares it): the answers go straight into it. Whatever happens,
    // the answers are then in one of the two files; the temporary one goes
    // only once they are in the saved-answers file itself.
    if (!writeWholeFile(name, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, bytes, size)) return false;
    DeleteFileA(temp);
    return true;
}
