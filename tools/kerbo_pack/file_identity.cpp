// Whether two paths name one file, by the system's identity of the file.
#include "tools/kerbo_pack/tool_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#ifdef _WIN32

namespace {

bool identity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    // The tool's paths are the bytes of its char arguments, in the ANSI code
    // page; ASCII paths read the same in both.
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return ok;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    if (!identity(a, &x) || !identity(b, &y)) return false;
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
           x.nFileIndexLow == y.nFileIndexLow;
}

#else

bool sameFile(const std::string& a, const std::string& b) {
    struct stat x, y;
    if (stat(a.c_str(), &x) != 0 || stat(b.c_str(), &y) != 0) return false;
    return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

#endif
