#include "crypt/DigestPath.h"

#include <atomic>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

bool ProcessorHasShaExtensions() {
#if defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    const bool vectorOps = (ecx & bit_SSSE3) != 0 && (ecx & bit_SSE4_1) != 0;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0)
        return false;
    return vectorOps && (ebx & bit_SHA) != 0;
#else
    return false;
#endif
}

std::atomic<TDigestPath>& ActivePath() {
    static std::atomic<TDigestPath> path{BestDigestPath()};
    return path;
}

} // namespace

bool DigestPathSupported(TDigestPath path) {
    switch (path) {
    case TDigestPath::Portable:
        return true;
    case TDigestPath::ShaExtensions: {
        static const bool present = ProcessorHasShaExtensions();
        return present;
    }
    }
    return false;
}

TDigestPath BestDigestPath() {
    return DigestPathSupported(TDigestPath::ShaExtensions) ? TDigestPath::ShaExtensions : TDigestPath::Portable;
}

TDigestPath ActiveDigestPath() {
    return ActivePath().load(std::memory_order_relaxed);
}

bool UseDigestPath(TDigestPath path) {
    if (!DigestPathSupported(path))
        return false;
    ActivePath().store(path, std::memory_order_relaxed);
    return true;
}
