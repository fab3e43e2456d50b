// kerbo-pack try: the verdict the player would show for a typed answer, so an
// author can see in advance how typos of an answer will be judged.
//
//   kerbo-pack try EXPECTED TYPED      one verdict
//   kerbo-pack try -- EXPECTED TYPED   the same, for texts that start with "--"
//   kerbo-pack try --batch             one verdict per line of standard input,
//                                      each line "EXPECTED<tab>TYPED"
//
// Texts come in as UTF-8 and are judged as code page 1252, like the player's;
// a character outside that code page is refused (exit 1). Verdicts are printed
// in UTF-8, each followed by "\n". In batch mode the input may start with a
// byte order mark, lines may end in "\r\n", the typed text is everything after
// the first tab, and a line without a tab stops the run (exit 1) after the
// verdicts of the lines before it.
//
// On Windows the arguments are taken from the UTF-16 command line, since the
// char arguments of main are already converted to the ANSI code page with
// unknown characters replaced; a console is written and read in UTF-16.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "page/verdict.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/console_text.h"
#include "tools/kerbo_pack/cp1252.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <windows.h>
#endif

namespace {

#ifdef _WIN32

std::string wideToUtf8(const wchar_t* text, int length) {
    // Unpaired surrogates become U+FFFD, which code page 1252 then refuses.
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, nullptr, nullptr);
    return out;
}

HANDLE consoleOf(FILE* stream) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) ? handle : nullptr;
}

#endif

void reportError(const std::string& message) { writeConsoleText(stderr, "kerbo-pack try: " + message + "\n"); }

// The arguments after "try", as UTF-8.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
    std::vector<std::string> arguments;
#ifdef _WIN32
    int wideCount = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wideCount)) {
        const int skipped = wideCount - argc;  // the program and the subcommand name
        if (skipped >= 0) {
            for (int i = 0; i < argc; ++i) arguments.push_back(wideToUtf8(wide[skipped + i], lstrlenW(wide[skipped + i])));
        }
        LocalFree(wide);
        if (static_cast<int>(arguments.size()) == argc) return arguments;
        arguments.clear();
    }
#endif
    for (int i = 0; i < argc; ++i) arguments.push_back(argv[i]);
    return arguments;
}

// Reads one line of standard input without its "\n"; false at the end.
bool readLine(std::string* line) {
    line->clear();
#ifdef _WIN32
    if (HANDLE console = consoleOf(stdin)) {
        std::wstring wide;
        wchar_t buffer[512];
        DWORD got = 0;
        while (ReadConsoleW(console, buffer, 512, &got, nullptr) && got > 0) {
            wide.append(buffer, got);
            if (wide.back() == L'\n') break;
        }
        if (wide.empty() || wide[0] == 0x1A) return false;  // Ctrl+Z at the start of a line ends the input
        if (wide.back() == L'\n') wide.pop_back();
        *line = wideToUtf8(wide.data(), static_cast<int>(wide.size()));
        return true;
    }
#endif
    int c;
    bool any = false;
    while ((c = std::getc(stdin)) != EOF) {
        any = true;
        if (c == '\n') return true;
        line->push_back(static_cast<char>(c));
    }
    return any;
}

// Converts one UTF-8 text to code page 1252, or explains why not. `what`
// names the text in the message.
bool toCp1252(const std::string& utf8, const std::string& what, std::string* out) {
    size_t bad = 0;
    if (utf8ToCp1252(utf8.data(), utf8.size(), out, &bad)) {
        if (out->find('\0') == std::string::npos) return true;
        reportError(what + " holds a zero byte");
        return false;
    }
    uint32_t codePoint = 0;
    size_t used = 0;
    char detail[96];
    if (decodeUtf8(utf8.data() + bad, utf8.size() - bad, &codePoint, &used)) {
        std::snprintf(detail, sizeof detail, " (U+%04X, at byte %zu) is not in code page 1252", codePoint, bad);
        reportError(what + ": the character \"" + utf8.substr(bad, used) + "\"" + detail);
    } else {
        std::snprintf(detail, sizeof detail, " is not valid UTF-8 (byte 0x%02X at offset %zu)",
                      static_cast<unsigned char>(utf8[bad]), bad);
        reportError(what + detail);
    }
    return false;
}

// Judges one pair of UTF-8 texts and prints the verdict.
bool tryPair(const std::string& expected, const std::string& typed, const std::string& where) {
    std::string expected1252;
    std::string typed1252;
    if (!toCp1252(expected, where + "expected answer", &expected1252)) return false;
    if (!toCp1252(typed, where + "typed text", &typed1252)) return false;
    writeConsoleText(stdout, cp1252ToUtf8(computeVerdict(expected1252.c_str(), typed1252.c_str())) + "\n");
    return true;
}

int runBatch() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::string line;
    for (int number = 1; readLine(&line); ++number) {
        if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string where = "line " + std::to_string(number) + ": ";
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            reportError(where + "no tab between the expected answer and the typed text");
            return 1;
        }
        if (!tryPair(line.substr(0, tab), line.substr(tab + 1), where)) return 1;
    }
    return 0;
}

int usage() {
    reportError("usage: kerbo-pack try [--] EXPECTED TYPED\n"
                "       kerbo-pack try --batch < pairs.tsv   (lines EXPECTED<tab>TYPED, UTF-8)");
    return 2;
}

}  // namespace

int runTryCommand(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" line ends everywhere
#endif
    std::vector<std::string> arguments = utf8Arguments(argc, argv);
    if (arguments.size() == 1 && arguments[0] == "--batch") return runBatch();
    if (arguments.size() == 3 && arguments[0] == "--") {
        arguments.erase(arguments.begin());
    } else {
        // Without "--", "--anything" is an option, and the only one is --batch
        // alone ("-5" is a text).
        for (const std::string& a : arguments) {
            if (a.compare(0, 2, "--") == 0) return usage();
        }
    }
    if (arguments.size() != 2) return usage();
    return tryPair(arguments[0], arguments[1], "") ? 0 : 1;
}
