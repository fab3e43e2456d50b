// kerbo-pack's writer on a fuzzed player: adding a small quiz either is
// refused, or gives an executable that parses and whose resource tree holds,
// in order, exactly the player's resources (those of the quiz's type and id
// replaced) and the quiz's, each with the same bytes; writing the link block
// then changes nothing but the block and the checksum.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "package/link_block.h"
#include "package/pe_resource_store.h"
#include "tools/kerbo_pack/pe_resources.h"

namespace {

struct Kept {
    PeResourceName type;
    PeResourceName name;
    uint16_t language;
    std::vector<unsigned char> bytes;
};

bool keep(const PeResourceLeaf& leaf, void* context) {
    Kept kept = {leaf.type, leaf.name, leaf.language, {}};
    if (leaf.bytes) kept.bytes.assign(leaf.bytes, leaf.bytes + leaf.size);
    static_cast<std::vector<Kept>*>(context)->push_back(kept);
    return true;
}

bool before(const Kept& a, const Kept& b) {
    return peLeafBefore(a.type, a.name, a.language, b.type, b.name, b.language);
}

bool same(const Kept& a, const Kept& b) {
    return peSameName(a.type, b.type) && peSameName(a.name, b.name) && a.language == b.language &&
           a.bytes == b.bytes;
}

void check(bool condition) {
    if (!condition) std::abort();
}

const unsigned char kQuestions[] = {'q', 'u', 'e', 's', 't', 'i', 'o', 'n', 's'};
const unsigned char kCodes[] = {'c', 'o', 'd', 'e', 's'};
const unsigned char kPicture[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    std::vector<unsigned char> player(data, data + size);
    const NewResource quiz[] = {
        {"PATCH", 104, kQuestions, sizeof kQuestions},
        {"PATCH", 105, kCodes, sizeof kCodes},
        {"IMG", 401, kPicture, sizeof kPicture},
        {"#10", 402, kPicture, sizeof kPicture},
    };
    const int count = sizeof quiz / sizeof quiz[0];
    std::vector<unsigned char> output;
    PeError parseError = PeOk;
    PeWriteError error =
        addResources(player.data(), static_cast<uint32_t>(player.size()), quiz, count, &output, &parseError);
    if (error != PeWriteOk) {
        check(output.empty());
        return 0;
    }

    // What the tree must hold: the player's leaves without those the quiz
    // replaces, and the quiz's, in tree order.
    PeImage image;
    check(parsePeImage(player.data(), static_cast<uint32_t>(player.size()), &image) == PeOk);
    std::vector<Kept> expected;
    check(peVisitResources(image, keep, &expected) == PeOk);
    for (const NewResource& r : quiz) {
        Kept added = {};
        peNameOfType(r.type, &added.type);
        added.name.id = static_cast<uint16_t>(r.id);
        added.bytes.assign(r.bytes, r.bytes + r.size);
        expected.erase(std::remove_if(expected.begin(), expected.end(),
                                      [&](const Kept& old) {
                                          return peSameName(old.type, added.type) && peSameName(old.name, added.name);
                                      }),
                       expected.end());
        expected.push_back(added);
    }
    std::stable_sort(expected.begin(), expected.end(), before);

    check(output.size() <= 0xFFFFFFFFu);
    PeImage written;
    check(parsePeImage(output.data(), static_cast<uint32_t>(output.size()), &written) == PeOk);
    check(written.sectionCount == image.sectionCount + 1);
    std::vector<Kept> found;
    check(peVisitResources(written, keep, &found) == PeOk);
    check(found.size() == expected.size());
    for (size_t i = 0; i < found.size(); ++i) check(same(found[i], expected[i]));

    PeResourceStore store(output.data(), static_cast<uint32_t>(output.size()));
    ResourceBytes questions = store.find("PATCH", 104);
    check(questions.bytes && questions.size == sizeof kQuestions &&
          std::memcmp(questions.bytes, kQuestions, sizeof kQuestions) == 0);

    // The link block, when the player has one, lands after its marker.
    unsigned char block[kLinkBlockSize];
    for (int i = 0; i < kLinkBlockSize; ++i) block[i] = static_cast<unsigned char>(0xA0 + i);
    if (writeLinkBlock(&output, block) == PeWriteOk) {
        PeResourceStore linked(output.data(), static_cast<uint32_t>(output.size()));
        check(std::memcmp(linked.linkBlock(), block, kLinkBlockSize) == 0);
        found.clear();
        PeImage again;
        check(parsePeImage(output.data(), static_cast<uint32_t>(output.size()), &again) == PeOk);
        check(peVisitResources(again, keep, &found) == PeOk && found.size() == expected.size());
        for (size_t i = 0; i < found.size(); ++i) check(same(found[i], expected[i]));
    }
    return 0;
}
