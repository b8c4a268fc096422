// Any algorithm of the table behind one interface: the algorithm chosen at run time, the bytes
// fed in pieces of any size, the lower-case hexadecimal digest at the end. A value: movable, it
// owns its engine.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <cstddef>
#include <memory>
#include <string>

class TRunningDigest {
public:
    // Throws std::invalid_argument for a value outside the enumeration, std::bad_alloc, or
    // std::runtime_error when the library behind the engine refuses.
    explicit TRunningDigest(THashAlgorithm algorithm);

    // The digest of algorithm computed by engine (not null), which must give that algorithm's
    // digests: an engine the row cannot make itself, such as one that hashes on several
    // threads. Throws std::invalid_argument for a value outside the enumeration.
    TRunningDigest(THashAlgorithm algorithm, std::unique_ptr<TDigestEngine> engine);

    // Adds count bytes; any count.
    void Update(const void* data, std::size_t count);

    // The digest of every byte added, as hexadecimal text of the row's length. Ends this
    // digest: use a new object for the next one.
    std::string Finish();

private:
    const TAlgorithmInfo* m_info;
    std::unique_ptr<TDigestEngine> m_engine;
};
