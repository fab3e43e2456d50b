#include "tools/kerbo_pack/answer_variants.h"

#include <cstring>
#include <utility>

namespace {

// The other case of a code page 1252 byte: (upper, lower) pairs.
bool isUpper(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A || c == 0x8C || c == 0x8E ||
           c == 0x9F;
}
bool isLower(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || c == 0x9A || c == 0x9C || c == 0x9E ||
           c == 0xFF;
}
unsigned char toLower(unsigned char c) {
    if (!isUpper(c)) return c;
    if (c == 0x9F) return 0xFF;
    if (c >= 0x8A && c <= 0x8E) return static_cast<unsigned char>(c + 0x10);
    return static_cast<unsigned char>(c + 0x20);
}
unsigned char toUpper(unsigned char c) {
    if (!isLower(c)) return c;
    if (c == 0xFF) return 0x9F;
    if (c >= 0x9A && c <= 0x9E) return static_cast<unsigned char>(c - 0x10);
    return static_cast<unsigned char>(c - 0x20);
}

std::string mapped(const std::string& text, unsigned char (*map)(unsigned char)) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string cp1252Lower(const std::string& text) { return mapped(text, toLower); }
std::string cp1252Upper(const std::string& text) { return mapped(text, toUpper); }

std::string cp1252Unaccented(const std::string& text) {
    // The base letters of 0xC0-0xFF; '*' keeps the byte (Æ, Ð, ×, Þ, ß and
    // their small forms are handled apart or have no accent to drop).
    static const char kBase[] = "AAAAAA*CEEEEIIII*NOOOOO*OUUUUY**"
                                "aaaaaa*ceeeeiiii*nooooo*ouuuuy*y";
    std::string out;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0xC6) {
            out += "AE";
        } else if (c == 0xE6) {
            out += "ae";
        } else if (c == 0x8C) {
            out += "OE";
        } else if (c == 0x9C) {
            out += "oe";
        } else if (c == 0x8A || c == 0x9A || c == 0x8E || c == 0x9E || c == 0x9F) {
            out += c == 0x8A ? 'S' : c == 0x9A ? 's' : c == 0x8E ? 'Z' : c == 0x9E ? 'z' : 'Y';
        } else if (c >= 0xC0 && kBase[c - 0xC0] != '*') {
            out += kBase[c - 0xC0];
        } else {
            out += ch;
        }
    }
    return out;
}

std::vector<AnswerVariant> commonSlips(const std::string& expected) {
    std::vector<AnswerVariant> slips = {
        {"lower", cp1252Lower(expected)},
        {"upper", cp1252Upper(expected)},
        {"unaccented", cp1252Unaccented(expected)},
        {"dropped", expected.empty() ? expected : expected.substr(0, expected.size() - 1)},
    };
    if (expected.size() >= 2) {
        std::string swapped = expected;
        std::swap(swapped[expected.size() / 2 - 1], swapped[expected.size() / 2]);
        slips.push_back({"swapped", swapped});
    }
    return slips;
}
