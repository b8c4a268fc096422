#include "crypt/HashStream.h"

#include "crypt/Hex.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

constexpr std::int64_t MaxChunk = 4 * 1024 * 1024;
constexpr std::int64_t UnknownSizeChunk = 64 * 1024;

struct TMD5Engine {
    using Context = TMD5Context;
    static void Init(Context& context) { MD5Init(context); }
    static void Update(Context& context, const std::uint8_t* data, std::int64_t count) {
        MD5Update(context, data, static_cast<std::uint32_t>(count));
    }
    static std::string Finish(Context& context) { return MD5ToHex(MD5Final(context)); }
};

struct TSHA1Engine {
    using Context = TSHAContext;
    static void Init(Context& context) { SHA1Init(context); }
    static void Update(Context& context, const std::uint8_t* data, std::int64_t count) {
        SHA1Update(context, data, static_cast<std::int32_t>(count));
    }
    static std::string Finish(Context& context) { return SHA1ToHex(SHA1Final(context)); }
};

struct TSHA256Engine {
    using Context = TSHAContext;
    static void Init(Context& context) { SHA256Init(context); }
    static void Update(Context& context, const std::uint8_t* data, std::int64_t count) {
        SHA256Update(context, data, static_cast<std::int32_t>(count));
    }
    static std::string Finish(Context& context) { return SHA256ToHex(SHA256Final(context)); }
};

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
template <class Engine>
std::string HashRange(TStream& stream, std::int64_t size, std::int64_t entry, bool fromStart, bool restorePosition) {
    if (fromStart)
        stream.Seek(0);

    std::int64_t position = stream.Position();
    if (position < 0)
        throw EStreamError("Stream error: the stream reports a negative position");
    const std::int64_t chunk = ChunkSize(size, position);
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(chunk));

    typename Engine::Context context;
    Engine::Init(context);

    // Each pass moves the position forward by exactly the bytes read, and a pass that reads
    // fewer than asked is the last one.
    std::int64_t read = chunk;
    while (read == chunk) {
        read = stream.Read(buffer.get(), chunk);
        const std::int64_t next = stream.Position();
        if (read < 0 || read > chunk || next != position + read)
            throw EReadError("Stream read error: the stream position did not follow the bytes read");
        Engine::Update(context, buffer.get(), read);
        position = next;
    }
    // Reading to the end hashes what the data holds now; a size that moved means it was
    // written meanwhile, and the stream itself may know of other changes.
    if (stream.Size() != size)
        throw EReadError(StreamChangedSizeMessage);
    stream.CheckUnchanged();

    std::string digest = Engine::Finish(context);
    if (restorePosition)
        stream.Seek(entry);
    return digest;
}

template <class Engine> std::string HashOrThrow(TStream& stream, bool fromStart, bool restorePosition) {
    const std::int64_t size = stream.Size();
    const std::int64_t entry = stream.Position();
    return HashRange<Engine>(stream, size, entry, fromStart, restorePosition);
}

template <class Engine> std::string HashOrEmpty(TStream* stream, bool fromStart, bool restorePosition) noexcept {
    if (stream == nullptr)
        return {};
    try {
        return HashOrThrow<Engine>(*stream, fromStart, restorePosition);
    } catch (...) {
        return {};
    }
}

} // namespace

std::string MD5HashStream(TStream* stream, bool fromStart, bool restorePosition) {
    return HashOrEmpty<TMD5Engine>(stream, fromStart, restorePosition);
}

std::string SHA1HashStream(TStream* stream, bool fromStart, bool restorePosition) {
    return HashOrEmpty<TSHA1Engine>(stream, fromStart, restorePosition);
}

std::string SHA256HashStream(TStream* stream, bool fromStart, bool restorePosition) {
    return HashOrEmpty<TSHA256Engine>(stream, fromStart, restorePosition);
}

std::string HashStreamOrThrow(THashAlgorithm algorithm, TStream& stream, bool fromStart, bool restorePosition) {
    switch (algorithm) {
    case THashAlgorithm::MD5:
        return HashOrThrow<TMD5Engine>(stream, fromStart, restorePosition);
    case THashAlgorithm::SHA1:
        return HashOrThrow<TSHA1Engine>(stream, fromStart, restorePosition);
    case THashAlgorithm::SHA256:
        return HashOrThrow<TSHA256Engine>(stream, fromStart, restorePosition);
    }
    throw std::invalid_argument("Unknown hash algorithm");
}
