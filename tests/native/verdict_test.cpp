#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "page/verdict.h"

namespace {

struct VerdictCase {
    const char* expected;
    const char* typed;
    const char* verdict;
    const char* why;
};

// Expected / typed / verdict, in the order the tests of computeVerdict run.
const VerdictCase kVerdictCases[] = {
    // Nothing typed.
    {"Paris", "", "?", "empty"},
    {"Oui", "   ", "?", "spaces only"},
    {"", "", "?", "both empty"},
    // Expected answers of up to 3 characters: exact or wrong, never a hint.
    {"Oui", "ouI", "BRAVO", "short, letters folded"},
    {" Oui ", "oui", "BRAVO", "expected trimmed too"},
    {"Oui", "Ouii", "FAUX", "short: no Quasiment"},
    {"Un", "nU", "FAUX", "short: no Anagramme"},
    {"", "x", "FAUX", "empty expected"},
    // Right.
    {"Paris", "  paris  ", "BRAVO", "spaces trimmed, letters folded"},
    {"Saint-\xC9tienne", "saint-\xC9TIENNE", "BRAVO", "1252 capitals compared as they are"},
    // Anagram comes before distance 2.
    {"Paris", "Parsi", "Anagramme", "distance 2, same letters"},
    {"Roma", "amor", "Anagramme", "folded, then reordered"},
    {"Ab cd", "abc d", "Anagramme", "spaces count as letters"},
    // One and two edits; distance 1 comes before the containment scan.
    {"Paris", "Pari", "Quasiment", "contained, but one edit away"},
    {"Paris", "PARIS!", "Quasiment", "one insertion"},
    {"\xC9lan", "\xE9lan", "Quasiment", "0xC9 and 0xE9 stay different"},
    {"Caf\xE9", "CAF\xC9", "Quasiment", "accents never folded"},
    {"Paris", "\tParis", "Quasiment", "a tab is not trimmed"},
    {"Paris", "Paris\xA0", "Quasiment", "a no-break space is not trimmed"},
    {"Paris", "Paris X", "Presque", "two edits before Trop long"},
    // The typed text inside a long expected answer: strictly above 70 % / 50 %.
    {"Napoleon Bonaparte", "Napoleon Bonap", "Trop court", "14 of 18, 77.8 %"},
    {"Napoleon Bonaparte", "N Bonaparte", "Pas loin", "11 of 18, 61.1 %"},
    {"ABCDEFGHIJ", "ABCDEFG", "Pas loin", "exactly 70 % is not above"},
    {"Napoleon Bonaparte", "Bonaparte", "FAUX", "exactly 50 % is not above"},
    {"ABCDEFGHIJ", "ABCDEF", "Pas loin", "10 characters: long enough"},
    {"ABCDEFGHI", "ABCDEF", "FAUX", "9 characters: too short for hints"},
    {"Bonaparte", "Bona", "FAUX", "9 characters"},
    // The expected answer inside the typed text, whatever the lengths.
    {"Paris", "Parisien", "Trop long", "three more"},
    {"Marseille", "Marseille et Lyon", "Trop long", "eight more"},
    {"Lyon", "Je crois que c'est Lyon, ou Paris", "Trop long", "far more"},
    // Few edits relative to long texts: strictly above 80 %.
    {"Christophe Colomb", "Cristophe Kolomp", "y a de l'id\xE9" "e", "m 16, d 3: 81.25 %"},
    {"Christophe Colomb", "Cristofe Colomb", "FAUX", "m 15, d 3: exactly 80 %"},
    {"Lyon", "Nantes", "FAUX", "nothing alike"},
    // The scan never steps back, so an overlapping partial match hides the
    // occurrence; then only the 80 % test remains.
    {"AAAAAAABZZ", "AAAAAAB", "FAUX", "typed inside expected, missed"},
    {"AAAB", "AAAAB XYZ", "FAUX", "expected inside typed, missed"},
};

class ComputeVerdict : public testing::TestWithParam<VerdictCase> {};

TEST_P(ComputeVerdict, GivesTheVerdict) {
    const VerdictCase& c = GetParam();
    EXPECT_STREQ(computeVerdict(c.expected, c.typed), c.verdict) << c.why;
}

INSTANTIATE_TEST_SUITE_P(Table, ComputeVerdict, testing::ValuesIn(kVerdictCases));

TEST(Verdict, ReturnsTheSharedTexts) {
    EXPECT_EQ(computeVerdict("Paris", "paris"), kVerdictBravo);
    EXPECT_EQ(computeVerdict("Paris", ""), kVerdictUnanswered);
    EXPECT_EQ(computeVerdict("Christophe Colomb", "Cristophe Kolomp"), kVerdictIdee);
    EXPECT_STREQ(kVerdictIdee, "y a de l'id\xE9" "e");
}

// Only a distance-0 BRAVO on an expected answer of 4 or more characters marks
// a question solved at once.
TEST(Verdict, ReportsExactLongAnswer) {
    bool exact = true;
    EXPECT_STREQ(computeVerdict("Paris", " PARIS", &exact), "BRAVO");
    EXPECT_TRUE(exact);
    EXPECT_STREQ(computeVerdict("Oui", "oui", &exact), "BRAVO");
    EXPECT_FALSE(exact);
    exact = true;
    EXPECT_STREQ(computeVerdict("Paris", "Parsi", &exact), "Anagramme");
    EXPECT_FALSE(exact);
}

// The field and the 260-byte buffers hold 259 bytes: the rest is never
// judged, and the cut comes before the spaces are trimmed.
TEST(Verdict, JudgesOnly259Bytes) {
    const std::string a259(259, 'A');
    EXPECT_STREQ(computeVerdict((a259 + "BBBB").c_str(), a259.c_str()), "BRAVO");
    EXPECT_STREQ(computeVerdict(a259.c_str(), (a259 + std::string(300, 'Z')).c_str()), "BRAVO");
    // Three leading spaces push three letters past the cut: 256 of 259 remain.
    EXPECT_STREQ(computeVerdict(a259.c_str(), ("   " + a259).c_str()), "Trop court");

    NormalizedAnswer n;
    normalizeAnswer(("  " + std::string(400, 'x')).c_str(), &n);
    EXPECT_EQ(n.length, 257);
    EXPECT_EQ(std::string(n.text), std::string(257, 'X'));
}

TEST(Verdict, NormalizesOnlySpacesAndAsciiLetters) {
    NormalizedAnswer n;
    normalizeAnswer("  l'\xE9t\xE9 \t z\xFF 1-2  ", &n);
    EXPECT_STREQ(n.text, "L'\xE9T\xE9 \t Z\xFF 1-2");
    EXPECT_EQ(n.length, static_cast<int>(std::strlen(n.text)));
    normalizeAnswer("    ", &n);
    EXPECT_EQ(n.length, 0);
    EXPECT_STREQ(n.text, "");
}

TEST(Verdict, ComparesWholeFieldFoldingOnlyAsciiLetters) {
    EXPECT_TRUE(equalFoldingAsciiLetters("Paris", "pARIS"));
    EXPECT_FALSE(equalFoldingAsciiLetters("Paris", "paris "));
    EXPECT_FALSE(equalFoldingAsciiLetters("\xC9lan", "\xE9lan"));
    EXPECT_FALSE(equalFoldingAsciiLetters("Paris", "Pari"));
    EXPECT_TRUE(equalFoldingAsciiLetters("", ""));
}

TEST(Verdict, ContainmentScanNeverStepsBack) {
    struct Case {
        const char* expected;
        const char* typed;
        int result;
    };
    const Case cases[] = {
        {"NAPOLEON BONAPARTE", "BONAP", -2},
        {"PARIS", "PARISIEN", 2},
        {"PARIS", "PARIS", 2},             // as long: the expected text is looked for
        {"ABXABC", "ABC", -2},             // found after a partial match that broke off before it
        {"AAAAAAABZZ", "AAAAAAB", 0},      // the partial match overlaps the occurrence
        {"AAAB", "AAB", 0},                // the same, one byte of overlap
        {"AAB", "XAAAB", 0},
        {"LYON", "NANTES", 0},
        {"PARIS", "PARI", -2},
        {"PARIS", "", -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(containmentScan(c.expected, static_cast<int>(std::strlen(c.expected)), c.typed,
                                  static_cast<int>(std::strlen(c.typed))),
                  c.result)
            << c.expected << " / " << c.typed;
    }
}

TEST(Verdict, CountsWords) {
    struct Case {
        const char* text;
        int words;
    };
    const Case cases[] = {
        {"", 1},
        {"Paris", 1},
        {"aujourd'hui", 2},
        {"aujourd!'hui", 1},       // the byte after '!' is not examined
        {"Jean-Paul Sartre", 3},
        {"a  b", 3},               // each separator counts
        {" a ", 3},
        {"Oui!", 1},               // '!' as last byte ends the scan
        {"a!!-b", 2},              // the second '!' is skipped, the hyphen counts
        {"!- !'", 2},
        {"l'\xE9t\xE9 indien", 3},
    };
    for (const Case& c : cases) EXPECT_EQ(countWords(c.text), c.words) << c.text;

    char hint[32];
    wordCountHint("Paris", hint, sizeof hint);
    EXPECT_STREQ(hint, "en 1 mot");
    wordCountHint("Jean-Paul Sartre", hint, sizeof hint);
    EXPECT_STREQ(hint, "en 3 mots");
    wordCountHint("Jean-Paul Sartre", hint, 5);
    EXPECT_STREQ(hint, "en 3");
}

// The bit-parallel distance against the plain table, on lengths around the
// 64-bit word boundaries and on small alphabets where many bytes match.
TEST(Verdict, FastDistanceEqualsFullTable) {
    std::mt19937 random(20240611);
    const int lengths[] = {0, 1, 2, 3, 63, 64, 65, 127, 128, 129, 191, 192, 193, 258, 259};
    const int alphabets[] = {1, 2, 3, 26, 256};
    std::string a;
    std::string b;
    auto fill = [&](std::string* s, int length, int alphabet) {
        s->resize(static_cast<size_t>(length));
        for (char& c : *s) c = static_cast<char>('A' + static_cast<int>(random() % static_cast<unsigned>(alphabet)));
    };
    auto check = [&]() {
        const int la = static_cast<int>(a.size());
        const int lb = static_cast<int>(b.size());
        ASSERT_EQ(editDistance(a.data(), la, b.data(), lb), editDistanceFullTable(a.data(), la, b.data(), lb))
            << "lengths " << la << ", " << lb;
    };
    for (int alphabet : alphabets) {
        for (int la : lengths) {
            for (int lb : lengths) {
                fill(&a, la, alphabet);
                fill(&b, lb, alphabet);
                check();
                // A few edits of the same text: small distances, long common runs.
                b = a;
                for (int k = 0; k < 3 && !b.empty(); ++k) b[random() % b.size()] = static_cast<char>(random());
                if (la > 0 && random() % 2) b.erase(random() % b.size(), 1);
                check();
            }
        }
    }
    for (int round = 0; round < 3000; ++round) {
        const int alphabet = alphabets[random() % 5];
        fill(&a, static_cast<int>(random() % 260), alphabet);
        fill(&b, static_cast<int>(random() % 260), alphabet);
        check();
    }
}

TEST(Verdict, DistanceKnownValuesAndBounds) {
    EXPECT_EQ(editDistance("KITTEN", 6, "SITTING", 7), 3);
    EXPECT_EQ(editDistance("", 0, "ABC", 3), 3);
    EXPECT_EQ(editDistance("ABC", 3, "", 0), 3);
    EXPECT_EQ(editDistance("A\0B", 3, "A\0C", 3), 1);  // zero bytes compare like any other
    EXPECT_EQ(editDistance("\xE9", 1, "\xC9", 1), 1);
    // Lengths beyond 259 are cut; negative ones count as 0.
    const std::string x(400, 'X');
    const std::string y = std::string(259, 'X') + "YYY";
    EXPECT_EQ(editDistance(x.data(), 400, y.data(), 262), 0);
    EXPECT_EQ(editDistanceFullTable(x.data(), 400, y.data(), 262), 0);
    EXPECT_EQ(editDistance(x.data(), -5, "AB", 2), 2);
}

// Counting bytes gives the same answer as sorting both texts.
TEST(Verdict, AnagramEqualsSortedComparison) {
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        const int length = static_cast<int>(random() % 12);
        std::string a(static_cast<size_t>(length), ' ');
        for (char& c : a) c = static_cast<char>(random() % 3 == 0 ? 0xE9 : 'A' + random() % 3);
        std::string b = a;
        std::shuffle(b.begin(), b.end(), random);
        if (random() % 2 && !b.empty()) b[random() % b.size()] = static_cast<char>('A' + random() % 3);
        if (random() % 8 == 0) b.push_back('A');
        std::string sortedA = a;
        std::string sortedB = b;
        std::sort(sortedA.begin(), sortedA.end());
        std::sort(sortedB.begin(), sortedB.end());
        EXPECT_EQ(isAnagram(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())),
                  sortedA == sortedB)
            << a << " / " << b;
    }
}

}  // namespace
