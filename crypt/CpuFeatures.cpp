#include "crypt/CpuFeatures.h"

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

#if defined(__x86_64__)
// The register states the system saves on a switch (XCR0): bit 1 SSE, 2 AVX, 5..7 the AVX-512
// mask and upper registers.
unsigned long long SavedRegisterStates() {
    unsigned eax = 0, edx = 0;
    __asm__("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
    return (static_cast<unsigned long long>(edx) << 32) | eax;
}
#endif

TCpuFeatures AskProcessor() {
    TCpuFeatures features{};
#if defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return features;
    features.SSSE3 = (ecx & bit_SSSE3) != 0;
    features.SSE41 = (ecx & bit_SSE4_1) != 0;
    const bool osSaves = (ecx & bit_OSXSAVE) != 0 && (ecx & bit_AVX) != 0;
    const unsigned long long states = osSaves ? SavedRegisterStates() : 0;
    const bool ymmSaved = (states & 0x06) == 0x06;
    const bool zmmSaved = (states & 0xe6) == 0xe6;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0)
        return features;
    features.SHA = (ebx & bit_SHA) != 0;
    features.AVX2 = ymmSaved && (ebx & bit_AVX2) != 0;
    features.AVX512F = zmmSaved && (ebx & bit_AVX512F) != 0 && (ebx & bit_AVX512VL) != 0;
#endif
    return features;
}

} // namespace

const TCpuFeatures& ProcessorFeatures() {
    static const TCpuFeatures features = AskProcessor();
    return features;
}
