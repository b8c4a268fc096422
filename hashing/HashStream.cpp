#include "hashing/HashStream.h"

#include "hashing/StreamDigest.h"

namespace {

std::string HashOrEmpty(THashAlgorithm algorithm, TStream* stream, bool fromStart, bool restorePosition) noexcept {
    if (stream == nullptr)
        return {};
    try {
        const std::int64_t entry = stream->Position();
        if (fromStart)
            stream->Seek(0);
        std::string digest = TStreamDigester().Digest(algorithm, *stream);
        if (restorePosition)
            stream->Seek(entry);
        return digest;
    } catch (...) {
        return {};
    }
}

} // namespace

std::string MD5HashStream(TStream* stream, bool fromStart, bool restorePosition) {
    return HashOrEmpty(THashAlgorithm::MD5, stream, fromStart, restorePosition);
}

std::string SHA1HashStream(TStream* stream, bool fromStart, bool restorePosition) {
    return HashOrEmpty(THashAlgorithm::SHA1, stream, fromStart, restorePosition);
}

std::string SHA256HashStream(TStream* stream, bool fromStart, bool restorePosition) {
    return HashOrEmpty(THashAlgorithm::SHA256, stream, fromStart, restorePosition);
}
