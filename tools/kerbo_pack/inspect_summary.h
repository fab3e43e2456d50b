// The readable summary `kerbo-pack inspect` prints by default (--json gives
// the machine-readable form): what the player's loader read, by name.
#pragma once

#include <string>

#include "package/package_loader.h"
#include "package/pe_resource_store.h"
#include "package/quiz_document.h"

// "missing", "plain", "scrambled" or "unreadable".
const char* resourceStorageName(ResourceStorage storage);

// message: the text of the message the player would show while loading
// (code page 1252), or null.
std::string quizSummary(const QuizDocument& document, const PackageLoadReport& report, const char* message,
                        const PeResourceStore& store);
