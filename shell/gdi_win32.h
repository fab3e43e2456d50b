// Owners for GDI objects, device contexts and selections: each releases what
// it holds when it goes out of scope. None can be copied; GdiObject can be
// moved so that a function can hand a new object to its caller.
#pragma once

#include "package/platform_types.h"

// A font, brush, pen or bitmap, deleted with DeleteObject.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { reset(); }

    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Gives up ownership without deleting.
    Handle release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

    // Deletes the object held, if any, and takes the new one.
    void reset(Handle handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using BrushObject = GdiObject<HBRUSH>;
using FontObject = GdiObject<HFONT>;
using BitmapObject = GdiObject<HBITMAP>;

// The device context of a window (GetDC / ReleaseDC); a null window gives the
// screen's.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another (CreateCompatibleDC /
// DeleteDC); a null reference gives one compatible with the screen.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// An object selected into a device context; the previous one is selected back
// on destruction, so the object can then be deleted safely.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    // False when the selection failed.
    explicit operator bool() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
