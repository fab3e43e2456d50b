// The resources and the link block of a 64-bit Windows executable (PE32+)
// held in memory, read without the Windows loader. The authoring tool reads a
// built quiz through it, and so do the tests, with the player's own loader.
//
// A PE32+ file starts with a DOS header ("MZ", and at 0x3C the offset of the
// PE signature), then "PE\0\0", the 20-byte file header, the optional header
// (magic 0x20B) ending in the data directories, and the section table (40
// bytes a section). Data directory 2 gives the address (RVA) and size of the
// resource tree: three levels of directories (type, name, language), each a
// 16-byte header with the counts of named and integer entries, then 8-byte
// entries (name or id; offset of a subdirectory with its top bit set, else of
// a 16-byte data entry holding the RVA and size of the resource's bytes).
// Offsets inside the tree count from its start; string names are a 16-bit
// length followed by UTF-16 units.
//
// Every read is checked against the file's size: a damaged file gives an error
// code or a missing resource, never a read outside the buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "package/resource_store.h"

enum PeError {
    PeOk = 0,
    PeTruncated = 1,            // a header or the section table runs past the end of the file
    PeNoDosSignature = 2,       // the file does not begin with "MZ"
    PeNoPeSignature = 3,        // no "PE\0\0" where the DOS header points
    PeNotPe32Plus = 4,          // the optional header is not the 64-bit kind (magic 0x20B)
    PeResourceOutsideFile = 5,  // the resource tree's RVA lies in no section's file data
    PeBadResourceTree = 6,      // a directory, entry, name or data entry outside the tree,
                                // or a leaf where a directory belongs (or the reverse)
    PeTooManyResources = 7,     // the tree has more than kPeMaxResources leaves
    PeNameTooLong = 8,          // a string name longer than kPeMaxNameLength units
};

enum {
    kPeMaxSections = 96,
    kPeMaxResources = 65536,
    kPeMaxNameLength = 63,
    kPeResourceDirectory = 2,  // index of the resource tree in the data directories
};

// Where the parts of a PE32+ file lie, as offsets into its bytes.
struct PeImage {
    const unsigned char* bytes;
    uint32_t size;
    uint32_t fileHeaderOffset;      // the 20-byte file header, after "PE\0\0"
    uint32_t optionalHeaderOffset;
    uint32_t optionalHeaderSize;
    uint32_t sectionTableOffset;
    uint32_t sectionCount;
    uint32_t sectionAlignment;
    uint32_t fileAlignment;
    uint32_t sizeOfImage;
    uint32_t sizeOfHeaders;
    uint32_t directoryCount;        // NumberOfRvaAndSizes
    uint32_t resourceRva;           // 0 when the file has no resource tree
    uint32_t resourceSize;
};

// Optional-header field offsets that the writer updates as well.
enum {
    kPeOptSizeOfInitializedData = 8,
    kPeOptSectionAlignment = 32,
    kPeOptFileAlignment = 36,
    kPeOptSizeOfImage = 56,
    kPeOptSizeOfHeaders = 60,
    kPeOptCheckSum = 64,
    kPeOptDirectoryCount = 108,
    kPeOptDirectories = 112,
    kPeSectionHeaderSize = 40,
};

PeError parsePeImage(const unsigned char* bytes, uint32_t size, PeImage* image);

// The file offset of length bytes at rva, when a section's file data holds
// them all; false otherwise.
bool peFileOffset(const PeImage& image, uint32_t rva, uint32_t length, uint32_t* offset);

// One section header, read back.
struct PeSection {
    char name[9];
    uint32_t virtualSize;
    uint32_t virtualAddress;
    uint32_t rawSize;
    uint32_t rawOffset;
};
bool peSection(const PeImage& image, uint32_t index, PeSection* section);

// A resource type, name or language key: an integer id, or a string of
// UTF-16 units (length above 0).
struct PeResourceName {
    uint16_t id;
    uint16_t length;
    uint16_t text[kPeMaxNameLength];
};

// The name of a type as the store's callers spell it: "#10" is the integer
// 10, anything else a string, kept as written ("PATCH", "IMG").
void peNameOfType(const char* type, PeResourceName* name);
bool peSameName(const PeResourceName& a, const PeResourceName& b);
// Order of entries in a directory: string names first, by their units;
// then integer ids, ascending.
int peCompareNames(const PeResourceName& a, const PeResourceName& b);
// Order of leaves in a tree: by type, then name, then language.
bool peLeafBefore(const PeResourceName& typeA, const PeResourceName& nameA, uint16_t languageA,
                  const PeResourceName& typeB, const PeResourceName& nameB, uint16_t languageB);

struct PeResourceLeaf {
    PeResourceName type;
    PeResourceName name;
    uint16_t language;
    uint32_t dataRva;
    uint32_t size;
    uint32_t codePage;
    const unsigned char* bytes;  // null when the data lies outside the file
};

// Calls visit for every leaf of the tree, in tree order, until it returns
// false. A file without a resource tree has no leaves.
typedef bool (*PeResourceVisitor)(const PeResourceLeaf& leaf, void* context);
PeError peVisitResources(const PeImage& image, PeResourceVisitor visit, void* context);

// The kLinkBlockSize bytes after the first KERBO_LINK_MARKER in a section's
// file data, with their file offset; null when there is none.
const unsigned char* peFindLinkBlock(const PeImage& image, uint32_t* offset);

// A store over the bytes of an executable file; the bytes are borrowed and
// must outlive the store. A file that does not parse has no resources and a
// link block of zeros, which does not decode.
class PeResourceStore : public ResourceStore {
public:
    PeResourceStore(const unsigned char* bytes, uint32_t size);
    PeError error() const { return error_; }
    bool hasLinkBlock() const { return linkBlock_ != zeroBlock_; }
    const PeImage& image() const { return image_; }

    ResourceBytes find(const char* type, int id) const override;
    const unsigned char* linkBlock() const override;

    // A leaf with an integer name, as find looks it up.
    struct Leaf {
        PeResourceName type;
        uint16_t id;
        uint16_t language;
        const unsigned char* bytes;
        uint32_t size;
    };

private:
    PeImage image_;
    PeError error_;
    std::vector<Leaf> leaves_;  // read once, in tree order
    const unsigned char* linkBlock_;
    unsigned char zeroBlock_[kLinkBlockSize];
};
