#include "tools/kerbo_pack/tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

bool readWholeFile(const std::string& path, std::vector<unsigned char>* bytes, std::string* error) {
    bytes->clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes->size() + got > 0xFFFFFFFFu) {
            std::fclose(file);
            *error = "the file is larger than 4 GB";
            return false;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    bool failed = std::ferror(file) != 0;
    int readError = errno;
    std::fclose(file);
    if (failed) *error = std::strerror(readError ? readError : EIO);
    return !failed;
}

static bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool writeFileReplacing(const std::string& path, const std::vector<unsigned char>& bytes, bool executable,
                        std::string* error) {
    std::string temporary = path + ".kerbo-pack-partial";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int writeError = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        writeError = errno;
    }
#ifndef _WIN32
    if (ok && executable) {
        // rwx for whoever may read it, as the process's umask allows.
        mode_t mask = umask(0);
        umask(mask);
        chmod(temporary.c_str(), 0777 & ~mask);
    }
#else
    (void)executable;
#endif
    if (ok && !replaceFile(temporary, path)) {
        ok = false;
        writeError = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        *error = std::strerror(writeError ? writeError : EIO);
    }
    return ok;
}

static bool isSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\' || c == ':';
#else
    return c == '/';
#endif
}

std::string directoryOf(const std::string& path) {
    size_t end = path.size();
    while (end > 0 && !isSeparator(path[end - 1])) --end;
    return path.substr(0, end);
}

// A description may separate a media path's parts with "/" or "\\" on every
// system: Windows takes both, other systems get "/".
std::string resolvePath(const std::string& directory, const std::string& written) {
    std::string path = written;
#ifndef _WIN32
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
#endif
    bool absolute = !path.empty() && isSeparator(path[0]);
#ifdef _WIN32
    absolute = absolute || (path.size() > 1 && path[1] == ':');
#endif
    return absolute ? path : directory + path;
}

std::string toolDirectory() {
    char buffer[4096];
#ifdef _WIN32
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return "";
#else
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "";
#endif
    return directoryOf(std::string(buffer, static_cast<size_t>(length)));
}
