// The fonts the player draws its texts in and the places it gives them, for
// `kerbo-pack check` to tell the author how much of a text shows.
//
// The widths are the advance widths of code page 1252 characters 0x20-0xFF
// in the player's fonts, and the places the client widths of its controls,
// both measured once under Wine with Wine's Tahoma (the fonts of the test
// prefix), by tests/windows/text_widths_test.cpp: it makes the player's own
// header bar and page controls, reads their fonts and client rectangles,
// and compares GetCharWidth32A and the fonts' heights with this table. To
// measure again (another system or font set), run that test: on a
// difference it prints the whole table in source form, to paste into
// text_widths_table.cpp. On Windows itself the default faces differ, so the
// figures are "about": the warnings say so.
#pragma once

#include <string>

enum TextFont { FontGui, FontTitle, FontLink, FontAnswer, kTextFontCount };

struct TextFontWidths {
    const char* name;  // "DEFAULT_GUI_FONT", ...
    int height;        // tmHeight: the height of one line
    unsigned char widths[224];  // of characters 0x20-0xFF
};
extern const TextFontWidths kTextFontWidths[kTextFontCount];

// Where a text of the description is shown.
struct TextPlace {
    const char* key;   // as the description spells it
    TextFont font;
    int width;         // pixels of one line
    int height;        // pixels: the lines are height / the font's height (at least 1)
    bool wraps;        // words wrap onto the next line (static text), else one line
};
// code, title, author, link, explanation, footer, first-answer-label,
// second-answer-label, clue, prompt.
extern const TextPlace kTextPlaces[];
extern const int kTextPlaceCount;
const TextPlace* findTextPlace(const char* key);

// Pixels of a code page 1252 text in a font (the sum of advance widths).
int textWidth(TextFont font, const std::string& cp1252);

// How many characters of the text show in the place: words wrap as a static
// control wraps them (at spaces; a word longer than a line shows what fits
// of it); the lines below the last are not shown.
int visibleCharacters(const TextPlace& place, const std::string& cp1252);
