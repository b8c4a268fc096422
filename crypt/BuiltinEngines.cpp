// The project's own MD5, SHA-1, SHA-256 and BLAKE3 engines behind the engine interface.
#include "crypt/DigestEngines.h"

#include "crypt/Blake3.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <algorithm>
#include <cstring>

namespace {

// The largest piece one engine call takes: the SHA engines count in a signed 32-bit value.
constexpr std::size_t MaxPiece = 1u << 30;

template <class Each> void InPieces(const std::uint8_t* data, std::size_t count, Each each) {
    while (count > 0) {
        const std::size_t piece = std::min(count, MaxPiece);
        each(data, piece);
        data += piece;
        count -= piece;
    }
}

class TMD5Engine final : public TDigestEngine {
public:
    TMD5Engine() { MD5Init(m_context); }
    void Update(const std::uint8_t* data, std::size_t count) override {
        InPieces(data, count, [this](const std::uint8_t* piece, std::size_t size) {
            MD5Update(m_context, piece, static_cast<std::uint32_t>(size));
        });
    }
    void Finish(std::uint8_t* digest) override {
        const TMD5Digest result = MD5Final(m_context);
        std::memcpy(digest, result.data(), result.size());
    }

private:
    TMD5Context m_context{};
};

// SHA-1 and SHA-256 share their context and differ in their routines.
template <void (*Init)(TSHAContext&), void (*Step)(TSHAContext&, const void*, std::int32_t), auto Final>
class TSHAEngine final : public TDigestEngine {
public:
    TSHAEngine() { Init(m_context); }
    void Update(const std::uint8_t* data, std::size_t count) override {
        InPieces(data, count, [this](const std::uint8_t* piece, std::size_t size) {
            Step(m_context, piece, static_cast<std::int32_t>(size));
        });
    }
    void Finish(std::uint8_t* digest) override {
        const auto result = Final(m_context);
        std::memcpy(digest, result.data(), result.size());
    }

private:
    TSHAContext m_context{};
};

class TBLAKE3Engine final : public TDigestEngine {
public:
    TBLAKE3Engine() { BLAKE3Init(m_context); }
    void Update(const std::uint8_t* data, std::size_t count) override { BLAKE3Update(m_context, data, count); }
    void Finish(std::uint8_t* digest) override {
        const TBLAKE3Digest result = BLAKE3Final(m_context);
        std::memcpy(digest, result.data(), result.size());
    }

private:
    TBLAKE3Context m_context{};
};

} // namespace

std::unique_ptr<TDigestEngine> MakeMD5Engine() {
    return std::make_unique<TMD5Engine>();
}

std::unique_ptr<TDigestEngine> MakeSHA1Engine() {
    return std::make_unique<TSHAEngine<SHA1Init, SHA1Update, SHA1Final>>();
}

std::unique_ptr<TDigestEngine> MakeSHA256Engine() {
    return std::make_unique<TSHAEngine<SHA256Init, SHA256Update, SHA256Final>>();
}

std::unique_ptr<TDigestEngine> MakeBLAKE3Engine() {
    return std::make_unique<TBLAKE3Engine>();
}
