#include "package/resource_store_win32.h"

#include <cstdlib>

#include "package/link_block.h"

ModuleResourceStore::ModuleResourceStore(HMODULE module, const unsigned char* linkBlock)
    : module_(module), linkBlock_(linkBlock) {}

ResourceBytes ModuleResourceStore::find(const char* type, int id) const {
    LPCSTR typeName = type[0] == '#' ? MAKEINTRESOURCEA(std::atoi(type + 1)) : type;
    HRSRC info = FindResourceA(module_, MAKEINTRESOURCEA(id), typeName);
    if (!info) return ResourceBytes{nullptr, 0, false};
    HGLOBAL loaded = LoadResource(module_, info);
    DWORD size = SizeofResource(module_, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return ResourceBytes{nullptr, 0, true};
    return ResourceBytes{static_cast<const unsigned char*>(bytes), size, true};
}

const unsigned char* ModuleResourceStore::linkBlock() const { return linkBlock_; }

const ModuleResourceStore* ownModuleResources() {
    static ModuleResourceStore store(GetModuleHandleA(nullptr), linkBlockData.block);
    return &store;
}
