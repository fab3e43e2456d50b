// Where a quiz keeps its media among the executable's resources.
//
// Question n's picture or clip is "IMG" 400 + n; its solved-state picture is
// "IMG" 10400 + n (10401 + q for question q + 1). Every "IMG" resource with an
// id above 10000 is stored with the two halves of each byte exchanged. A PNG
// picture is kept in RT_RCDATA under the same id instead, as it is.
#pragma once

#include <cstdint>

enum {
    kQuestionMediaBase = 400,
    kSolvedPictureBase = 10400,
    kLastPlainPictureId = 10000,
};

// Whether an "IMG" resource of this id is stored nibble-swapped.
inline bool isNibbleSwappedPicture(int id) { return id > kLastPlainPictureId; }

// Exchanges the high and low four bits of size bytes from `from` into `to`
// (which may be `from`). The swap is its own inverse.
void swapNibbles(const unsigned char* from, unsigned char* to, uint32_t size);
