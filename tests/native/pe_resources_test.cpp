// Reading and writing the resources of a PE32+ executable: the store over a
// file in memory, the writer that appends a resource section, the link block
// patch, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "package/pe_resource_store.h"
#include "pe_fixture.h"
#include "tools/kerbo_pack/pe_resources.h"

namespace {

std::string resourceText(const ResourceStore& store, const char* type, int id) {
    ResourceBytes r = store.find(type, id);
    if (!r.found) return "<missing>";
    return std::string(reinterpret_cast<const char*>(r.bytes), r.size);
}

uint32_t size32(const std::vector<unsigned char>& v) { return static_cast<uint32_t>(v.size()); }

uint32_t read32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct Visited {
    std::vector<std::string> keys;  // "TYPE/id/language" in tree order
};

std::string nameText(const PeResourceName& name) {
    if (!name.length) return "#" + std::to_string(name.id);
    std::string text;
    for (int i = 0; i < name.length; ++i) text += static_cast<char>(name.text[i]);
    return text;
}

bool visitKey(const PeResourceLeaf& leaf, void* context) {
    static_cast<Visited*>(context)->keys.push_back(nameText(leaf.type) + "/" + nameText(leaf.name) + "/" +
                                                   std::to_string(leaf.language));
    return true;
}

std::vector<std::string> treeOrder(const std::vector<unsigned char>& file) {
    PeImage image;
    EXPECT_EQ(parsePeImage(file.data(), size32(file), &image), PeOk);
    Visited visited;
    EXPECT_EQ(peVisitResources(image, visitKey, &visited), PeOk);
    return visited.keys;
}

TEST(PeResourceStore, FindsResourcesByTypeAndIdPreferringTheNeutralLanguage) {
    std::vector<unsigned char> file = fixture::makeExecutable();
    PeResourceStore store(file.data(), size32(file));
    ASSERT_EQ(store.error(), PeOk);
    EXPECT_EQ(resourceText(store, "PATCH", 104), "neutral");
    EXPECT_EQ(resourceText(store, "patch", 104), "neutral");  // names compare without case, as on Windows
    EXPECT_EQ(resourceText(store, "#5", 1001), "dialog");
    EXPECT_EQ(resourceText(store, "PATCH", 105), "<missing>");
    EXPECT_EQ(resourceText(store, "IMG", 104), "<missing>");
    EXPECT_EQ(resourceText(store, "#10", 104), "<missing>");
    ASSERT_TRUE(store.hasLinkBlock());
    EXPECT_EQ(std::memcmp(store.linkBlock(), linkBlockData.block, kLinkBlockSize), 0);
}

TEST(PeResourceStore, ExecutableWithoutResourcesOrLinkBlock) {
    std::vector<unsigned char> file = fixture::makeExecutable(false, false);
    PeResourceStore store(file.data(), size32(file));
    ASSERT_EQ(store.error(), PeOk);
    EXPECT_EQ(resourceText(store, "PATCH", 104), "<missing>");
    EXPECT_FALSE(store.hasLinkBlock());
    const unsigned char zeros[kLinkBlockSize] = {};
    EXPECT_EQ(std::memcmp(store.linkBlock(), zeros, kLinkBlockSize), 0);
}

TEST(PeResourceWriter, AddsAndReplacesResourcesInANewSectionKeepingTheOthers) {
    std::vector<unsigned char> player = fixture::makeExecutable();
    const unsigned char questions[] = "questions", picture[] = "jpeg", png[] = "png", swapped[] = "swapped";
    NewResource added[] = {
        {"PATCH", 104, questions, 9},
        {"IMG", 401, picture, 4},
        {"#10", 402, png, 3},
        {"IMG", 10401, swapped, 7},
        {"PATCH", 105, nullptr, 0},
    };
    std::vector<unsigned char> out;
    ASSERT_EQ(addResources(player.data(), size32(player), added, 5, &out, nullptr), PeWriteOk);

    PeResourceStore store(out.data(), size32(out));
    ASSERT_EQ(store.error(), PeOk);
    EXPECT_EQ(resourceText(store, "PATCH", 104), "questions");  // both old languages replaced
    EXPECT_EQ(resourceText(store, "IMG", 401), "jpeg");
    EXPECT_EQ(resourceText(store, "#10", 402), "png");
    EXPECT_EQ(resourceText(store, "IMG", 10401), "swapped");
    EXPECT_EQ(resourceText(store, "PATCH", 105), "");
    EXPECT_TRUE(store.find("PATCH", 105).found);
    EXPECT_EQ(resourceText(store, "#5", 1001), "dialog");  // kept, with its language
    EXPECT_TRUE(store.hasLinkBlock());

    // Windows searches directories by binary search: string names first in
    // order, then ids ascending; new resources are language neutral.
    std::vector<std::string> expected = {"IMG/#401/0",   "IMG/#10401/0", "PATCH/#104/0",
                                         "PATCH/#105/0", "#5/#1001/1033", "#10/#402/0"};
    EXPECT_EQ(treeOrder(out), expected);

    // The headers: one more section, appended after the old ones and aligned;
    // the resource directory points at it; the old .rsrc stays listed.
    PeImage before, after;
    ASSERT_EQ(parsePeImage(player.data(), size32(player), &before), PeOk);
    ASSERT_EQ(parsePeImage(out.data(), size32(out), &after), PeOk);
    ASSERT_EQ(after.sectionCount, before.sectionCount + 1);
    PeSection last, rsrc;
    ASSERT_TRUE(peSection(after, after.sectionCount - 1, &last));
    ASSERT_TRUE(peSection(after, 2, &rsrc));
    EXPECT_STREQ(rsrc.name, ".rsrc");
    EXPECT_EQ(last.virtualAddress, 0x4000u);
    EXPECT_EQ(last.rawOffset % fixture::kFileAlignment, 0u);
    EXPECT_GE(last.rawOffset, player.size());
    EXPECT_EQ(after.resourceRva, last.virtualAddress);
    EXPECT_EQ(after.resourceSize, last.virtualSize);
    EXPECT_EQ(after.sizeOfImage, 0x5000u);
    EXPECT_EQ(out.size(), size_t(last.rawOffset) + last.rawSize);
    // Everything before the new section header and section data is unchanged
    // but for the header fields.
    EXPECT_EQ(std::memcmp(out.data() + fixture::kTextRaw, player.data() + fixture::kTextRaw,
                          player.size() - fixture::kTextRaw),
              0);
}

TEST(PeResourceWriter, WritesOverAQuizAlreadyWritten) {
    std::vector<unsigned char> player = fixture::makeExecutable(false);
    const unsigned char first[] = "first", second[] = "second";
    NewResource one = {"PATCH", 104, first, 5};
    NewResource two[] = {{"PATCH", 104, second, 6}, {"IMG", 401, first, 5}};
    std::vector<unsigned char> once, twice;
    ASSERT_EQ(addResources(player.data(), size32(player), &one, 1, &once, nullptr), PeWriteOk);
    ASSERT_EQ(addResources(once.data(), size32(once), two, 2, &twice, nullptr), PeWriteOk);
    PeResourceStore store(twice.data(), size32(twice));
    EXPECT_EQ(resourceText(store, "PATCH", 104), "second");
    EXPECT_EQ(resourceText(store, "IMG", 401), "first");
    EXPECT_EQ(treeOrder(twice).size(), 2u);
}

TEST(PeResourceWriter, RefusesWhatItCannotWrite) {
    std::vector<unsigned char> player = fixture::makeExecutable();
    const unsigned char byte = 0;
    std::vector<unsigned char> out;
    NewResource badId = {"IMG", 0, &byte, 1};
    EXPECT_EQ(addResources(player.data(), size32(player), &badId, 1, &out, nullptr), PeWriteBadResource);
    NewResource bigId = {"IMG", 70000, &byte, 1};
    EXPECT_EQ(addResources(player.data(), size32(player), &bigId, 1, &out, nullptr), PeWriteBadResource);
    EXPECT_TRUE(out.empty());

    std::vector<unsigned char> cramped = player;  // headers end right after the section table
    fixture::put32(cramped, fixture::kPeOffset + 24 + 60, fixture::kSectionTable + 3 * 40);
    EXPECT_EQ(addResources(cramped.data(), size32(cramped), nullptr, 0, &out, nullptr), PeWriteNoRoomForSection);

    std::vector<unsigned char> text(600, 'x');
    PeError why = PeOk;
    EXPECT_EQ(addResources(text.data(), size32(text), nullptr, 0, &out, &why), PeWriteUnreadable);
    EXPECT_EQ(why, PeNoDosSignature);
    EXPECT_TRUE(out.empty());
}

// Alignments outside the PE format's limits: 2^30 for both once made a 2 GiB
// file, or a failed allocation.
TEST(PeResourceWriter, RefusesAlignmentsOutsideTheFormat) {
    struct Case {
        uint32_t file, section;
        PeWriteError expected;
    };
    const Case cases[] = {
        {0x200, 0x1000, PeWriteOk},         {0x10000, 0x10000, PeWriteOk},
        {1u << 30, 1u << 30, PeWriteBadAlignment}, {0x20000, 0x20000, PeWriteBadAlignment},
        {0x100, 0x1000, PeWriteBadAlignment},   {0x300, 0x1000, PeWriteBadAlignment},
        {0x400, 0x200, PeWriteBadAlignment},    {0x200, 0x1800, PeWriteBadAlignment},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> player = fixture::makeExecutable();
        fixture::put32(player, fixture::kPeOffset + 24 + 36, c.file);
        fixture::put32(player, fixture::kPeOffset + 24 + 32, c.section);
        std::vector<unsigned char> out;
        EXPECT_EQ(addResources(player.data(), size32(player), nullptr, 0, &out, nullptr), c.expected)
            << std::hex << c.file << " " << c.section;
        EXPECT_LE(out.size(), player.size() + 0x20000);
    }
}

// The new section header goes only over zero bytes inside the file: a file
// that ended at its section table once got the header written over the start
// of the new resource tree.
TEST(PeResourceWriter, WritesTheNewSectionHeaderOnlyOverFreeBytes) {
    const uint32_t tableEnd = fixture::kSectionTable + 3 * 40;
    std::vector<unsigned char> out;

    std::vector<unsigned char> cut = fixture::makeExecutable();
    cut.resize(tableEnd);  // the sections' data lies past the end; the new tree would start here
    fixture::put32(cut, fixture::kPeOffset + 24 + 112 + 8 * 2, 0);  // and there is no resource tree
    NewResource quiz = {"PATCH", 104, reinterpret_cast<const unsigned char*>("quiz"), 4};
    EXPECT_EQ(addResources(cut.data(), size32(cut), &quiz, 1, &out, nullptr), PeWriteNoRoomForSection);
    EXPECT_TRUE(out.empty());
    cut.resize(tableEnd + 40);
    ASSERT_EQ(addResources(cut.data(), size32(cut), &quiz, 1, &out, nullptr), PeWriteOk);
    PeResourceStore store(out.data(), size32(out));
    EXPECT_EQ(resourceText(store, "PATCH", 104), "quiz");

    std::vector<unsigned char> used = fixture::makeExecutable();
    used[tableEnd + 39] = 0xCC;
    EXPECT_EQ(addResources(used.data(), size32(used), nullptr, 0, &out, nullptr), PeWriteNoRoomForSection);
}

// A file with no section and no SizeOfImage: the new section goes after the
// headers, not at address 0 (which reads as no resource tree at all).
TEST(PeResourceWriter, PlacesTheNewSectionAfterTheHeaders) {
    std::vector<unsigned char> bare = fixture::makeExecutable(false, false);
    fixture::put16(bare, fixture::kPeOffset + 4 + 2, 0);   // no sections
    fixture::put32(bare, fixture::kPeOffset + 24 + 56, 0);  // SizeOfImage
    std::fill(bare.begin() + fixture::kSectionTable, bare.begin() + fixture::kSectionTable + 80, 0);
    NewResource quiz = {"PATCH", 104, reinterpret_cast<const unsigned char*>("quiz"), 4};
    std::vector<unsigned char> out;
    ASSERT_EQ(addResources(bare.data(), size32(bare), &quiz, 1, &out, nullptr), PeWriteOk);
    PeResourceStore store(out.data(), size32(out));
    EXPECT_EQ(resourceText(store, "PATCH", 104), "quiz");
    EXPECT_EQ(read32(out, fixture::kSectionTable + 12), uint32_t(fixture::kSectionAlignment));
}

TEST(PeResourceWriter, WritesTheLinkBlockAfterItsMarker) {
    std::vector<unsigned char> file = fixture::makeExecutable();
    unsigned char block[kLinkBlockSize];
    for (int i = 0; i < kLinkBlockSize; ++i) block[i] = static_cast<unsigned char>(i + 1);
    ASSERT_EQ(writeLinkBlock(&file, block), PeWriteOk);
    EXPECT_EQ(std::memcmp(&file[fixture::kLinkMarkerAt + kLinkMarkerSize], block, kLinkBlockSize), 0);
    PeResourceStore store(file.data(), size32(file));
    EXPECT_EQ(std::memcmp(store.linkBlock(), block, kLinkBlockSize), 0);

    std::vector<unsigned char> bare = fixture::makeExecutable(true, false);
    EXPECT_EQ(writeLinkBlock(&bare, block), PeWriteNoLinkBlock);
}

TEST(PeResourceWriter, ChecksumIsTheSumOfTheFileWords) {
    std::vector<unsigned char> player = fixture::makeExecutable();
    std::vector<unsigned char> out;
    ASSERT_EQ(addResources(player.data(), size32(player), nullptr, 0, &out, nullptr), PeWriteOk);
    size_t at = fixture::kPeOffset + 24 + 64;
    uint32_t stored = read32(out, at);
    out[at] = out[at + 1] = out[at + 2] = out[at + 3] = 0;
    uint64_t sum = 0;
    for (size_t i = 0; i < out.size(); i += 2) sum += out[i] | out[i + 1] << 8;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    EXPECT_EQ(stored, sum + out.size());
}

// Damaged files: every prefix of the fixture, and trees whose offsets point
// anywhere, must give an error or a missing resource, never a read outside
// the buffer (the sanitizer build checks that).
TEST(PeResourceStore, DamagedFilesStayInsideTheirBuffer) {
    std::vector<unsigned char> whole = fixture::makeExecutable();
    for (size_t length = 0; length <= whole.size(); ++length) {
        std::vector<unsigned char> cut(whole.begin(), whole.begin() + length);
        PeResourceStore store(cut.data(), static_cast<uint32_t>(cut.size()));
        ResourceBytes r = store.find("PATCH", 104);
        if (r.bytes) {
            EXPECT_LE(r.bytes + r.size, cut.data() + cut.size());
        }
        std::vector<unsigned char> out;
        addResources(cut.data(), static_cast<uint32_t>(cut.size()), nullptr, 0, &out, nullptr);
    }

    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        std::vector<unsigned char> file = whole;
        for (int k = 0; k < 4; ++k) {
            size_t at = fixture::kRsrcRaw + random() % (fixture::kData + 24);
            file[at] = static_cast<unsigned char>(random());
        }
        PeResourceStore store(file.data(), size32(file));
        ResourceBytes r = store.find("PATCH", 104);
        if (r.bytes) {
            EXPECT_LE(r.bytes + r.size, file.data() + file.size());
        }
        std::vector<unsigned char> out;
        if (addResources(file.data(), size32(file), nullptr, 0, &out, nullptr) == PeWriteOk) {
            PeResourceStore again(out.data(), size32(out));
            EXPECT_EQ(again.error(), PeOk);
        }
    }
}

