#include "crypt/HashAlgorithm.h"

#include "crypt/DigestEngines.h"
#include "crypt/DigestLanes.h"
#include "crypt/EvpEngine.h"
#include "crypt/Hex.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace {

using TNames = std::string_view[];

constexpr std::span<const std::string_view> NoNames{};

// A row's HashMany over the lanes' binary digests.
template <typename TDigest, void (*Many)(std::span<const TLaneMessage>, std::span<TDigest>),
          std::string (*ToHex)(const TDigest&)>
void HashManyToHex(std::span<const TLaneMessage> messages, std::span<std::string> digests) {
    std::vector<TDigest> binary(std::min(messages.size(), digests.size()));
    Many(messages, binary);
    for (std::size_t i = 0; i < binary.size(); ++i)
        digests[i] = ToHex(binary[i]);
}

constexpr TNames MD5Extensions = {"md5", "md5sum"};
constexpr TNames MD5Lists = {"MD5SUMS"};
constexpr TNames SHA1Extensions = {"sha1", "sha1sum"};
constexpr TNames SHA1Lists = {"SHA1SUMS"};
constexpr TNames SHA256Typed = {"SHA2-256"};
constexpr TNames SHA256Extensions = {"sha256", "sha256sum"};
constexpr TNames SHA256Lists = {"SHA256SUMS", "CHECKSUM.SHA256"};
constexpr TNames SHA224Typed = {"SHA2-224"};
constexpr TNames SHA224Extensions = {"sha224", "sha224sum"};
constexpr TNames SHA224Lists = {"SHA224SUMS"};
constexpr TNames SHA384Typed = {"SHA2-384"};
constexpr TNames SHA384Extensions = {"sha384", "sha384sum"};
constexpr TNames SHA384Lists = {"SHA384SUMS", "CHECKSUM.SHA384"};
constexpr TNames SHA512Typed = {"SHA2-512"};
constexpr TNames SHA512Extensions = {"sha512", "sha512sum"};
constexpr TNames SHA512Lists = {"SHA512SUMS", "CHECKSUM.SHA512"};
constexpr TNames SHA512_256Typed = {"SHA512256", "SHA512t256", "SHA2-512/256"};
constexpr TNames SHA512_256Extensions = {"sha512t256"};
constexpr TNames SHA512_256Lists = {"SHA512t256SUMS", "CHECKSUM.SHA512t256"};
constexpr TNames SHA3_224Extensions = {"sha3-224"};
constexpr TNames SHA3_224Lists = {"SHA3-224SUMS"};
constexpr TNames SHA3_256Extensions = {"sha3-256"};
constexpr TNames SHA3_256Lists = {"SHA3-256SUMS"};
constexpr TNames SHA3_384Extensions = {"sha3-384"};
constexpr TNames SHA3_384Lists = {"SHA3-384SUMS"};
constexpr TNames SHA3_512Extensions = {"sha3-512"};
constexpr TNames SHA3_512Lists = {"SHA3-512SUMS"};
constexpr TNames BLAKE2bTyped = {"BLAKE2b", "b2", "BLAKE2"};
constexpr TNames BLAKE2bExtensions = {"b2", "blake2b", "b2sum"};
constexpr TNames BLAKE2bLists = {"b2sums.txt", "B2SUMS", "BLAKE2SUMS", "BLAKE2B512SUMS", "BLAKE2b-512SUMS"};
constexpr TNames BLAKE2sTyped = {"BLAKE2s"};
constexpr TNames BLAKE2sExtensions = {"blake2s"};
constexpr TNames BLAKE2sLists = {"BLAKE2sSUMS", "BLAKE2S256SUMS", "BLAKE2s-256SUMS"};
constexpr TNames BLAKE3Typed = {"b3"};
constexpr TNames BLAKE3Extensions = {"b3", "blake3"};
constexpr TNames BLAKE3Lists = {"b3sums.txt", "B3SUMS", "BLAKE3SUMS"};
constexpr TNames CRC32Typed = {"CRC"};
constexpr TNames CRC32Extensions = {"sfv"};
constexpr TNames CRC32Lists = {"CRC32SUMS"};
constexpr TNames XXH3_64Typed = {"XXH3", "XXH3-64bits"};
constexpr TNames XXH3_64Extensions = {"xxh3"};
constexpr TNames XXH3_64Lists = {"XXH3SUMS", "XXH3-64SUMS"};
constexpr TNames XXH3_128Typed = {"XXH128", "XXH3-128bits"};
constexpr TNames XXH3_128Extensions = {"xxh128"};
constexpr TNames XXH3_128Lists = {"XXH128SUMS", "XXH3-128SUMS"};
constexpr TNames XXH64Extensions = {"xxh64"};
constexpr TNames XXH64Lists = {"XXH64SUMS"};
constexpr TNames XXH32Extensions = {"xxh32"};
constexpr TNames XXH32Lists = {"XXH32SUMS"};

