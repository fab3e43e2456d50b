#include "tools/kerbo_pack/tool_directories.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

static bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string withSeparator(const std::string& path) {
    if (path.empty() || isSeparator(path.back())) return path;
#ifdef _WIN32
    return path + "\\";
#else
    return path + "/";
#endif
}

DirectoryState directoryState(const std::string& path) {
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return DirectoryMissing;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DirectoryNotADirectory;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((withSeparator(path) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return DirectoryEmpty;
    DirectoryState state = DirectoryEmpty;
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0)
            state = DirectoryNotEmpty;
    } while (state == DirectoryEmpty && FindNextFileA(search, &found));
    FindClose(search);
    return state;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return DirectoryMissing;
    if (!S_ISDIR(info.st_mode)) return DirectoryNotADirectory;
    DIR* directory = opendir(path.c_str());
    if (!directory) return DirectoryNotEmpty;  // unreadable: not to be written into
    DirectoryState state = DirectoryEmpty;
    while (struct dirent* entry = readdir(directory)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            state = DirectoryNotEmpty;
            break;
        }
    }
    closedir(directory);
    return state;
#endif
}

static bool makeOne(const std::string& path) {
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

bool makeDirectories(const std::string& path, std::string* error) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i])) continue;
        std::string part = path.substr(0, i);
        if (part.empty() || isSeparator(part.back()) || (part.size() == 2 && part[1] == ':')) continue;
        if (!makeOne(part)) {
            *error = std::strerror(errno);
            return false;
        }
    }
    DirectoryState state = directoryState(path);
    if (state == DirectoryMissing || state == DirectoryNotADirectory) {
        *error = "not a directory";
        return false;
    }
    return true;
}
