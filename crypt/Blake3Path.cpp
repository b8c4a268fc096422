#include "crypt/Blake3Path.h"

#include "crypt/Blake3Simd.h"
#include "crypt/CpuFeatures.h"

#include <atomic>

namespace {

std::atomic<TBLAKE3Path>& ActivePath() {
    static std::atomic<TBLAKE3Path> path{BestBLAKE3Path()};
    return path;
}

} // namespace

bool BLAKE3PathSupported(TBLAKE3Path path) {
    if (path == TBLAKE3Path::Portable)
        return true;
#if defined(QUVIRO_VECTOR_PATHS)
    const TCpuFeatures& features = ProcessorFeatures();
    switch (path) {
    case TBLAKE3Path::SSE41:
        return features.SSSE3 && features.SSE41;
    case TBLAKE3Path::AVX2:
        return features.AVX2;
    case TBLAKE3Path::AVX512:
        return features.AVX512F;
    case TBLAKE3Path::Portable:
        break;
    }
#endif
    return false;
}

TBLAKE3Path BestBLAKE3Path() {
    for (TBLAKE3Path path : {TBLAKE3Path::AVX512, TBLAKE3Path::AVX2, TBLAKE3Path::SSE41})
        if (BLAKE3PathSupported(path))
            return path;
    return TBLAKE3Path::Portable;
}

TBLAKE3Path ActiveBLAKE3Path() {
    return ActivePath().load(std::memory_order_relaxed);
}

bool UseBLAKE3Path(TBLAKE3Path path) {
    if (!BLAKE3PathSupported(path))
        return false;
    ActivePath().store(path, std::memory_order_relaxed);
    return true;
}