// Rows of equal digest length are in the order of their length's common meaning: SHA256 before
// SHA3-256, BLAKE2s-256 and BLAKE3, SHA512 before SHA3-512 and BLAKE2b-512, MD5 before XXH3-128,
// CRC32 before XXH32 and XXH3-64 before XXH64. xxhsum reads a bare 16-digit digest as XXH64 and
// an 8-digit one as XXH32; a list of them is told by its name (XXH64SUMS, NAME.xxh32) or its tags.
const TAlgorithmInfo Table[] = {
    {THashAlgorithm::MD5, "MD5", "MD5", 16, NoNames, "md5sum", MD5Extensions, MD5Lists, MakeMD5Engine, false,
     TEngineSpeed::BelowCopy, HashManyToHex<TMD5Digest, MD5Many, MD5ToHex>, LaneCount},
    {THashAlgorithm::SHA1, "SHA1", "SHA1", 20, NoNames, "sha1sum", SHA1Extensions, SHA1Lists, MakeSHA1Engine, false,
     TEngineSpeed::BelowCopy, HashManyToHex<TSHA1Digest, SHA1Many, SHA1ToHex>, LaneCount},
    {THashAlgorithm::SHA256, "SHA256", "SHA256", 32, SHA256Typed, "sha256sum", SHA256Extensions, SHA256Lists,
     MakeSHA256Engine, false, TEngineSpeed::BelowCopy, HashManyToHex<TSHA256Digest, SHA256Many, SHA256ToHex>,
     SHA256LaneCount},
    {THashAlgorithm::SHA224, "SHA224", "SHA224", 28, SHA224Typed, "sha224sum", SHA224Extensions, SHA224Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA224>},
    {THashAlgorithm::SHA384, "SHA384", "SHA384", 48, SHA384Typed, "sha384sum", SHA384Extensions, SHA384Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA384>},
    {THashAlgorithm::SHA512, "SHA512", "SHA512", 64, SHA512Typed, "sha512sum", SHA512Extensions, SHA512Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA512>},
    {THashAlgorithm::SHA512_256, "SHA512/256", "SHA512t256", 32, SHA512_256Typed, "", SHA512_256Extensions,
     SHA512_256Lists, MakeEvpEngineOf<THashAlgorithm::SHA512_256>},
    {THashAlgorithm::SHA3_224, "SHA3-224", "SHA3-224", 28, NoNames, "", SHA3_224Extensions, SHA3_224Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA3_224>},
    {THashAlgorithm::SHA3_256, "SHA3-256", "SHA3-256", 32, NoNames, "", SHA3_256Extensions, SHA3_256Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA3_256>},
    {THashAlgorithm::SHA3_384, "SHA3-384", "SHA3-384", 48, NoNames, "", SHA3_384Extensions, SHA3_384Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA3_384>},
    {THashAlgorithm::SHA3_512, "SHA3-512", "SHA3-512", 64, NoNames, "", SHA3_512Extensions, SHA3_512Lists,
     MakeEvpEngineOf<THashAlgorithm::SHA3_512>},
    {THashAlgorithm::BLAKE2b512, "BLAKE2b-512", "BLAKE2b", 64, BLAKE2bTyped, "b2sum", BLAKE2bExtensions, BLAKE2bLists,
     MakeEvpEngineOf<THashAlgorithm::BLAKE2b512>},
    {THashAlgorithm::BLAKE2s256, "BLAKE2s-256", "BLAKE2s", 32, BLAKE2sTyped, "", BLAKE2sExtensions, BLAKE2sLists,
     MakeEvpEngineOf<THashAlgorithm::BLAKE2s256>},
    {THashAlgorithm::BLAKE3, "BLAKE3", "BLAKE3", 32, BLAKE3Typed, "b3sum", BLAKE3Extensions, BLAKE3Lists,
     MakeBLAKE3Engine, false, TEngineSpeed::AboveCopy},
    {THashAlgorithm::CRC32, "CRC32", "CRC32", 4, CRC32Typed, "", CRC32Extensions, CRC32Lists, MakeCRC32Engine, false,
     TEngineSpeed::AboveCopy},
    {THashAlgorithm::XXH3_64, "XXH3-64", "XXH3", 8, XXH3_64Typed, "xxhsum", XXH3_64Extensions, XXH3_64Lists,
     MakeXXH3_64Engine, true, TEngineSpeed::AboveCopy},
    {THashAlgorithm::XXH3_128, "XXH3-128", "XXH128", 16, XXH3_128Typed, "xxhsum", XXH3_128Extensions, XXH3_128Lists,
     MakeXXH3_128Engine, false, TEngineSpeed::AboveCopy},
    {THashAlgorithm::XXH64, "XXH64", "XXH64", 8, NoNames, "xxhsum", XXH64Extensions, XXH64Lists, MakeXXH64Engine, false,
     TEngineSpeed::AboveCopy},
    {THashAlgorithm::XXH32, "XXH32", "XXH32", 4, NoNames, "xxhsum", XXH32Extensions, XXH32Lists, MakeXXH32Engine},
};

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The next byte of name from i on that is not "-" or "_", upper-cased; NUL past the end.
char NextSignificant(std::string_view name, std::size_t& i) {
    while (i < name.size() && (name[i] == '-' || name[i] == '_'))
        ++i;
    return i < name.size() ? UpperAscii(name[i++]) : '\0';
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

} // namespace

