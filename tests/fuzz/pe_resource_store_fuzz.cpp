// The store over an executable file in memory: any bytes parse to an error or
// to resources that lie inside the buffer, and the player's loader reads
// whatever they hold without leaving it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "package/package_loader.h"
#include "package/pe_resource_store.h"

namespace {

bool touchLeaf(const PeResourceLeaf& leaf, void* context) {
    const unsigned char* end = static_cast<const unsigned char*>(context);
    if (leaf.bytes && leaf.bytes + leaf.size > end) std::abort();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    // A copy of exactly size bytes, so that any read past it is caught.
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(bytes, data, size);
    PeResourceStore store(bytes, static_cast<uint32_t>(size));
    if (store.error() == PeOk) {
        peVisitResources(store.image(), touchLeaf, bytes + size);
        QuizDocument* document = createQuizDocument();
        if (document) {
            PackageLoadReport report = {};
            loadQuizPackage(document, store, &report);
            destroyQuizDocument(document);
        }
    }
    std::free(bytes);
    return 0;
}
