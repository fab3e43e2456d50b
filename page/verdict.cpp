#include "page/verdict.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

const char kVerdictUnanswered[] = "?";
const char kVerdictBravo[] = "BRAVO";
const char kVerdictFaux[] = "FAUX";
const char kVerdictAnagramme[] = "Anagramme";
const char kVerdictQuasiment[] = "Quasiment";
const char kVerdictPresque[] = "Presque";
const char kVerdictTropCourt[] = "Trop court";
const char kVerdictPasLoin[] = "Pas loin";
const char kVerdictTropLong[] = "Trop long";
const char kVerdictIdee[] = "y a de l'id\xE9" "e";

namespace {

constexpr int kWordBits = 64;
constexpr int kMaxWords = (kMaxAnswerLength + kWordBits - 1) / kWordBits;  // 5

char foldAsciiLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int clampLength(int length) {
    if (length < 0) return 0;
    return length > kMaxAnswerLength ? kMaxAnswerLength : length;
}

// Myers' bit-vector algorithm in Hyyrö's block form. Column j of the
// distance table is kept as vertical deltas D[i][j] - D[i-1][j] in the bit
// vectors vp (delta +1) and vn (delta -1), one bit per byte of the pattern,
// 64 rows per word; each byte of the text advances all words by one column,
// the horizontal delta at the bottom of a word carrying into the next one.
// The score follows the bottom row: D[m][j]. Needs 1 <= m <= kMaxAnswerLength.
int bitParallelDistance(const unsigned char* pattern, int m, const unsigned char* text, int n) {
    const int words = (m + kWordBits - 1) / kWordBits;
    uint64_t match[kMaxWords][256];  // match[w][c]: rows of word w where the pattern holds c
    for (int w = 0; w < words; ++w) std::memset(match[w], 0, sizeof match[w]);
    for (int i = 0; i < m; ++i) match[i / kWordBits][pattern[i]] |= uint64_t{1} << (i % kWordBits);

    uint64_t vp[kMaxWords];
    uint64_t vn[kMaxWords];
    for (int w = 0; w < words; ++w) vp[w] = ~uint64_t{0}, vn[w] = 0;  // column 0: D[i][0] = i
    const uint64_t lastRow = uint64_t{1} << ((m - 1) % kWordBits);

    int score = m;
    for (int j = 0; j < n; ++j) {
        uint64_t hpIn = 1;  // row 0: D[0][j] = j, a horizontal delta of +1
        uint64_t hnIn = 0;
        for (int w = 0; w < words; ++w) {
            const uint64_t x = match[w][text[j]] | hnIn;
            const uint64_t d0 = (((x & vp[w]) + vp[w]) ^ vp[w]) | x | vn[w];
            uint64_t hp = vn[w] | ~(d0 | vp[w]);
            uint64_t hn = d0 & vp[w];
            const uint64_t top = (w + 1 < words) ? uint64_t{1} << (kWordBits - 1) : lastRow;
            const uint64_t hpOut = (hp & top) ? 1 : 0;
            const uint64_t hnOut = (hn & top) ? 1 : 0;
            hp = (hp << 1) | hpIn;
            hn = (hn << 1) | hnIn;
            vp[w] = hn | ~(d0 | hp);
            vn[w] = hp & d0;
            hpIn = hpOut;
            hnIn = hnOut;
        }
        score += static_cast<int>(hpIn) - static_cast<int>(hnIn);
    }
    return score;
}

}  // namespace

void normalizeAnswer(const char* text, NormalizedAnswer* out) {
    int start = 0;
    while (start < kMaxAnswerLength && text[start] == ' ') ++start;
    int length = 0;
    for (int i = start; i < kMaxAnswerLength && text[i] != '\0'; ++i) out->text[length++] = foldAsciiLetter(text[i]);
    while (length > 0 && out->text[length - 1] == ' ') --length;
    out->text[length] = '\0';
    out->length = length;
}

int editDistance(const char* a, int lengthA, const char* b, int lengthB) {
    lengthA = clampLength(lengthA);
    lengthB = clampLength(lengthB);
    // A common prefix or suffix never changes the distance.
    while (lengthA > 0 && lengthB > 0 && *a == *b) ++a, ++b, --lengthA, --lengthB;
    while (lengthA > 0 && lengthB > 0 && a[lengthA - 1] == b[lengthB - 1]) --lengthA, --lengthB;
    if (lengthA == 0) return lengthB;
    if (lengthB == 0) return lengthA;
    // The shorter text is the pattern: fewer words per column.
    if (lengthA > lengthB) {
        const char* t = a;
        a = b, b = t;
        const int l = lengthA;
        lengthA = lengthB, lengthB = l;
    }
    return bitParallelDistance(reinterpret_cast<const unsigned char*>(a), lengthA,
                               reinterpret_cast<const unsigned char*>(b), lengthB);
}

