// One running digest computation of some algorithm. An engine is owned by one caller at a time
// (held by std::unique_ptr) and used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

class TDigestEngine {
public:
    virtual ~TDigestEngine() = default;

    // Adds count bytes, any count.
    virtual void Update(const std::uint8_t* data, std::size_t count) = 0;

    // Writes the digest of every byte added, in the byte order its peer tool prints it, to
    // digest (room for the algorithm's digest size). Ends the computation.
    virtual void Finish(std::uint8_t* digest) = 0;
};
