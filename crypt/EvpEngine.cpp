// libcrypto's SHA-2, SHA-3 and BLAKE2 engines through EVP. Each algorithm's EVP_MD is fetched once, on
// first use, and kept to the end of the process: fetching it per file would cost more than
// hashing a small file.
#include "crypt/DigestEngines.h"

#include <openssl/evp.h>

#include <new>
#include <stdexcept>

namespace {

struct TFetchedDigest {
    explicit TFetchedDigest(const char* name) : Digest(EVP_MD_fetch(nullptr, name, nullptr)) {}
    ~TFetchedDigest() { EVP_MD_free(Digest); }
    TFetchedDigest(const TFetchedDigest&) = delete;
    TFetchedDigest& operator=(const TFetchedDigest&) = delete;

    EVP_MD* Digest;
};

class TEvpEngine final : public TDigestEngine {
public:
    explicit TEvpEngine(const TFetchedDigest& fetched) : m_context(EVP_MD_CTX_new()) {
        if (m_context == nullptr)
            throw std::bad_alloc();
        if (fetched.Digest == nullptr || EVP_DigestInit_ex2(m_context.get(), fetched.Digest, nullptr) != 1)
            throw std::runtime_error("libcrypto cannot compute this digest");
    }
    void Update(const std::uint8_t* data, std::size_t count) override {
        if (EVP_DigestUpdate(m_context.get(), data, count) != 1)
            throw std::runtime_error("libcrypto failed to hash data");
    }
    void Finish(std::uint8_t* digest) override {
        if (EVP_DigestFinal_ex(m_context.get(), digest, nullptr) != 1)
            throw std::runtime_error("libcrypto failed to hash data");
    }

private:
    struct TFree {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, TFree> m_context;
};

// libcrypto's names of the algorithms.
constexpr char SHA224Name[] = "SHA2-224";
constexpr char SHA384Name[] = "SHA2-384";
constexpr char SHA512Name[] = "SHA2-512";
constexpr char SHA512_256Name[] = "SHA2-512/256";
constexpr char SHA3_224Name[] = "SHA3-224";
constexpr char SHA3_256Name[] = "SHA3-256";
constexpr char SHA3_384Name[] = "SHA3-384";
constexpr char SHA3_512Name[] = "SHA3-512";
constexpr char BLAKE2b512Name[] = "BLAKE2B-512";
constexpr char BLAKE2s256Name[] = "BLAKE2S-256";

// A new engine of the algorithm libcrypto calls Name, fetched on the first call.
template <const char* Name> std::unique_ptr<TDigestEngine> MakeFetched() {
    static const TFetchedDigest fetched(Name);
    return std::make_unique<TEvpEngine>(fetched);
}

} // namespace

std::unique_ptr<TDigestEngine> MakeSHA224Engine() {
    return MakeFetched<SHA224Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA384Engine() {
    return MakeFetched<SHA384Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA512Engine() {
    return MakeFetched<SHA512Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA512_256Engine() {
    return MakeFetched<SHA512_256Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA3_224Engine() {
    return MakeFetched<SHA3_224Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA3_256Engine() {
    return MakeFetched<SHA3_256Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA3_384Engine() {
    return MakeFetched<SHA3_384Name>();
}

std::unique_ptr<TDigestEngine> MakeSHA3_512Engine() {
    return MakeFetched<SHA3_512Name>();
}

std::unique_ptr<TDigestEngine> MakeBLAKE2b512Engine() {
    return MakeFetched<BLAKE2b512Name>();
}

std::unique_ptr<TDigestEngine> MakeBLAKE2s256Engine() {
    return MakeFetched<BLAKE2s256Name>();
}
