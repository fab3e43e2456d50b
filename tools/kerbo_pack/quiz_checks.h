// The checks of `kerbo-pack check`, which `build` runs first: what the
// player would refuse or do otherwise than the author means (errors), and
// what it will show or judge otherwise than the author may think
// (warnings). Every finding goes into a Diagnostics list, on the line of the
// key concerned.
#pragma once

#include <string>
#include <vector>

#include "tools/kerbo_pack/diagnostics.h"
#include "tools/kerbo_pack/quiz_description.h"

// Reads the description file, parses it and runs every check below, media
// included. Returns true when no error was found (warnings allowed).
bool checkQuizFile(const std::string& path, QuizDescription* quiz, Diagnostics* diagnostics);

// The same for a description held in memory whose media paths are relative
// to mediaDirectory (with its trailing separator, or "").
bool checkQuizText(const std::string& text, const std::string& mediaDirectory, QuizDescription* quiz,
                   Diagnostics* diagnostics);

// quiz_checks.cpp: the checks of a parsed description that need no file:
// questions, answer fields, keys the player ignores, the link block.
void checkQuizDescription(const QuizDescription& quiz, Diagnostics* diagnostics);

// quiz_checks.cpp: how the player will judge typed answers of an expected
// answer (code page 1252): letters with case that are not folded,
// typographic characters, spaces, answers too short for hints.
void checkAnswerJudging(const std::string& key, const std::string& answer, int line, Diagnostics* diagnostics);

// text_widths.cpp: texts wider than the place the player gives them.
void checkTextWidths(const QuizDescription& quiz, Diagnostics* diagnostics);

// picture_checks.cpp: every picture and clip of the quiz, read from
// mediaDirectory: whether the player can show or play it.
void checkQuizMedia(const QuizDescription& quiz, const std::string& mediaDirectory, Diagnostics* diagnostics);

// picture_checks.cpp: one picture's bytes. Errors and warnings name key and
// path as written.
void checkPictureBytes(const std::vector<unsigned char>& bytes, const MediaReference& picture, const std::string& key,
                       Diagnostics* diagnostics);
// picture_checks.cpp: one clip's bytes.
void checkClipBytes(const std::vector<unsigned char>& bytes, const MediaReference& clip, Diagnostics* diagnostics);

// The number of characters by which the link and footer must be shortened
// together to fit the link block (0 when they fit).
int linkBlockExcess(const std::string& link, const std::string& footer);