TEST(PeResourceStore, ResourceTreeErrors) {
    struct Case {
        const char* what;
        uint32_t offset;  // inside the tree
        uint32_t value;
        PeError expected;
    };
    const uint32_t dir = 0x80000000u;
    const Case cases[] = {
        {"subdirectory past the end", fixture::kRoot + 16 + 4, dir | 0x7FFFFFF0u, PeBadResourceTree},
        {"root entry pointing back at the root", fixture::kRoot + 16 + 4, dir | fixture::kRoot, PeBadResourceTree},
        {"leaf where a directory belongs", fixture::kRoot + 16 + 4, fixture::kDataEntries, PeBadResourceTree},
        {"name string past the end", fixture::kRoot + 16, dir | 0x7FFFFFF0u, PeBadResourceTree},
        {"name string too long", fixture::kPatchName, 200, PeNameTooLong},
        // Two types sharing one directory: a tree of such shared levels once
        // took seconds a lookup for a file of 258 KB.
        {"two entries sharing a directory", fixture::kRoot + 16 + 8 + 4, dir | fixture::kPatchTypes,
         PeBadResourceTree},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> file = fixture::makeExecutable();
        if (c.offset == fixture::kPatchName) {
            fixture::put16(file, fixture::kRsrcRaw + c.offset, c.value);
        } else {
            fixture::put32(file, fixture::kRsrcRaw + c.offset, c.value);
        }
        PeImage image;
        ASSERT_EQ(parsePeImage(file.data(), size32(file), &image), PeOk);
        Visited visited;
        EXPECT_EQ(peVisitResources(image, visitKey, &visited), c.expected) << c.what;
    }
}

}  // namespace
