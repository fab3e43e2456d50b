// A small PE32+ executable made in memory for the native tests, standing in
// for kerbo-player.exe: headers with room for more sections, a .text
// section, a .data section holding the player's link block after its marker,
// and (optionally) a .rsrc section whose resource tree is laid out by hand
// here, independently of the tool's writer:
//   "PATCH" 104 in two languages, 0x409 ("english") then neutral ("neutral");
//   type 5 (a dialog) 1001 in language 0x409 ("dialog").
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "package/link_block.h"

namespace fixture {

enum : uint32_t {
    kPeOffset = 0x80,
    kOptionalSize = 112 + 16 * 8,
    kSectionTable = kPeOffset + 4 + 20 + kOptionalSize,
    kHeadersSize = 0x400,
    kFileAlignment = 0x200,
    kSectionAlignment = 0x1000,
    kTextRva = 0x1000, kTextRaw = 0x400,
    kDataRva = 0x2000, kDataRaw = 0x600,
    kRsrcRva = 0x3000, kRsrcRaw = 0x800,
    kLinkMarkerAt = kDataRaw + 0x10,
    kSectionSize = 0x200,
};

inline void put16(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}

inline void section(std::vector<unsigned char>& b, int index, const char* name, uint32_t rva, uint32_t raw,
                    uint32_t characteristics) {
    size_t at = kSectionTable + 40 * index;
    std::memcpy(&b[at], name, std::strlen(name));
    put32(b, at + 8, kSectionSize);
    put32(b, at + 12, rva);
    put32(b, at + 16, kSectionSize);
    put32(b, at + 20, raw);
    put32(b, at + 36, characteristics);
}

// Offsets inside the hand-made tree.
enum : uint32_t {
    kRoot = 0x00,          // 1 named type, 1 id type
    kPatchTypes = 0x20,    // "PATCH": id 104
    kDialogTypes = 0x38,   // 5: id 1001
    kPatchLanguages = 0x50,
    kDialogLanguages = 0x70,
    kDataEntries = 0x88,   // 104/0x409, 104/0, 1001/0x409
    kPatchName = 0xB8,
    kData = 0xC8,          // three 8-byte slots
};

inline void directory(std::vector<unsigned char>& b, uint32_t at, uint32_t named, uint32_t ids) {
    put16(b, kRsrcRaw + at + 12, named);
    put16(b, kRsrcRaw + at + 14, ids);
}
inline void entry(std::vector<unsigned char>& b, uint32_t directoryAt, int i, uint32_t name, uint32_t target) {
    put32(b, kRsrcRaw + directoryAt + 16 + 8 * i, name);
    put32(b, kRsrcRaw + directoryAt + 16 + 8 * i + 4, target);
}

inline void resourceTree(std::vector<unsigned char>& b) {
    const uint32_t dir = 0x80000000u;
    directory(b, kRoot, 1, 1);
    entry(b, kRoot, 0, dir | kPatchName, dir | kPatchTypes);
    entry(b, kRoot, 1, 5, dir | kDialogTypes);
    directory(b, kPatchTypes, 0, 1);
    entry(b, kPatchTypes, 0, 104, dir | kPatchLanguages);
    directory(b, kDialogTypes, 0, 1);
    entry(b, kDialogTypes, 0, 1001, dir | kDialogLanguages);
    directory(b, kPatchLanguages, 0, 2);
    entry(b, kPatchLanguages, 0, 0x409, kDataEntries);
    entry(b, kPatchLanguages, 1, 0, kDataEntries + 16);
    directory(b, kDialogLanguages, 0, 1);
    entry(b, kDialogLanguages, 0, 0x409, kDataEntries + 32);
    const char* texts[] = {"english", "neutral", "dialog"};
    for (int i = 0; i < 3; ++i) {
        put32(b, kRsrcRaw + kDataEntries + 16 * i, kRsrcRva + kData + 8 * i);
        put32(b, kRsrcRaw + kDataEntries + 16 * i + 4, static_cast<uint32_t>(std::strlen(texts[i])));
        std::memcpy(&b[kRsrcRaw + kData + 8 * i], texts[i], std::strlen(texts[i]));
    }
    put16(b, kRsrcRaw + kPatchName, 5);
    for (int i = 0; i < 5; ++i) put16(b, kRsrcRaw + kPatchName + 2 + 2 * i, static_cast<unsigned char>("PATCH"[i]));
}

// The fixture executable; without resources it has no .rsrc section and an
// empty resource directory entry, and without a link block no marker.
inline std::vector<unsigned char> makeExecutable(bool withResources = true, bool withLinkBlock = true) {
    int sections = withResources ? 3 : 2;
    std::vector<unsigned char> b(kRsrcRaw + (withResources ? uint32_t(kSectionSize) : 0u), 0);
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, kPeOffset);
    std::memcpy(&b[kPeOffset], "PE\0\0", 4);
    size_t file = kPeOffset + 4;
    put16(b, file, 0x8664);
    put16(b, file + 2, sections);
    put16(b, file + 16, kOptionalSize);
    put16(b, file + 18, 0x0022);
    size_t opt = file + 20;
    put16(b, opt, 0x20B);
    put32(b, opt + 16, kTextRva);
    put32(b, opt + 32, kSectionAlignment);
    put32(b, opt + 36, kFileAlignment);
    put32(b, opt + 56, withResources ? 0x4000 : 0x3000);
    put32(b, opt + 60, kHeadersSize);
    put16(b, opt + 68, 2);
    put32(b, opt + 108, 16);
    if (withResources) {
        put32(b, opt + 112 + 8 * 2, kRsrcRva);
        put32(b, opt + 112 + 8 * 2 + 4, kData + 24);
    }
    section(b, 0, ".text", kTextRva, kTextRaw, 0x60000020);
    section(b, 1, ".data", kDataRva, kDataRaw, 0xC0000040);
    b[kTextRaw] = 0xC3;
    if (withLinkBlock) {
        std::memcpy(&b[kLinkMarkerAt], linkBlockData.marker, kLinkMarkerSize);
        std::memcpy(&b[kLinkMarkerAt + kLinkMarkerSize], linkBlockData.block, kLinkBlockSize);
    }
    if (withResources) {
        section(b, 2, ".rsrc", kRsrcRva, kRsrcRaw, 0x40000040);
        resourceTree(b);
    }
    return b;
}

}  // namespace fixture
