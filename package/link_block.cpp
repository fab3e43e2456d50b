#include "package/link_block.h"

// The block a player carries until the authoring tool writes a quiz's own:
// the LZW codes 0, 0, 124, 124, 256 in 9 bits, that is two unused bytes, an
// empty link text and an empty footer text.
LinkBlockData linkBlockData = {
    {'K', 'E', 'R', 'B', 'O', ':', 'L', 'I', 'N', 'K', 'B', 'L', 'O', 'C', 'K', ':'},
    {0x00, 0x00, 0x0F, 0x87, 0xC8, 0x00},
};
