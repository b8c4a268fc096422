// libxxhash's XXH3 engines, seed 0, the digests in canonical (big-endian) form as xxhsum prints.
#include "crypt/DigestEngines.h"

#include <xxhash.h>
#if defined(__x86_64__)
#include <xxh_x86dispatch.h>
#endif

#include <cstring>
#include <new>

namespace {

// On x86-64, libxxhash's dispatching entry points run the widest vector code the processor has
// (SSE2, AVX2 or AVX-512), chosen once per process; the plain ones run only the SSE2 code the
// library was built for, at a quarter of the speed here.
#if defined(__x86_64__)
constexpr auto Update64 = XXH3_64bits_update_dispatch;
constexpr auto Update128 = XXH3_128bits_update_dispatch;
#else
constexpr auto Update64 = XXH3_64bits_update;
constexpr auto Update128 = XXH3_128bits_update;
#endif

struct TFreeState {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};

using TState = std::unique_ptr<XXH3_state_t, TFreeState>;

TState NewState() {
    TState state(XXH3_createState());
    if (!state)
        throw std::bad_alloc();
    return state;
}

class TXXH3_64Engine final : public TDigestEngine {
public:
    TXXH3_64Engine() : m_state(NewState()) { XXH3_64bits_reset(m_state.get()); }
    void Update(const std::uint8_t* data, std::size_t count) override { Update64(m_state.get(), data, count); }
    void Finish(std::uint8_t* digest) override {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH3_64bits_digest(m_state.get()));
        std::memcpy(digest, canonical.digest, sizeof canonical.digest);
    }

private:
    TState m_state;
};

class TXXH3_128Engine final : public TDigestEngine {
public:
    TXXH3_128Engine() : m_state(NewState()) { XXH3_128bits_reset(m_state.get()); }
    void Update(const std::uint8_t* data, std::size_t count) override { Update128(m_state.get(), data, count); }
    void Finish(std::uint8_t* digest) override {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(m_state.get()));
        std::memcpy(digest, canonical.digest, sizeof canonical.digest);
    }

private:
    TState m_state;
};

} // namespace

std::unique_ptr<TDigestEngine> MakeXXH3_64Engine() {
    return std::make_unique<TXXH3_64Engine>();
}

std::unique_ptr<TDigestEngine> MakeXXH3_128Engine() {
    return std::make_unique<TXXH3_128Engine>();
}
