// Reads the quiz package of an executable into the quiz document: the link
// block, the questions resource "PATCH" 104 and the codes resource "PATCH" 105
// (LZW data, each possibly scrambled with the key "Cles du jeu absentes!").
// Problems are reported with showMessage (caption "Kerbo"); loading always
// returns and leaves a usable document.
#pragma once

#include "package/quiz_document.h"
#include "package/resource_store.h"

// How a resource was stored: missing (or not read, because loading stopped
// before it), plain LZW data, scrambled LZW data, or data that decodes
// neither way.
enum ResourceStorage { StorageMissing = 0, StoragePlain = 1, StorageScrambled = 2, StorageUnreadable = 3 };

// What the loader found, for the authoring tool's inspect command.
struct PackageLoadReport {
    ResourceStorage questions;
    ResourceStorage codes;
    bool builtInQuiz;       // resource 104 was missing: the built-in test quiz was used
    bool linkBlockDecoded;  // false: nothing else was read
};

void loadQuizPackage(QuizDocument* document, const ResourceStore& store, PackageLoadReport* report);
