// Directories for the commands that write several files (new, unpack).
#pragma once

#include <string>

enum DirectoryState { DirectoryMissing, DirectoryEmpty, DirectoryNotEmpty, DirectoryNotADirectory };
DirectoryState directoryState(const std::string& path);

// Makes path and every missing directory above it. On failure *error says why.
bool makeDirectories(const std::string& path, std::string* error);

// path with "/" or "\" at its end, unless it is empty or ends in one.
std::string withSeparator(const std::string& path);
