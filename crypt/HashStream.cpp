#include "crypt/HashStream.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

constexpr std::int64_t MaxChunk = 4 * 1024 * 1024;
constexpr std::int64_t UnknownSizeChunk = 64 * 1024;

// The read buffer: the bytes the stream reports from position on plus one, so that a stream
// as long as it reports ends with one short read; at most MaxChunk. A stream that reports
// nothing left may still hold bytes (procfs reports 0), so it gets UnknownSizeChunk.
std::int64_t ChunkSize(std::int64_t size, std::int64_t position) {
    if (size <= position)
        return UnknownSizeChunk;
    return std::min(size - position, MaxChunk - 1) + 1;
}

// Hashes from the start position up to the end of the data, where a read delivers fewer bytes
// than asked; size is the stream's size asked on entry, entry the position it had then. Every
// failure throws.
std::string HashRange(THashAlgorithm algorithm, TStream& stream, std::int64_t size, std::int64_t entry, bool fromStart,
                      bool restorePosition) {
    // The engine first: an algorithm outside the table leaves the stream where it was.
    TRunningDigest digest(algorithm);
    if (fromStart)
        stream.Seek(0);

    std::int64_t position = stream.Position();
    if (position < 0)
        throw EStreamError("Stream error: the stream reports a negative position");
    const std::int64_t chunk = ChunkSize(size, position);
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(chunk));

    // Each pass moves the position forward by exactly the bytes read, and a pass that reads
    // fewer than asked is the last one.
    std::int64_t read = chunk;
    while (read == chunk) {
        read = stream.Read(buffer.get(), chunk);
        const std::int64_t next = stream.Position();
        if (read < 0 || read > chunk || next != position + read)
            throw EReadError("Stream read error: the stream position did not follow the bytes read");
        digest.Update(buffer.get(), static_cast<std::size_t>(read));
        position = next;
    }
    // Reading to the end hashes what the data holds now; a size that moved means it was
    // written meanwhile, and the stream itself may know of other changes.
    if (stream.Size() != size)
        throw EReadError(StreamChangedSizeMessage);
    stream.CheckUnchanged();

    std::string text = digest.Finish();
    if (restorePosition)
        stream.Seek(entry);
    return text;
}

std::string HashOrEmpty(THashAlgorithm algorithm, TStream* stream, bool fromStart, bool restorePosition) noexcept {
    if (stream == nullptr)
        return {};
    try {
        return HashStreamOrThrow(algorithm, *stream, fromStart, restorePosition);
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

std::string HashStreamOrThrow(THashAlgorithm algorithm, TStream& stream, bool fromStart, bool restorePosition) {
    const std::int64_t size = stream.Size();
    const std::int64_t entry = stream.Position();
    return HashRange(algorithm, stream, size, entry, fromStart, restorePosition);
}
