// Placeholder until the loader is built.
#include "package/package_loader.h"

void loadQuizPackage(QuizDocument*, const ResourceStore&, PackageLoadReport* report) {
    if (report) *report = PackageLoadReport{};
}
