// The common slips of an expected answer (code page 1252 text), as a player
// may type them: every letter in lower case, every letter in upper case,
// accents dropped, the last character dropped, two middle characters
// exchanged. Case changes are those of code page 1252: A-Z with a-z, À-Þ
// with à-þ except × and ÷, Š/š, Œ/œ, Ž/ž, Ÿ/ÿ.
#pragma once

#include <string>
#include <vector>

struct AnswerVariant {
    const char* name;  // "lower", "upper", "unaccented", "dropped", "swapped"
    std::string typed;
};

std::string cp1252Lower(const std::string& text);
std::string cp1252Upper(const std::string& text);
// Every accented letter replaced by its letter without accent (é→e, Ç→C,
// œ→oe, æ→ae).
std::string cp1252Unaccented(const std::string& text);

// The five variants in that order; "swapped" only for texts of 2 characters
// or more (positions len/2 - 1 and len/2, counted from 0).
std::vector<AnswerVariant> commonSlips(const std::string& expected);
