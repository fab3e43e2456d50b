// Whole-file reading and writing for kerbo-pack, and where its files are.
#pragma once

#include <string>
#include <vector>

// Reads a whole file (at most 4 GB - 1). On failure *error says why.
bool readWholeFile(const std::string& path, std::vector<unsigned char>* bytes, std::string* error);

// Writes bytes to a temporary file beside path, then renames it over path,
// so that path is either left as it was or replaced whole. An executable
// file gets execute permission where the system has one.
bool writeFileReplacing(const std::string& path, const std::vector<unsigned char>& bytes, bool executable,
                        std::string* error);

// The directory part of a path, with its trailing separator ("" when none).
std::string directoryOf(const std::string& path);

// path taken relative to directory, unless it is absolute.
std::string resolvePath(const std::string& directory, const std::string& path);

// The directory of the running kerbo-pack, with its trailing separator; ""
// when it cannot be found.
std::string toolDirectory();

// Whether two paths name the same existing file (same device and file
// number, so links and other spellings of a path count too); false when
// either does not exist (file_identity.cpp).
bool sameFile(const std::string& a, const std::string& b);
