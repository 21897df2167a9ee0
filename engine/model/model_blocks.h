// Memory for model records: arrays of value-initialised records that live as long as the
// program. Records keep their addresses for good (parts and inside links hold pointers to them),
// so blocks are never handed back; releaseBlock does nothing.
#pragma once

#include <cstddef>
#include <new>

// Keeps a block alive until the program ends (or until releaseAllModelBlocks). Returns false
// when the bookkeeping itself cannot grow.
bool keepModelBlock(void* block, void (*destroy)(void*));
// True when the next block allocation is to fail (tests of the out-of-memory paths).
bool modelBlockAllocationFails();
// Makes the next `count` block allocations fail.
void failNextModelBlocks(int count);
// Frees every block. Only for test resets: every record pointer becomes invalid.
void releaseAllModelBlocks();
// Counts the calls of releaseAllModelBlocks, so that a module that keeps pointers into blocks
// can tell that they were released under it.
int modelBlockGeneration();

// `count` value-initialised records, or nullptr when no memory can be had.
template <class T> T* allocZeroedBlock(std::size_t count) {
    if (count == 0 || modelBlockAllocationFails()) return nullptr;
    T* block = new (std::nothrow) T[count]();
    if (!block) return nullptr;
    if (!keepModelBlock(block, [](void* p) { delete[] static_cast<T*>(p); })) {
        delete[] block;
        return nullptr;
    }
    return block;
}

inline void releaseBlock(void*) {}
