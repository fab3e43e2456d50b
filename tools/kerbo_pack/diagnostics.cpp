#include "tools/kerbo_pack/diagnostics.h"

#include <algorithm>

#include "tools/kerbo_pack/console_text.h"

int Diagnostics::count(DiagnosticSeverity severity) const {
    int n = 0;
    for (const Diagnostic& d : items) n += d.severity == severity;
    return n;
}

std::string formatDiagnostic(const Diagnostic& d, const std::string& descriptionFile) {
    std::string out = d.file.empty() ? descriptionFile : d.file;
    if (d.line > 0) out += ":" + std::to_string(d.line);
    out += d.severity == DiagnosticError ? ": error: " : ": warning: ";
    return out + d.text;
}

std::string diagnosticCountLine(const Diagnostics& diagnostics) {
    const int errors = diagnostics.errors(), warnings = diagnostics.warnings();
    return std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") + std::to_string(warnings) +
           (warnings == 1 ? " warning" : " warnings");
}

void printDiagnostics(std::FILE* stream, const Diagnostics& diagnostics, const std::string& descriptionFile,
                      bool countAlways) {
    if (diagnostics.items.empty() && !countAlways) return;
    std::vector<Diagnostic> sorted = diagnostics.items;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return a.file.empty() != b.file.empty() ? !a.file.empty() : a.line < b.line;
    });
    std::string out;
    for (const Diagnostic& d : sorted) out += formatDiagnostic(d, descriptionFile) + "\n";
    out += diagnosticCountLine(diagnostics) + "\n";
    writeConsoleText(stream, out);
}
