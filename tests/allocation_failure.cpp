#include "tests/allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {

bool g_failNext = false;
int g_failed = 0;

void* Allocate(std::size_t size) {
    if (g_failNext) {
        g_failNext = false;
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

void FailNextAllocation() { g_failNext = true; }
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
