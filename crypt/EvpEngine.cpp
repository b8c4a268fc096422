// libcrypto's SHA-2, SHA-3 and BLAKE2 engines through EVP. Each algorithm's EVP_MD is fetched once, on
// first use, and kept to the end of the process: fetching it per file would cost more than
// hashing a small file. libcrypto itself is reached through LibcryptoCalls, bound at that first use.
#include "crypt/EvpEngine.h"

#include "crypt/LibcryptoCalls.h"

#include <array>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

struct TLibcryptoName {
    THashAlgorithm Algorithm;
    const char* Name;
};

// libcrypto's names of the algorithms (its provider's canonical names).
constexpr TLibcryptoName Names[] = {
    {THashAlgorithm::MD5, "MD5"},
    {THashAlgorithm::SHA1, "SHA1"},
    {THashAlgorithm::SHA256, "SHA2-256"},
    {THashAlgorithm::SHA224, "SHA2-224"},
    {THashAlgorithm::SHA384, "SHA2-384"},
    {THashAlgorithm::SHA512, "SHA2-512"},
    {THashAlgorithm::SHA512_256, "SHA2-512/256"},
    {THashAlgorithm::SHA3_224, "SHA3-224"},
    {THashAlgorithm::SHA3_256, "SHA3-256"},
    {THashAlgorithm::SHA3_384, "SHA3-384"},
    {THashAlgorithm::SHA3_512, "SHA3-512"},
    {THashAlgorithm::BLAKE2b512, "BLAKE2B-512"},
    {THashAlgorithm::BLAKE2s256, "BLAKE2S-256"},
};

struct TFetchedDigest {
    explicit TFetchedDigest(const char* name) : Digest(LibcryptoCalls().MdFetch(nullptr, name, nullptr)) {}
    ~TFetchedDigest() { LibcryptoCalls().MdFree(Digest); }
    TFetchedDigest(const TFetchedDigest&) = delete;
    TFetchedDigest& operator=(const TFetchedDigest&) = delete;

    EVP_MD* Digest;
};

// The EVP_MD of Names[Index], fetched on the first call; a static per entry, so that a program
// using one algorithm fetches only that one.
template <std::size_t Index> const TFetchedDigest& Fetched() {
    static const TFetchedDigest fetched(Names[Index].Name);
    return fetched;
}

constexpr auto FetchedByIndex = []<std::size_t... Index>(std::index_sequence<Index...>) {
    return std::array{&Fetched<Index>...};
}
(std::make_index_sequence<std::size(Names)>{});

class TEvpEngine final : public TDigestEngine {
public:
    explicit TEvpEngine(const TFetchedDigest& fetched) : m_context(LibcryptoCalls().ContextNew()) {
        if (m_context == nullptr)
            throw std::bad_alloc();
        if (fetched.Digest == nullptr || LibcryptoCalls().DigestInit(m_context.get(), fetched.Digest, nullptr) != 1)
            throw std::runtime_error("libcrypto cannot compute this digest");
    }
    void Update(const std::uint8_t* data, std::size_t count) override {
        if (LibcryptoCalls().DigestUpdate(m_context.get(), data, count) != 1)
            throw std::runtime_error("libcrypto failed to hash data");
    }
    void Finish(std::uint8_t* digest) override {
        if (LibcryptoCalls().DigestFinal(m_context.get(), digest, nullptr) != 1)
            throw std::runtime_error("libcrypto failed to hash data");
    }

private:
    struct TFree {
        void operator()(EVP_MD_CTX* context) const { LibcryptoCalls().ContextFree(context); }
    };
    std::unique_ptr<EVP_MD_CTX, TFree> m_context;
};

} // namespace

std::string_view LibcryptoName(THashAlgorithm algorithm) {
    for (const TLibcryptoName& entry : Names)
        if (entry.Algorithm == algorithm)
            return entry.Name;
    return {};
}

std::unique_ptr<TDigestEngine> MakeEvpEngine(THashAlgorithm algorithm) {
    for (std::size_t i = 0; i < std::size(Names); ++i)
        if (Names[i].Algorithm == algorithm)
            return std::make_unique<TEvpEngine>(FetchedByIndex[i]());
    throw std::runtime_error("libcrypto cannot compute " + std::string(HashAlgorithmName(algorithm)));
}
