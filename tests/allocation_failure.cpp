#include "tests/allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {

int g_untilFailure = -1;  // plug-in allocations that succeed before one fails; -1: none fails
int g_failed = 0;

void* Allocate(std::size_t size) {
    if (HostCodeDepth() == 0 && g_untilFailure >= 0 && g_untilFailure-- == 0) {
        ++g_failed;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
    try { return Allocate(size); } catch (const std::bad_alloc&) { return nullptr; }
}

}  // namespace

void FailNextAllocation() { FailAllocationAfter(0); }
void FailAllocationAfter(int allocations) { g_untilFailure = allocations; }
int FailedAllocations() { return g_failed; }

// Every form, so that no block crosses between this allocator and the runtime's own (the
// sanitizers' included).
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return AllocateOrNull(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return AllocateOrNull(n); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
