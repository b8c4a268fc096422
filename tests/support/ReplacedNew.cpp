#include "tests/support/ReplacedNew.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<TAllocationHook> g_hook{nullptr};

void* Allocate(std::size_t size) noexcept {
    const TAllocationHook hook = g_hook.load(std::memory_order_relaxed);
    if (hook != nullptr && !hook(size))
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}

} // namespace

void SetAllocationHook(TAllocationHook hook) noexcept {
    g_hook.store(hook, std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
