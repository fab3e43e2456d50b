// The resources of a loaded module, reached with FindResourceA, LoadResource,
// SizeofResource and LockResource.
#pragma once

#include "package/platform_types.h"
#include "package/resource_store.h"

class ModuleResourceStore : public ResourceStore {
public:
    // linkBlock: the module's kLinkBlockSize bytes of link data.
    ModuleResourceStore(HMODULE module, const unsigned char* linkBlock);
    ResourceBytes find(const char* type, int id) const override;
    const unsigned char* linkBlock() const override;
    HMODULE module() const { return module_; }

private:
    HMODULE module_;
    const unsigned char* linkBlock_;
};

// The running program's store: its own module and its own link block.
// Installed as quizResources() by the player's start-up.
const ModuleResourceStore* ownModuleResources();