int editDistanceFullTable(const char* a, int lengthA, const char* b, int lengthB) {
    static uint32_t table[kTextCapacity][kTextCapacity];
    lengthA = clampLength(lengthA);
    lengthB = clampLength(lengthB);
    for (int i = 0; i <= lengthA; ++i) table[i][0] = static_cast<uint32_t>(i);
    for (int j = 0; j <= lengthB; ++j) table[0][j] = static_cast<uint32_t>(j);
    for (int i = 1; i <= lengthA; ++i) {
        for (int j = 1; j <= lengthB; ++j) {
            uint32_t best = table[i - 1][j - 1] + (a[i - 1] != b[j - 1] ? 1 : 0);
            if (table[i - 1][j] + 1 < best) best = table[i - 1][j] + 1;
            if (table[i][j - 1] + 1 < best) best = table[i][j - 1] + 1;
            table[i][j] = best;
        }
    }
    return static_cast<int>(table[lengthA][lengthB]);
}

bool isAnagram(const char* a, int lengthA, const char* b, int lengthB) {
    lengthA = clampLength(lengthA);
    lengthB = clampLength(lengthB);
    if (lengthA != lengthB) return false;
    int balance[256] = {};
    for (int i = 0; i < lengthA; ++i) {
        ++balance[static_cast<unsigned char>(a[i])];
        --balance[static_cast<unsigned char>(b[i])];
    }
    for (int count : balance) {
        if (count != 0) return false;
    }
    return true;
}

int containmentScan(const char* expected, int expectedLength, const char* typed, int typedLength) {
    expectedLength = clampLength(expectedLength);
    typedLength = clampLength(typedLength);
    // A is looked for inside B.
    const bool typedShorter = typedLength < expectedLength;
    const char* needle = typedShorter ? typed : expected;
    const char* haystack = typedShorter ? expected : typed;
    const int la = typedShorter ? typedLength : expectedLength;
    const int lb = typedShorter ? expectedLength : typedLength;
    const int sign = typedShorter ? -1 : 1;

    int result = la == 0 ? 2 : 1;
    int i = 0;
    int j = 0;
    while (result == 1) {
        while (j < lb && haystack[j] != needle[0]) ++j;
        if (j >= lb) {
            result = 0;
            break;
        }
        i = 0;
        while (i < la && j < lb && needle[i] == haystack[j]) ++i, ++j;
        if (i == la) result = 2;
        // Otherwise scan on from j, where the partial match broke off.
    }
    return result * sign;
}

const char* computeVerdict(const char* expected, const char* typed, bool* exactLongAnswer) {
    if (exactLongAnswer) *exactLongAnswer = false;
    NormalizedAnswer e;
    NormalizedAnswer t;
    normalizeAnswer(expected, &e);
    normalizeAnswer(typed, &t);

    if (t.length == 0) return kVerdictUnanswered;
    if (e.length <= 3) return std::strcmp(e.text, t.text) == 0 ? kVerdictBravo : kVerdictFaux;

    const int d = editDistance(e.text, e.length, t.text, t.length);
    if (d == 0) {
        if (exactLongAnswer) *exactLongAnswer = true;
        return kVerdictBravo;
    }
    if (isAnagram(e.text, e.length, t.text, t.length)) return kVerdictAnagramme;
    if (d == 1) return kVerdictQuasiment;
    if (d == 2) return kVerdictPresque;

    // The thresholds are strict: exactly 70 %, 50 % or 80 % is not above.
    switch (containmentScan(e.text, e.length, t.text, t.length)) {
    case -2:
        if (e.length > 9 && 100 * t.length > 70 * e.length) return kVerdictTropCourt;
        if (e.length > 9 && 100 * t.length > 50 * e.length) return kVerdictPasLoin;
        return kVerdictFaux;
    case 2:
        return kVerdictTropLong;
    default: {
        const int m = e.length < t.length ? e.length : t.length;
        return 100 * (m - d) > 80 * m ? kVerdictIdee : kVerdictFaux;
    }
    }
}

bool equalFoldingAsciiLetters(const char* a, const char* b) {
    for (int i = 0; i < kMaxAnswerLength; ++i) {
        if (foldAsciiLetter(a[i]) != foldAsciiLetter(b[i])) return false;
        if (a[i] == '\0') return true;
    }
    return true;
}

int countWords(const char* text) {
    int count = 1;
    for (int i = 0; i < kMaxAnswerLength && text[i] != '\0'; ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\'' || c == '-') {
            ++count;
        } else if (c == '!') {
            if (text[i + 1] == '\0') break;
            ++i;  // the byte after it is not examined
        }
    }
    return count;
}

void wordCountHint(const char* text, char* out, size_t capacity) {
    const int count = countWords(text);
    if (capacity == 0) return;
    std::snprintf(out, capacity, "en %d mot%s", count, count == 1 ? "" : "s");
}
