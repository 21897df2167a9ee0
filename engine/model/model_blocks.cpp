#include "engine/model/model_blocks.h"

#include <vector>

namespace {
struct KeptBlock {
    void* block;
    void (*destroy)(void*);
};

struct BlockRegistry {
    std::vector<KeptBlock> blocks;
    int failuresPending = 0;
    int generation = 0;
    ~BlockRegistry() { release(); }
    void release() {
        for (auto& b : blocks)
            b.destroy(b.block);
        blocks.clear();
    }
};

BlockRegistry& registry() {
    static BlockRegistry r;
    return r;
}
} // namespace

bool keepModelBlock(void* block, void (*destroy)(void*)) {
    try {
        registry().blocks.push_back({block, destroy});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool modelBlockAllocationFails() {
    auto& r = registry();
    if (r.failuresPending <= 0) return false;
    --r.failuresPending;
    return true;
}

void failNextModelBlocks(int count) {
    registry().failuresPending = count;
}

void releaseAllModelBlocks() {
    registry().release();
    registry().failuresPending = 0;
    ++registry().generation;
}

int modelBlockGeneration() {
    return registry().generation;
}
