// The algorithm table: one row per digest algorithm, holding every fact the rest of the program
// needs about it (the name shown and stored, the names a user may type, the digest length, the
// tag of BSD lines, the peer program, the sidecar extensions and list names, the engine). Adding
// an algorithm is one row here plus its engine.
#pragma once

#include "crypt/DigestEngine.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The identifier of an algorithm. The first three keep their values: settings store them.
enum class THashAlgorithm {
    MD5,
    SHA1,
    SHA256,
    SHA224,
    SHA384,
    SHA512,
    SHA512_256,
    SHA3_224,
    SHA3_256,
    SHA3_384,
    SHA3_512,
    BLAKE2b512,
    BLAKE2s256,
    CRC32,
    XXH3_64,
    XXH3_128,
    BLAKE3,
    XXH64,
    XXH32,
};

// How fast a row's engine runs against the kernel's copy of the bytes out of the page cache.
enum class TEngineSpeed {
    BelowCopy, // the hash is the slow side: the copy is best done ahead on another core
    AboveCopy, // the copy is the slow side: it is best done by the hashing thread, in cache
};

struct TAlgorithmInfo {
    THashAlgorithm Id;
    // The name shown in the window, its settings and the verdicts ("SHA256", "BLAKE2b-512").
    std::string_view Name;
    // The tag of BSD lines as the peer tools write it: "SHA256 (NAME) = DIGEST", "BLAKE2b (NAME) = ...".
    std::string_view Tag;
    // The digest's length in bytes; its text has twice as many hexadecimal digits.
    std::size_t DigestSize;
    // What a user may type for -a, beside Name, compared by SameAlgorithmName.
    std::span<const std::string_view> Typed;
    // The peer tool that writes this algorithm's lists ("sha256sum"); empty when none does.
    std::string_view Program;
    // Extensions of a file holding the digest of the file named before it ("NAME.sha256").
    std::span<const std::string_view> Extensions;
    // Names of lists holding the digests of the files beside them ("SHA256SUMS").
    std::span<const std::string_view> Lists;
    // A new engine at its initial state; throws std::bad_alloc or std::runtime_error.
    std::unique_ptr<TDigestEngine> (*MakeEngine)();
    // Lines are always written in BSD form: the peer tool reads a bare digest of this length as
    // another algorithm's (xxhsum takes 16 digits for XXH64, not XXH3-64).
    bool TaggedOnly = false;
    // Decides how the reader feeds the engine (hashing/StreamDigest.h).
    TEngineSpeed Speed = TEngineSpeed::BelowCopy;
    // Writes the lower-case hexadecimal digest of messages[i] to digests[i] for every i below the
    // smaller size, many whole messages hashed side by side in the processor's vector lanes
    // (crypt/DigestLanes.h); null for rows without lanes.
    void (*HashMany)(std::span<const std::span<const std::uint8_t>> messages, std::span<std::string> digests) = nullptr;
    // How many messages HashMany hashes side by side on this processor now; 1 when it hashes
    // them one after another. Null with HashMany.
    std::size_t (*HashManyLanes)() = nullptr;

    std::size_t HexLength() const { return 2 * DigestSize; }
};

// The algorithm of a request, a list line or a setting that names none.
inline constexpr THashAlgorithm DefaultAlgorithm = THashAlgorithm::SHA256;

// Every row, MD5, SHA1 and SHA256 first. Among rows of equal digest length the first is the
// length's common meaning: a bare digest of that length is read as that algorithm.
std::span<const TAlgorithmInfo> AlgorithmTable();

// The row of algorithm; throws std::invalid_argument for a value outside the enumeration.
const TAlgorithmInfo& AlgorithmInfo(THashAlgorithm algorithm);

// The row's Name; throws std::invalid_argument for a value outside the enumeration.
std::string_view HashAlgorithmName(THashAlgorithm algorithm);

// The algorithm whose Name is exactly name ("MD5", "SHA1", "SHA256", "BLAKE2b-512"); nullopt for
// anything else.
std::optional<THashAlgorithm> HashAlgorithmByName(std::string_view name);

// The algorithm a user means by typed: its Name or one of its Typed names, in any case, with or
// without "-" and "_" ("sha3-256", "SHA3_256", "b2", "xxh128"); nullopt for anything else.
std::optional<THashAlgorithm> AlgorithmByTypedName(std::string_view typed);

// True when the two names are equal ignoring ASCII case and every "-" and "_".
bool SameAlgorithmName(std::string_view a, std::string_view b);

// The algorithm whose digests have length hexadecimal digits and that is that length's common
// meaning (the first such row), if any.
std::optional<THashAlgorithm> AlgorithmOfHexLength(std::size_t length);

// Every algorithm whose digests have length hexadecimal digits, in table order: the common
// meaning first, then what else a bare digest of that length may be.
std::vector<THashAlgorithm> AlgorithmsOfHexLength(std::size_t length);

// The algorithm a checksum list's file name stands for: one of a row's Lists ("SHA512SUMS",
// "b2sums.txt"), or a name ending in "." and one of a row's Extensions ("x.sha3-256", "x.B2"),
// compared ignoring ASCII case; nullopt for any other name. fileName is the last component.
std::optional<THashAlgorithm> AlgorithmOfListName(std::string_view fileName);

// Appends algorithm (a THashAlgorithm or a row's name) to list unless list holds it already, and
// answers whether it did: an algorithm named again in a list of algorithms, or of their digests,
// keeps its first place. list is a std::vector or QStringList of the algorithm's type.
template <typename TList, typename TAlgorithm> bool AppendAlgorithmOnce(TList& list, const TAlgorithm& algorithm) {
    if (std::find(list.begin(), list.end(), algorithm) != list.end())
        return false;
    list.push_back(algorithm);
    return true;
}
