// Writing kerbo-pack's UTF-8 output: to a Windows console as UTF-16 (a
// console would show the bytes in its own code page), to anything else as
// the bytes themselves.
#pragma once

#include <cstdio>
#include <string>

void writeConsoleText(std::FILE* stream, const std::string& utf8);
