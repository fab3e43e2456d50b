// Writing resources into a 64-bit Windows executable (PE32+), and its link
// block, without any Windows tool: how kerbo-pack turns a copy of the player
// into a quiz, on Linux as on Windows.
//
// The executable's existing resource tree is read (package/pe_resource_store.h)
// and a new tree holding all its resources, with the given ones added or
// replacing those of the same type and id, is written as a new section at the
// end of the file. The resource data directory then points at the new
// section, NumberOfSections and SizeOfImage grow, the checksum is recomputed;
// the old resource section stays in place, unreferenced. New resources get
// the neutral language (0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/pe_resource_store.h"

// type: "PATCH", "IMG" (string types) or "#10" (RT_RCDATA, an integer type).
struct NewResource {
    const char* type;
    int id;  // 1 to 65535
    const unsigned char* bytes;
    uint32_t size;
};

enum PeWriteError {
    PeWriteOk = 0,
    PeWriteUnreadable = 1,         // the executable does not parse (see the PeError)
    PeWriteBadAlignment = 2,       // file alignment not a power of two in 512-65536, or section alignment
                                   // not a power of two at least as large
    PeWriteNoDirectorySlot = 3,    // the optional header has no resource data directory
    PeWriteNoRoomForSection = 4,   // no 40 zero bytes in the file after the section table, inside the
                                   // headers and before the first section's data
    PeWriteLostResource = 5,       // an existing resource's bytes lie outside the file
    PeWriteBadResource = 6,        // a new resource with an id outside 1-65535 or a bad type
    PeWriteTooLarge = 7,           // the result would pass 4 GB
    PeWriteNoLinkBlock = 8,        // the executable carries no link block marker
};

const char* peErrorText(PeError error);
const char* peWriteErrorText(PeWriteError error);

// output receives the whole new executable. On failure output is left empty
// and, for PeWriteUnreadable, *parseError says why.
PeWriteError addResources(const unsigned char* bytes, uint32_t size, const NewResource* resources, int count,
                          std::vector<unsigned char>* output, PeError* parseError);

// Writes the kLinkBlockSize bytes of block over the link block that follows
// the first KERBO_LINK_MARKER of the executable's section data.
PeWriteError writeLinkBlock(std::vector<unsigned char>* image, const unsigned char* block);
