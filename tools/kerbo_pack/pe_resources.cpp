#include "tools/kerbo_pack/pe_resources.h"

#include <algorithm>
#include <cstring>

const char* peErrorText(PeError error) {
    switch (error) {
        case PeOk: return "no error";
        case PeTruncated: return "the file ends inside its headers or section table";
        case PeNoDosSignature: return "not a Windows executable (no MZ header)";
        case PeNoPeSignature: return "not a Windows executable (no PE signature)";
        case PeNotPe32Plus: return "not a 64-bit Windows executable (PE32+)";
        case PeResourceOutsideFile: return "the resource directory lies outside the file";
        case PeBadResourceTree: return "the resource directory is damaged";
        case PeTooManyResources: return "the resource directory has too many entries";
        case PeNameTooLong: return "a resource name is too long";
    }
    return "unknown error";
}

const char* peWriteErrorText(PeWriteError error) {
    switch (error) {
        case PeWriteOk: return "no error";
        case PeWriteUnreadable: return "the executable cannot be read";
        case PeWriteBadAlignment:
            return "the executable's file or section alignment is outside the PE format's limits "
                   "(file alignment a power of two from 512 to 65536, section alignment no smaller)";
        case PeWriteNoDirectorySlot: return "the executable has no resource data directory";
        case PeWriteNoRoomForSection:
            return "the executable has no free room for another section header after its section table "
                   "(rebuild the player with larger headers)";
        case PeWriteLostResource: return "a resource of the executable lies outside the file";
        case PeWriteBadResource: return "a resource id is outside 1-65535";
        case PeWriteTooLarge: return "the executable would grow past 4 GB";
        case PeWriteNoLinkBlock: return "the executable carries no link block (is it kerbo-player.exe?)";
    }
    return "unknown error";
}

// ---- Little-endian writes ----------------------------------------------------

static void put16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

