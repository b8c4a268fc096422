// libxxhash's XXH64 and XXH32 engines, seed 0, the digests in canonical (big-endian) form as
// xxhsum prints them by default (XXH64) and with -H0 (XXH32).
#include "crypt/DigestEngines.h"

#include <xxhash.h>

#include <cstring>
#include <memory>
#include <new>

namespace {

// The two families' functions differ only in their width; each family is named once here.
struct TXXH64Family {
    static constexpr auto Create = XXH64_createState;
    static constexpr auto Free = XXH64_freeState;
    static constexpr auto Reset = XXH64_reset;
    static constexpr auto Update = XXH64_update;
    static constexpr auto Digest = XXH64_digest;
    static constexpr auto Canonical = XXH64_canonicalFromHash;
    using TState = XXH64_state_t;
    using TCanonical = XXH64_canonical_t;
};

struct TXXH32Family {
    static constexpr auto Create = XXH32_createState;
    static constexpr auto Free = XXH32_freeState;
    static constexpr auto Reset = XXH32_reset;
    static constexpr auto Update = XXH32_update;
    static constexpr auto Digest = XXH32_digest;
    static constexpr auto Canonical = XXH32_canonicalFromHash;
    using TState = XXH32_state_t;
    using TCanonical = XXH32_canonical_t;
};

template <typename TFamily> class TXXHEngine final : public TDigestEngine {
public:
    TXXHEngine() : m_state(TFamily::Create()) {
        if (!m_state)
            throw std::bad_alloc();
        TFamily::Reset(m_state.get(), 0);
    }
    void Update(const std::uint8_t* data, std::size_t count) override { TFamily::Update(m_state.get(), data, count); }
    void Finish(std::uint8_t* digest) override {
        typename TFamily::TCanonical canonical;
        TFamily::Canonical(&canonical, TFamily::Digest(m_state.get()));
        std::memcpy(digest, canonical.digest, sizeof canonical.digest);
    }

private:
    struct TFree {
        void operator()(typename TFamily::TState* state) const { TFamily::Free(state); }
    };
    std::unique_ptr<typename TFamily::TState, TFree> m_state;
};

} // namespace

std::unique_ptr<TDigestEngine> MakeXXH64Engine() {
    return std::make_unique<TXXHEngine<TXXH64Family>>();
}

std::unique_ptr<TDigestEngine> MakeXXH32Engine() {
    return std::make_unique<TXXHEngine<TXXH32Family>>();
}
