// Records the GDI objects this executable creates while a recorder lives, so
// that a test can check that each was deleted again. GetGuiResources counts
// nothing under Wine; instead the executable's own import table entries for
// the GDI calls the player makes (brushes, fonts, memory device contexts,
// bitmaps, CopyImage) are pointed at recording wrappers, and DeleteObject and
// DeleteDC take what they delete off the list. One recorder at a time.
#pragma once

#include <vector>

#include "package/platform_types.h"

class GdiObjectRecorder {
public:
    GdiObjectRecorder();
    ~GdiObjectRecorder();
    GdiObjectRecorder(const GdiObjectRecorder&) = delete;
    GdiObjectRecorder& operator=(const GdiObjectRecorder&) = delete;

    // False when no import could be redirected (nothing would be seen).
    bool active() const { return patched_ > 0; }
    int created() const;
    // The objects created and not deleted since the recorder was made, each
    // still a live object (GetObjectType is not 0).
    std::vector<HGDIOBJ> alive() const;

private:
    int patched_;
};
