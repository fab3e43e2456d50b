// What kerbo-pack reports about a quiz description, the way a compiler does:
// every problem at once, one line each,
//
//   FILE:LINE: error: TEXT      the quiz would not work as its author means
//   FILE:LINE: warning: TEXT    it works, but not as the author may think
//
// then a last line counting them ("2 errors, 3 warnings"). LINE is the line
// of the key concerned; a problem of the whole file has none ("FILE: error:").
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum DiagnosticSeverity { DiagnosticError, DiagnosticWarning };

struct Diagnostic {
    DiagnosticSeverity severity;
    int line;          // 0 when it concerns the whole file
    std::string text;  // UTF-8, names the key as the description spells it
    std::string file;  // empty: the description itself
};

struct Diagnostics {
    std::vector<Diagnostic> items;  // in the order they were found

    void error(int line, const std::string& text) { items.push_back({DiagnosticError, line, text, std::string()}); }
    void warning(int line, const std::string& text) {
        items.push_back({DiagnosticWarning, line, text, std::string()});
    }
    int count(DiagnosticSeverity severity) const;
    int errors() const { return count(DiagnosticError); }
    int warnings() const { return count(DiagnosticWarning); }
};

// "FILE:LINE: error: TEXT" (file: the diagnostic's own, else descriptionFile).
std::string formatDiagnostic(const Diagnostic& diagnostic, const std::string& descriptionFile);
// "1 error, 2 warnings".
std::string diagnosticCountLine(const Diagnostics& diagnostics);

// Prints every diagnostic, sorted by line (whole-file ones first, the order
// found kept within a line), then the count line, to stream (UTF-8, as UTF-16
// to a Windows console). Prints nothing at all when there is nothing to say
// and countAlways is false.
void printDiagnostics(std::FILE* stream, const Diagnostics& diagnostics, const std::string& descriptionFile,
                      bool countAlways);
