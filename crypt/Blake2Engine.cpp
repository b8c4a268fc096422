// libb2's BLAKE2b-512 and BLAKE2s-256 engines, unkeyed, with the full digest length.
#include "crypt/DigestEngines.h"

#include <blake2.h>

#include <stdexcept>

namespace {

class TBLAKE2bEngine final : public TDigestEngine {
public:
    TBLAKE2bEngine() {
        if (blake2b_init(&m_state, BLAKE2B_OUTBYTES) != 0)
            throw std::runtime_error("libb2 cannot start a BLAKE2b digest");
    }
    void Update(const std::uint8_t* data, std::size_t count) override { blake2b_update(&m_state, data, count); }
    void Finish(std::uint8_t* digest) override { blake2b_final(&m_state, digest, BLAKE2B_OUTBYTES); }

private:
    blake2b_state m_state{};
};

class TBLAKE2sEngine final : public TDigestEngine {
public:
    TBLAKE2sEngine() {
        if (blake2s_init(&m_state, BLAKE2S_OUTBYTES) != 0)
            throw std::runtime_error("libb2 cannot start a BLAKE2s digest");
    }
    void Update(const std::uint8_t* data, std::size_t count) override { blake2s_update(&m_state, data, count); }
    void Finish(std::uint8_t* digest) override { blake2s_final(&m_state, digest, BLAKE2S_OUTBYTES); }

private:
    blake2s_state m_state{};
};

} // namespace

std::unique_ptr<TDigestEngine> MakeBLAKE2b512Engine() {
    return std::make_unique<TBLAKE2bEngine>();
}

std::unique_ptr<TDigestEngine> MakeBLAKE2s256Engine() {
    return std::make_unique<TBLAKE2sEngine>();
}
