// The global operator new and delete of a test binary that lists tests/support/ReplacedNew.cpp
// among its sources. Every plain form (single and array, throwing and nothrow) allocates through
// one function, so that a test can refuse allocations, or watch them, through one hook; each block
// is freed by the same pair that allocated it, as AddressSanitizer checks.
#pragma once

#include <cstddef>

// Called before each allocation of `size` bytes, on the allocating thread; false refuses it
// (the throwing forms throw std::bad_alloc, the nothrow forms return nullptr).
using TAllocationHook = bool (*)(std::size_t size);

// Installs `hook` for every later allocation; nullptr allows them all (the start).
void SetAllocationHook(TAllocationHook hook) noexcept;
