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

bool replaceSavedAnswersFile(const char* name, const void* bytes, size_t size) {
    char temp[kTextCapacity];
    if (!savedAnswersTempName(name, temp, sizeof temp)) return false;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool complete = size == 0 || (WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) &&
                                  written == size);
    complete = complete && FlushFileBuffers(file);
    complete = CloseHandle(file) && complete;
    if (complete && MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(temp);
    return false;
}
