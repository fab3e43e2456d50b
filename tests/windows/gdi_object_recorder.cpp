#include "gdi_object_recorder.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<HGDIOBJ> live;
int createdCount = 0;

void add(HGDIOBJ object) {
    if (!object) return;
    live.push_back(object);
    ++createdCount;
}

void remove(HGDIOBJ object) { live.erase(std::remove(live.begin(), live.end(), object), live.end()); }

// The real calls, saved before their slots are redirected: the wrappers'
// own calls go through the same import slots.
decltype(&CreateSolidBrush) realSolidBrush;
decltype(&CreateFontIndirectA) realFontIndirect;
decltype(&CreateCompatibleDC) realCompatibleDC;
decltype(&CreateCompatibleBitmap) realCompatibleBitmap;
decltype(&CreateDIBSection) realDibSection;
decltype(&CopyImage) realCopyImage;
decltype(&DeleteObject) realDeleteObject;
decltype(&DeleteDC) realDeleteDC;

HBRUSH WINAPI recordSolidBrush(COLORREF colour) {
    HBRUSH brush = realSolidBrush(colour);
    add(brush);
    return brush;
}
HFONT WINAPI recordFontIndirect(const LOGFONTA* font) {
    HFONT made = realFontIndirect(font);
    add(made);
    return made;
}
HDC WINAPI recordCompatibleDC(HDC reference) {
    HDC dc = realCompatibleDC(reference);
    add(dc);
    return dc;
}
HBITMAP WINAPI recordCompatibleBitmap(HDC dc, int width, int height) {
    HBITMAP bitmap = realCompatibleBitmap(dc, width, height);
    add(bitmap);
    return bitmap;
}
HBITMAP WINAPI recordDibSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
    HBITMAP bitmap = realDibSection(dc, info, usage, bits, section, offset);
    add(bitmap);
    return bitmap;
}
HANDLE WINAPI recordCopyImage(HANDLE image, UINT type, int width, int height, UINT flags) {
    HANDLE copy = realCopyImage(image, type, width, height, flags);
    if (type == IMAGE_BITMAP) add(copy);
    return copy;
}
BOOL WINAPI recordDeleteObject(HGDIOBJ object) {
    BOOL done = realDeleteObject(object);
    if (done) remove(object);
    return done;
}
BOOL WINAPI recordDeleteDC(HDC dc) {
    BOOL done = realDeleteDC(dc);
    if (done) remove(dc);
    return done;
}

struct Redirect {
    const char* dll;
    const char* name;
    void* wrapper;
    void* original;
    void** real;  // where the wrapper finds the original
};

Redirect redirects[] = {
    {"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(recordSolidBrush), nullptr,
     reinterpret_cast<void**>(&realSolidBrush)},
    {"gdi32.dll", "CreateFontIndirectA", reinterpret_cast<void*>(recordFontIndirect), nullptr,
     reinterpret_cast<void**>(&realFontIndirect)},
    {"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(recordCompatibleDC), nullptr,
     reinterpret_cast<void**>(&realCompatibleDC)},
    {"gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(recordCompatibleBitmap), nullptr,
     reinterpret_cast<void**>(&realCompatibleBitmap)},
    {"gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(recordDibSection), nullptr,
     reinterpret_cast<void**>(&realDibSection)},
    {"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(recordDeleteObject), nullptr,
     reinterpret_cast<void**>(&realDeleteObject)},
    {"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(recordDeleteDC), nullptr,
     reinterpret_cast<void**>(&realDeleteDC)},
    {"user32.dll", "CopyImage", reinterpret_cast<void*>(recordCopyImage), nullptr,
     reinterpret_cast<void**>(&realCopyImage)},
};

// Every import address table slot of this executable that holds from is set
// to to; returns the number of slots changed.
int replaceImports(void* from, void* to) {
    unsigned char* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
    IMAGE_DOS_HEADER* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return 0;
    int changed = 0;
    for (IMAGE_IMPORT_DESCRIPTOR* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d) {
        for (IMAGE_THUNK_DATA* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); slot->u1.Function;
             ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != from) continue;
            DWORD old;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
            ++changed;
        }
    }
    return changed;
}

}  // namespace

GdiObjectRecorder::GdiObjectRecorder() : patched_(0) {
    live.clear();
    createdCount = 0;
    for (Redirect& r : redirects) {
        r.original = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(r.dll), r.name));
        *r.real = r.original;
        if (r.original) patched_ += replaceImports(r.original, r.wrapper);
    }
}

GdiObjectRecorder::~GdiObjectRecorder() {
    for (Redirect& r : redirects)
        if (r.original) replaceImports(r.wrapper, r.original);
    live.clear();
}

int GdiObjectRecorder::created() const { return createdCount; }

std::vector<HGDIOBJ> GdiObjectRecorder::alive() const {
    std::vector<HGDIOBJ> result;
    for (HGDIOBJ object : live)
        if (GetObjectType(object) != 0) result.push_back(object);
    return result;
}
