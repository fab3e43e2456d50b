// The link block: 70 bytes of LZW data in the program's initialised data,
// holding the header's link text and the footer text. The authoring tool finds
// it in a built player by the marker in front of it and writes a quiz's own
// block over it.
#pragma once

#include "package/resource_store.h"

#define KERBO_LINK_MARKER "KERBO:LINKBLOCK:"
enum { kLinkMarkerSize = 16 };

struct LinkBlockData {
    char marker[kLinkMarkerSize];  // KERBO_LINK_MARKER without its terminator
    unsigned char block[kLinkBlockSize];
};

extern LinkBlockData linkBlockData;