static void put32(unsigned char* p, uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

static uint32_t get32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

static uint64_t alignUp(uint64_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

static bool isPowerOfTwo(uint32_t v) { return v && !(v & (v - 1)); }

// ---- The resource tree as a sorted list of leaves -------------------------------

namespace {

struct Leaf {
    PeResourceName type;
    PeResourceName name;
    uint16_t language;
    uint32_t codePage;
    const unsigned char* bytes;
    uint32_t size;
};

struct Collected {
    std::vector<Leaf>* leaves;
    bool lost;
};

bool collectLeaf(const PeResourceLeaf& leaf, void* context) {
    Collected* collected = static_cast<Collected*>(context);
    if (!leaf.bytes && leaf.size) {
        collected->lost = true;
        return false;
    }
    collected->leaves->push_back(Leaf{leaf.type, leaf.name, leaf.language, leaf.codePage, leaf.bytes, leaf.size});
    return true;
}

bool leafBefore(const Leaf& a, const Leaf& b) {
    return peLeafBefore(a.type, a.name, a.language, b.type, b.name, b.language);
}

// Directory entries of one level: [first, end) ranges of the sorted leaves
// that share a type (level 0) or a type and name (level 1).
struct Range {
    size_t first;
    size_t end;
};

std::vector<Range> groupBy(const std::vector<Leaf>& leaves, const Range& within, bool byName) {
    std::vector<Range> groups;
    for (size_t i = within.first; i < within.end; ++i) {
        bool same = !groups.empty() && peSameName(leaves[i].type, leaves[i - 1].type) &&
                    (!byName || peSameName(leaves[i].name, leaves[i - 1].name));
        if (same) {
            groups.back().end = i + 1;
        } else {
            groups.push_back(Range{i, i + 1});
        }
    }
    return groups;
}

enum { kDirectoryHeader = 16, kEntry = 8, kDataEntry = 16, kHighBit = 0x80000000u };

uint32_t nameBytes(const PeResourceName& name) { return name.length ? 2 + 2u * name.length : 0; }

// Lays the tree out breadth first: the root, the type directories, the name
// directories, the data entries, the string names, then the resources' bytes
// each aligned to 8. Data entries hold RVAs, so the section's address is
// needed here.
class TreeWriter {
public:
    TreeWriter(const std::vector<Leaf>& leaves, uint32_t sectionRva) : leaves_(leaves), rva_(sectionRva) {}

    std::vector<unsigned char> write() {
        types_ = groupBy(leaves_, Range{0, leaves_.size()}, false);
        for (const Range& t : types_) {
            std::vector<Range> names = groupBy(leaves_, t, true);
            names_.insert(names_.end(), names.begin(), names.end());
            namesPerType_.push_back(names.size());
        }
        uint64_t size = layOut();
        out_.assign(size, 0);
        writeDirectories();
        writeLeaves();
        return out_;
    }

private:
    uint64_t layOut() {
        uint64_t at = kDirectoryHeader + kEntry * types_.size();
        for (size_t t = 0; t < types_.size(); ++t) {
            typeDirectory_.push_back(at);
            at += kDirectoryHeader + kEntry * namesPerType_[t];
        }
        for (const Range& n : names_) {
            nameDirectory_.push_back(at);
            at += kDirectoryHeader + kEntry * (n.end - n.first);
        }
        dataEntries_ = at;
        at += kDataEntry * leaves_.size();
        for (const Range& t : types_) {
            typeString_.push_back(at);
            at += nameBytes(leaves_[t.first].type);
        }
        for (const Range& n : names_) {
            nameString_.push_back(at);
            at += nameBytes(leaves_[n.first].name);
        }
        for (const Leaf& leaf : leaves_) {
            at = alignUp(at, 8);
            data_.push_back(at);
            at += leaf.size;
        }
        return at;
    }

    void writeHeader(uint64_t at, uint32_t named, uint32_t ids) {
        put16(&out_[at + 12], named);
        put16(&out_[at + 14], ids);
    }

    void writeEntry(uint64_t at, const PeResourceName& name, uint64_t string, uint32_t target) {
        put32(&out_[at], name.length ? kHighBit | static_cast<uint32_t>(string) : name.id);
        put32(&out_[at + 4], target);
    }

    static uint32_t countNamed(const std::vector<Leaf>& leaves, const Range* ranges, size_t count, bool byName) {
        uint32_t named = 0;
        for (size_t i = 0; i < count; ++i) {
            const Leaf& leaf = leaves[ranges[i].first];
            if ((byName ? leaf.name : leaf.type).length) ++named;
        }
        return named;
    }

    void writeDirectories() {
        uint32_t namedTypes = countNamed(leaves_, types_.data(), types_.size(), false);
        writeHeader(0, namedTypes, static_cast<uint32_t>(types_.size()) - namedTypes);
        size_t name = 0;
        for (size_t t = 0; t < types_.size(); ++t) {
            writeEntry(kDirectoryHeader + kEntry * t, leaves_[types_[t].first].type, typeString_[t],
                       kHighBit | static_cast<uint32_t>(typeDirectory_[t]));
            uint32_t named = countNamed(leaves_, &names_[name], namesPerType_[t], true);
            writeHeader(typeDirectory_[t], named, static_cast<uint32_t>(namesPerType_[t]) - named);
            for (size_t i = 0; i < namesPerType_[t]; ++i, ++name) {
                writeEntry(typeDirectory_[t] + kDirectoryHeader + kEntry * i, leaves_[names_[name].first].name,
                           nameString_[name], kHighBit | static_cast<uint32_t>(nameDirectory_[name]));
                writeLanguages(name);
            }
        }
    }

    void writeLanguages(size_t name) {
        const Range& n = names_[name];
        uint64_t at = nameDirectory_[name];
        writeHeader(at, 0, static_cast<uint32_t>(n.end - n.first));
        for (size_t i = n.first; i < n.end; ++i) {
            PeResourceName language = {};
            language.id = leaves_[i].language;
            writeEntry(at + kDirectoryHeader + kEntry * (i - n.first), language, 0,
                       static_cast<uint32_t>(dataEntries_ + kDataEntry * i));
        }
    }

    void writeString(uint64_t at, const PeResourceName& name) {
        if (!name.length) return;
        put16(&out_[at], name.length);
        for (uint16_t i = 0; i < name.length; ++i) put16(&out_[at + 2 + 2 * i], name.text[i]);
    }

    void writeLeaves() {
        for (size_t t = 0; t < types_.size(); ++t) writeString(typeString_[t], leaves_[types_[t].first].type);
        for (size_t n = 0; n < names_.size(); ++n) writeString(nameString_[n], leaves_[names_[n].first].name);
        for (size_t i = 0; i < leaves_.size(); ++i) {
            const Leaf& leaf = leaves_[i];
            unsigned char* entry = &out_[dataEntries_ + kDataEntry * i];
            put32(entry, rva_ + static_cast<uint32_t>(data_[i]));
            put32(entry + 4, leaf.size);
            put32(entry + 8, leaf.codePage);
            if (leaf.size) std::memcpy(&out_[data_[i]], leaf.bytes, leaf.size);
        }
    }

    const std::vector<Leaf>& leaves_;
    uint32_t rva_;
    std::vector<Range> types_, names_;
    std::vector<size_t> namesPerType_;
    std::vector<uint64_t> typeDirectory_, nameDirectory_, typeString_, nameString_, data_;
    uint64_t dataEntries_ = 0;
    std::vector<unsigned char> out_;
};

// The sum of the file's 16-bit words with end-around carry, the checksum
// field counted as zero, plus the file's length.
uint32_t peChecksum(const std::vector<unsigned char>& file) {
    uint64_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        uint32_t word = file[i] | (i + 1 < file.size() ? file[i + 1] << 8 : 0);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + file.size());
}

void updateChecksum(std::vector<unsigned char>* file, size_t checksumOffset) {
    put32(file->data() + checksumOffset, 0);
    put32(file->data() + checksumOffset, peChecksum(*file));
}

const uint32_t kSectionCharacteristics = 0x40000040;  // initialised data, readable
const int kSecurityDirectory = 4;                     // the signature, which must end the file

}  // namespace

// ---- Adding resources ---------------------------------------------------------------

// The first address after the headers and every section, aligned for a new
// one (never 0, which would mean no resource tree at all).
static uint64_t nextSectionRva(const PeImage& image) {
    uint64_t end = std::max<uint64_t>(std::max(image.sizeOfImage, image.sizeOfHeaders), 1);
    PeSection s;
    for (uint32_t i = 0; peSection(image, i, &s); ++i) {
        uint64_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        end = std::max(end, uint64_t(s.virtualAddress) + extent);
    }
    return alignUp(end, image.sectionAlignment);
}

// FileAlignment a power of two from 512 to 64 KiB, SectionAlignment a power
// of two no smaller: what the loader accepts, and what keeps the padding of
// the new section small.
static bool alignmentsAccepted(const PeImage& image) {
    return isPowerOfTwo(image.fileAlignment) && image.fileAlignment >= 512 && image.fileAlignment <= 65536 &&
           isPowerOfTwo(image.sectionAlignment) && image.sectionAlignment >= image.fileAlignment;
}

// A new section header needs 40 bytes after the table that are in the file,
// inside the headers, before any section's data, and zero (so that nothing
// is written over).
static bool roomForSectionHeader(const PeImage& image) {
    uint64_t start = uint64_t(image.sectionTableOffset) + kPeSectionHeaderSize * image.sectionCount;
    uint64_t end = start + kPeSectionHeaderSize;
    if (end > image.size || end > image.sizeOfHeaders || image.sectionCount >= kPeMaxSections) return false;
    PeSection s;
    for (uint32_t i = 0; peSection(image, i, &s); ++i) {
        if (s.rawSize && end > s.rawOffset) return false;
    }
    for (uint64_t at = start; at < end; ++at)
        if (image.bytes[at]) return false;
    return true;
}

PeWriteError addResources(const unsigned char* bytes, uint32_t size, const NewResource* resources, int count,
                          std::vector<unsigned char>* output, PeError* parseError) {
    output->clear();
    PeImage image;
    PeError error = parsePeImage(bytes, size, &image);
    std::vector<Leaf> leaves;
    Collected collected = {&leaves, false};
    if (error == PeOk) error = peVisitResources(image, collectLeaf, &collected);
    if (parseError) *parseError = error;
    if (error != PeOk) return PeWriteUnreadable;
    if (collected.lost) return PeWriteLostResource;
    if (!alignmentsAccepted(image)) return PeWriteBadAlignment;
    if (image.directoryCount <= kPeResourceDirectory) return PeWriteNoDirectorySlot;
    if (!roomForSectionHeader(image)) return PeWriteNoRoomForSection;

    // New resources replace every language of the same type and id.
    for (int i = 0; i < count; ++i) {
        const NewResource& r = resources[i];
        if (r.id < 1 || r.id > 0xFFFF || !r.type[0] || (!r.bytes && r.size)) return PeWriteBadResource;
        Leaf leaf = {};
        peNameOfType(r.type, &leaf.type);
        if (!leaf.type.length && !leaf.type.id) return PeWriteBadResource;
        leaf.name.id = static_cast<uint16_t>(r.id);
        leaf.bytes = r.bytes;
        leaf.size = r.size;
        leaves.erase(std::remove_if(leaves.begin(), leaves.end(),
                                    [&](const Leaf& old) {
                                        return peSameName(old.type, leaf.type) && peSameName(old.name, leaf.name);
                                    }),
                     leaves.end());
        leaves.push_back(leaf);
    }
    std::stable_sort(leaves.begin(), leaves.end(), leafBefore);  // equal keys keep their tree order

    uint64_t rva = nextSectionRva(image);
    if (rva > 0xFFFFFFFFu) return PeWriteTooLarge;
    std::vector<unsigned char> tree = TreeWriter(leaves, static_cast<uint32_t>(rva)).write();
    uint64_t rawOffset = alignUp(size, image.fileAlignment);
    uint64_t rawSize = alignUp(tree.size(), image.fileAlignment);
    if (alignUp(rva + tree.size(), image.sectionAlignment) > 0xFFFFFFFFu || rawOffset + rawSize > 0xFFFFFFFFu)
        return PeWriteTooLarge;

    output->assign(bytes, bytes + size);
    output->resize(rawOffset + rawSize, 0);
    std::memcpy(output->data() + rawOffset, tree.data(), tree.size());

    unsigned char* header = output->data() + image.sectionTableOffset + kPeSectionHeaderSize * image.sectionCount;
    std::memset(header, 0, kPeSectionHeaderSize);
    std::memcpy(header, ".kerbo", 6);
    put32(header + 8, static_cast<uint32_t>(tree.size()));
    put32(header + 12, static_cast<uint32_t>(rva));
    put32(header + 16, static_cast<uint32_t>(rawSize));
    put32(header + 20, static_cast<uint32_t>(rawOffset));
    put32(header + 36, kSectionCharacteristics);
    put16(output->data() + image.fileHeaderOffset + 2, image.sectionCount + 1);

    unsigned char* optional = output->data() + image.optionalHeaderOffset;
    put32(optional + kPeOptSizeOfImage, static_cast<uint32_t>(alignUp(rva + tree.size(), image.sectionAlignment)));
    put32(optional + kPeOptSizeOfInitializedData,
          get32(optional + kPeOptSizeOfInitializedData) + static_cast<uint32_t>(rawSize));
    unsigned char* directories = optional + kPeOptDirectories;
    put32(directories + 8 * kPeResourceDirectory, static_cast<uint32_t>(rva));
    put32(directories + 8 * kPeResourceDirectory + 4, static_cast<uint32_t>(tree.size()));
    if (image.directoryCount > kSecurityDirectory) {
        // A signature no longer matches the changed file; it is dropped.
        put32(directories + 8 * kSecurityDirectory, 0);
        put32(directories + 8 * kSecurityDirectory + 4, 0);
    }
    updateChecksum(output, image.optionalHeaderOffset + kPeOptCheckSum);
    return PeWriteOk;
}

PeWriteError writeLinkBlock(std::vector<unsigned char>* file, const unsigned char* block) {
    PeImage image;
    if (file->size() > 0xFFFFFFFFu) return PeWriteTooLarge;
    if (parsePeImage(file->data(), static_cast<uint32_t>(file->size()), &image) != PeOk) return PeWriteUnreadable;
    uint32_t offset;
    if (!peFindLinkBlock(image, &offset)) return PeWriteNoLinkBlock;
    std::memcpy(file->data() + offset, block, kLinkBlockSize);
    updateChecksum(file, image.optionalHeaderOffset + kPeOptCheckSum);
    return PeWriteOk;
}