std::span<const TAlgorithmInfo> AlgorithmTable() {
    return Table;
}

const TAlgorithmInfo& AlgorithmInfo(THashAlgorithm algorithm) {
    for (const TAlgorithmInfo& row : Table)
        if (row.Id == algorithm)
            return row;
    throw std::invalid_argument("Unknown hash algorithm");
}

std::string_view HashAlgorithmName(THashAlgorithm algorithm) {
    return AlgorithmInfo(algorithm).Name;
}

std::optional<THashAlgorithm> HashAlgorithmByName(std::string_view name) {
    for (const TAlgorithmInfo& row : Table)
        if (row.Name == name)
            return row.Id;
    return std::nullopt;
}

bool SameAlgorithmName(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        const char x = NextSignificant(a, i);
        const char y = NextSignificant(b, j);
        if (x != y)
            return false;
        if (x == '\0')
            return i >= a.size() && j >= b.size();
    }
}

std::optional<THashAlgorithm> AlgorithmByTypedName(std::string_view typed) {
    if (typed.find('\0') != std::string_view::npos)
        return std::nullopt;
    for (const TAlgorithmInfo& row : Table) {
        if (SameAlgorithmName(typed, row.Name))
            return row.Id;
        for (const std::string_view name : row.Typed)
            if (SameAlgorithmName(typed, name))
                return row.Id;
    }
    return std::nullopt;
}

std::optional<THashAlgorithm> AlgorithmOfHexLength(std::size_t length) {
    for (const TAlgorithmInfo& row : Table)
        if (row.HexLength() == length)
            return row.Id;
    return std::nullopt;
}

std::vector<THashAlgorithm> AlgorithmsOfHexLength(std::size_t length) {
    std::vector<THashAlgorithm> algorithms;
    for (const TAlgorithmInfo& row : Table)
        if (row.HexLength() == length)
            algorithms.push_back(row.Id);
    return algorithms;
}

std::optional<THashAlgorithm> AlgorithmOfListName(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    for (const TAlgorithmInfo& row : Table) {
        for (const std::string_view list : row.Lists)
            if (SameIgnoringCase(fileName, list))
                return row.Id;
        if (dot == std::string_view::npos)
            continue;
        for (const std::string_view extension : row.Extensions)
            if (SameIgnoringCase(fileName.substr(dot + 1), extension))
                return row.Id;
    }
    return std::nullopt;
}
