#include "crypt/DigestPath.h"

#include "crypt/CpuFeatures.h"

#include <atomic>

namespace {

bool ProcessorHasShaExtensions() {
    const TCpuFeatures& features = ProcessorFeatures();
    return features.SSSE3 && features.SSE41 && features.SHA;
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
