#include "package/pe_resource_store.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "package/link_block.h"

// ---- Bounded little-endian reads ------------------------------------------

// True when length bytes from offset lie inside size bytes.
static bool fits(uint32_t size, uint64_t offset, uint64_t length) {
    return offset <= size && length <= size - offset;
}

static uint16_t read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

static uint32_t read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// ---- Headers ----------------------------------------------------------------

enum {
    kDosPeOffset = 0x3C,
    kFileHeaderSize = 20,
    kFileSectionCount = 2,
    kFileOptionalSize = 16,
    kPe32PlusMagic = 0x20B,
};

PeError parsePeImage(const unsigned char* bytes, uint32_t size, PeImage* image) {
    std::memset(image, 0, sizeof *image);
    image->bytes = bytes;
    image->size = size;
    if (size < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return PeNoDosSignature;
    if (!fits(size, 0, kDosPeOffset + 4)) return PeTruncated;

    uint32_t pe = read32(bytes + kDosPeOffset);
    if (!fits(size, pe, 4 + kFileHeaderSize)) return PeTruncated;
    if (std::memcmp(bytes + pe, "PE\0\0", 4) != 0) return PeNoPeSignature;
    image->fileHeaderOffset = pe + 4;
    const unsigned char* file = bytes + image->fileHeaderOffset;
    image->sectionCount = read16(file + kFileSectionCount);
    image->optionalHeaderSize = read16(file + kFileOptionalSize);
    image->optionalHeaderOffset = image->fileHeaderOffset + kFileHeaderSize;

    // The fixed part of the PE32+ optional header ends where the data
    // directories begin.
    if (image->optionalHeaderSize < kPeOptDirectories) return PeNotPe32Plus;
    if (!fits(size, image->optionalHeaderOffset, image->optionalHeaderSize)) return PeTruncated;
    const unsigned char* optional = bytes + image->optionalHeaderOffset;
    if (read16(optional) != kPe32PlusMagic) return PeNotPe32Plus;
    image->sectionAlignment = read32(optional + kPeOptSectionAlignment);
    image->fileAlignment = read32(optional + kPeOptFileAlignment);
    image->sizeOfImage = read32(optional + kPeOptSizeOfImage);
    image->sizeOfHeaders = read32(optional + kPeOptSizeOfHeaders);

    // Only the directories that the optional header really holds count.
    uint32_t room = (image->optionalHeaderSize - kPeOptDirectories) / 8;
    uint32_t declared = read32(optional + kPeOptDirectoryCount);
    image->directoryCount = declared < room ? declared : room;
    if (image->directoryCount > kPeResourceDirectory) {
        const unsigned char* entry = optional + kPeOptDirectories + 8 * kPeResourceDirectory;
        image->resourceRva = read32(entry);
        image->resourceSize = read32(entry + 4);
    }

    image->sectionTableOffset = image->optionalHeaderOffset + image->optionalHeaderSize;
    if (image->sectionCount > kPeMaxSections) return PeTruncated;
    if (!fits(size, image->sectionTableOffset, uint64_t(image->sectionCount) * kPeSectionHeaderSize))
        return PeTruncated;
    return PeOk;
}

bool peSection(const PeImage& image, uint32_t index, PeSection* section) {
    if (index >= image.sectionCount) return false;
    const unsigned char* h = image.bytes + image.sectionTableOffset + index * kPeSectionHeaderSize;
    std::memcpy(section->name, h, 8);
    section->name[8] = '\0';
    section->virtualSize = read32(h + 8);
    section->virtualAddress = read32(h + 12);
    section->rawSize = read32(h + 16);
    section->rawOffset = read32(h + 20);
    return true;
}

bool peFileOffset(const PeImage& image, uint32_t rva, uint32_t length, uint32_t* offset) {
    PeSection s;
    for (uint32_t i = 0; peSection(image, i, &s); ++i) {
        if (rva < s.virtualAddress) continue;
        uint64_t inside = uint64_t(rva) - s.virtualAddress;
        if (inside + length > s.rawSize) continue;
        uint64_t at = uint64_t(s.rawOffset) + inside;
        if (!fits(image.size, at, length)) continue;
        *offset = static_cast<uint32_t>(at);
        return true;
    }
    return false;
}

// ---- Names ------------------------------------------------------------------

void peNameOfType(const char* type, PeResourceName* name) {
    std::memset(name, 0, sizeof *name);
    if (type[0] == '#') {
        name->id = static_cast<uint16_t>(std::atoi(type + 1));
        return;
    }
    size_t length = std::strlen(type);
    if (length > kPeMaxNameLength) length = kPeMaxNameLength;
    for (size_t i = 0; i < length; ++i) name->text[i] = static_cast<unsigned char>(type[i]);
    name->length = static_cast<uint16_t>(length);
}

// Windows compares string names without regard to case: the search name is
// upper-cased, and compilers store names upper-cased.
static uint16_t upper(uint16_t unit) { return unit >= 'a' && unit <= 'z' ? unit - 32 : unit; }

int peCompareNames(const PeResourceName& a, const PeResourceName& b) {
    if (a.length && !b.length) return -1;
    if (!a.length && b.length) return 1;
    if (!a.length) return a.id < b.id ? -1 : a.id > b.id ? 1 : 0;
    for (uint16_t i = 0; i < a.length && i < b.length; ++i) {
        uint16_t x = upper(a.text[i]), y = upper(b.text[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.length < b.length ? -1 : a.length > b.length ? 1 : 0;
}

bool peSameName(const PeResourceName& a, const PeResourceName& b) { return peCompareNames(a, b) == 0; }

bool peLeafBefore(const PeResourceName& typeA, const PeResourceName& nameA, uint16_t languageA,
                  const PeResourceName& typeB, const PeResourceName& nameB, uint16_t languageB) {
    int byType = peCompareNames(typeA, typeB);
    if (byType) return byType < 0;
    int byName = peCompareNames(nameA, nameB);
    if (byName) return byName < 0;
    return languageA < languageB;
}

// ---- The resource tree ------------------------------------------------------

enum {
    kDirectoryHeaderSize = 16,
    kDirectoryNamedCount = 12,
    kDirectoryIdCount = 14,
    kDirectoryEntrySize = 8,
    kDataEntrySize = 16,
    kHighBit = 0x80000000u,
};

struct TreeWalk {
    const PeImage* image;
    const unsigned char* tree;  // the first byte of the root directory
    uint32_t treeSize;          // from there to the end of its section's file data
    PeResourceVisitor visit;
    void* context;
    uint32_t leaves;
    bool stopped;
    PeResourceLeaf leaf;
    std::vector<bool> visited;  // by offset: directories already walked
};

static PeError readName(const TreeWalk& walk, uint32_t field, PeResourceName* name) {
    std::memset(name, 0, sizeof *name);
    if (!(field & kHighBit)) {
        name->id = static_cast<uint16_t>(field);
        return PeOk;
    }
    uint32_t at = field & ~kHighBit;
    if (!fits(walk.treeSize, at, 2)) return PeBadResourceTree;
    uint16_t length = read16(walk.tree + at);
    if (length == 0) return PeBadResourceTree;
    if (length > kPeMaxNameLength) return PeNameTooLong;
    if (!fits(walk.treeSize, uint64_t(at) + 2, uint64_t(length) * 2)) return PeBadResourceTree;
    for (uint16_t i = 0; i < length; ++i) name->text[i] = read16(walk.tree + at + 2 + 2 * i);
    name->length = length;
    return PeOk;
}

static PeError visitLeaf(TreeWalk& walk, uint32_t at) {
    if (!fits(walk.treeSize, at, kDataEntrySize)) return PeBadResourceTree;
    if (++walk.leaves > kPeMaxResources) return PeTooManyResources;
    const unsigned char* entry = walk.tree + at;
    PeResourceLeaf& leaf = walk.leaf;
    leaf.dataRva = read32(entry);
    leaf.size = read32(entry + 4);
    leaf.codePage = read32(entry + 8);
    uint32_t offset;
    leaf.bytes = peFileOffset(*walk.image, leaf.dataRva, leaf.size, &offset) ? walk.image->bytes + offset : nullptr;
    if (!walk.visit(leaf, walk.context)) walk.stopped = true;
    return PeOk;
}

// Level 0 lists types, level 1 names, level 2 languages, whose entries point
// at data entries; the depth is fixed, so a tree that points back at itself
// cannot lead the walk round in circles. A directory reached a second time
// (shared by two entries, which no tree writer does) makes the tree damaged:
// so every directory is read once and the work stays in proportion to the
// tree's size, with at most kPeMaxResources leaves.
static PeError visitDirectory(TreeWalk& walk, uint32_t at, int level) {
    if (!fits(walk.treeSize, at, kDirectoryHeaderSize)) return PeBadResourceTree;
    if (walk.visited[at]) return PeBadResourceTree;
    walk.visited[at] = true;
    const unsigned char* header = walk.tree + at;
    uint32_t count = uint32_t(read16(header + kDirectoryNamedCount)) + read16(header + kDirectoryIdCount);
    uint32_t first = at + kDirectoryHeaderSize;
    if (!fits(walk.treeSize, first, uint64_t(count) * kDirectoryEntrySize)) return PeBadResourceTree;

    for (uint32_t i = 0; i < count && !walk.stopped; ++i) {
        const unsigned char* entry = walk.tree + first + i * kDirectoryEntrySize;
        uint32_t nameField = read32(entry);
        uint32_t target = read32(entry + 4);
        PeError error = PeOk;
        if (level == 0) error = readName(walk, nameField, &walk.leaf.type);
        if (level == 1) error = readName(walk, nameField, &walk.leaf.name);
        if (level == 2) walk.leaf.language = static_cast<uint16_t>(nameField);
        if (error != PeOk) return error;

        bool isDirectory = (target & kHighBit) != 0;
        if (isDirectory != (level < 2)) return PeBadResourceTree;
        error = isDirectory ? visitDirectory(walk, target & ~kHighBit, level + 1) : visitLeaf(walk, target);
        if (error != PeOk) return error;
    }
    return PeOk;
}

PeError peVisitResources(const PeImage& image, PeResourceVisitor visit, void* context) {
    if (image.resourceRva == 0) return PeOk;
    uint32_t offset;
    if (!peFileOffset(image, image.resourceRva, kDirectoryHeaderSize, &offset)) return PeResourceOutsideFile;

    // The tree may run to the end of its section's file data.
    uint32_t end = offset;
    PeSection s;
    for (uint32_t i = 0; peSection(image, i, &s); ++i) {
        uint64_t rawEnd = uint64_t(s.rawOffset) + s.rawSize;
        if (offset >= s.rawOffset && offset < rawEnd) end = static_cast<uint32_t>(rawEnd < image.size ? rawEnd : image.size);
    }

    TreeWalk walk = {};
    walk.image = &image;
    walk.tree = image.bytes + offset;
    walk.treeSize = end - offset;
    walk.visit = visit;
    walk.context = context;
    walk.visited.assign(walk.treeSize, false);
    return visitDirectory(walk, 0, 0);
}

// ---- The link block -----------------------------------------------------------

const unsigned char* peFindLinkBlock(const PeImage& image, uint32_t* offset) {
    const uint32_t needed = kLinkMarkerSize + kLinkBlockSize;
    PeSection s;
    for (uint32_t i = 0; peSection(image, i, &s); ++i) {
        if (!fits(image.size, s.rawOffset, s.rawSize) || s.rawSize < needed) continue;
        const unsigned char* data = image.bytes + s.rawOffset;
        for (uint32_t at = 0; at + needed <= s.rawSize; ++at) {
            if (data[at] == 'K' && std::memcmp(data + at, KERBO_LINK_MARKER, kLinkMarkerSize) == 0) {
                *offset = s.rawOffset + at + kLinkMarkerSize;
                return image.bytes + *offset;
            }
        }
    }
    return nullptr;
}

// ---- The store ------------------------------------------------------------------

// The leaves with an integer name, kept once when the store is made so that
// a lookup does not walk the tree again; a damaged tree keeps the leaves read
// before the damage.
static bool keepLeaf(const PeResourceLeaf& leaf, void* context) {
    if (leaf.name.length) return true;
    PeResourceStore::Leaf kept = {leaf.type, leaf.name.id, leaf.language, leaf.bytes, leaf.size};
    static_cast<std::vector<PeResourceStore::Leaf>*>(context)->push_back(kept);
    return true;
}

PeResourceStore::PeResourceStore(const unsigned char* bytes, uint32_t size) : linkBlock_(zeroBlock_) {
    std::memset(zeroBlock_, 0, sizeof zeroBlock_);
    error_ = parsePeImage(bytes, size, &image_);
    if (error_ != PeOk) return;
    uint32_t offset;
    const unsigned char* block = peFindLinkBlock(image_, &offset);
    if (block) linkBlock_ = block;
    peVisitResources(image_, keepLeaf, &leaves_);
}

// The language-neutral resource when there is one, else the first language.
ResourceBytes PeResourceStore::find(const char* type, int id) const {
    ResourceBytes none = {nullptr, 0, false};
    if (error_ != PeOk || id < 0 || id > 0xFFFF) return none;
    PeResourceName wanted;
    peNameOfType(type, &wanted);
    const Leaf* found = nullptr;
    for (const Leaf& leaf : leaves_) {
        if (leaf.id != id || !peSameName(leaf.type, wanted)) continue;
        if (!found || leaf.language == 0) found = &leaf;
        if (leaf.language == 0) break;
    }
    if (!found) return none;
    if (!found->bytes) return ResourceBytes{nullptr, 0, true};
    return ResourceBytes{found->bytes, found->size, true};
}

const unsigned char* PeResourceStore::linkBlock() const { return linkBlock_; }
