#include "package/resource_store.h"

#include <cstdlib>
#include <cstring>

struct MemoryResourceStore::Entry {
    char type[16];
    int id;
    unsigned char* bytes;
    uint32_t size;
    Entry* next;
};

MemoryResourceStore::MemoryResourceStore() : entries_(nullptr) {
    std::memset(linkBlock_, 0, sizeof linkBlock_);
}

MemoryResourceStore::~MemoryResourceStore() {
    while (entries_) {
        Entry* next = entries_->next;
        std::free(entries_->bytes);
        std::free(entries_);
        entries_ = next;
    }
}

bool MemoryResourceStore::add(const char* type, int id, const void* bytes, uint32_t size) {
    if (std::strlen(type) >= sizeof(Entry::type)) return false;
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!copy) return false;
    if (size) std::memcpy(copy, bytes, size);
    for (Entry* e = entries_; e; e = e->next) {
        if (e->id == id && std::strcmp(e->type, type) == 0) {
            std::free(e->bytes);
            e->bytes = copy;
            e->size = size;
            return true;
        }
    }
    Entry* entry = static_cast<Entry*>(std::calloc(1, sizeof(Entry)));
    if (!entry) {
        std::free(copy);
        return false;
    }
    std::strcpy(entry->type, type);
    entry->id = id;
    entry->bytes = copy;
    entry->size = size;
    entry->next = entries_;
    entries_ = entry;
    return true;
}

void MemoryResourceStore::setLinkBlock(const void* bytes, uint32_t size) {
    std::memset(linkBlock_, 0, sizeof linkBlock_);
    if (bytes && size) std::memcpy(linkBlock_, bytes, size < kLinkBlockSize ? size : uint32_t(kLinkBlockSize));
}

ResourceBytes MemoryResourceStore::find(const char* type, int id) const {
    for (const Entry* e = entries_; e; e = e->next) {
        if (e->id == id && std::strcmp(e->type, type) == 0) return ResourceBytes{e->bytes, e->size, true};
    }
    return ResourceBytes{nullptr, 0, false};
}

const unsigned char* MemoryResourceStore::linkBlock() const { return linkBlock_; }

static const ResourceStore* currentStore = nullptr;

const ResourceStore* quizResources() { return currentStore; }

void setQuizResources(const ResourceStore* store) { currentStore = store; }
