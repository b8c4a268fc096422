#include "crypt/RunningDigest.h"

#include "crypt/Hex.h"

#include <cstdint>
#include <vector>

TRunningDigest::TRunningDigest(THashAlgorithm algorithm)
    : m_info(&AlgorithmInfo(algorithm)), m_engine(m_info->MakeEngine()) {}

TRunningDigest::TRunningDigest(THashAlgorithm algorithm, std::unique_ptr<TDigestEngine> engine)
    : m_info(&AlgorithmInfo(algorithm)), m_engine(std::move(engine)) {}

void TRunningDigest::Update(const void* data, std::size_t count) {
    m_engine->Update(static_cast<const std::uint8_t*>(data), count);
}

std::string TRunningDigest::Finish() {
    std::vector<std::uint8_t> digest(m_info->DigestSize);
    m_engine->Finish(digest.data());
    return BytesToHex(digest.data(), digest.size());
}
