// Where the quiz comes from: the resources of an executable, found by type
// and integer id, and the 70-byte link block kept in the program's own data.
//
// The player reads its own module (resource_store_win32.cpp, FindResourceA and
// friends); the authoring tool and the tests read an executable file
// (tools/pe_resources) or a store in memory (MemoryResourceStore).
#pragma once

#include <cstdint>

enum { kLinkBlockSize = 70 };

// Resource type names. RT_RCDATA is the integer type 10.
#define KERBO_TYPE_PATCH "PATCH"
#define KERBO_TYPE_IMG "IMG"
#define KERBO_TYPE_RCDATA "#10"

struct ResourceBytes {
    const unsigned char* bytes;  // read-only; null when missing
    uint32_t size;               // 0 when missing
    bool found;                  // the resource exists (it may still fail to load)
};

class ResourceStore {
public:
    virtual ~ResourceStore() = default;
    // type is KERBO_TYPE_PATCH, KERBO_TYPE_IMG or KERBO_TYPE_RCDATA.
    virtual ResourceBytes find(const char* type, int id) const = 0;
    // The link block, always kLinkBlockSize bytes.
    virtual const unsigned char* linkBlock() const = 0;
};

// A store whose resources are byte strings held in memory.
class MemoryResourceStore : public ResourceStore {
public:
    MemoryResourceStore();
    ~MemoryResourceStore() override;
    MemoryResourceStore(const MemoryResourceStore&) = delete;
    MemoryResourceStore& operator=(const MemoryResourceStore&) = delete;

    // Copies the bytes; replaces a resource of the same type and id.
    bool add(const char* type, int id, const void* bytes, uint32_t size);
    // Copies at most kLinkBlockSize bytes; the rest stays zero.
    void setLinkBlock(const void* bytes, uint32_t size);

    ResourceBytes find(const char* type, int id) const override;
    const unsigned char* linkBlock() const override;

private:
    struct Entry;
    Entry* entries_;
    unsigned char linkBlock_[kLinkBlockSize];
};

// The store the player reads its quiz from; the running module unless a test
// or the tool set another.
const ResourceStore* quizResources();
void setQuizResources(const ResourceStore* store);
