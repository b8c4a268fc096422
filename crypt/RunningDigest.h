// Any of the three digests behind one interface: the algorithm chosen at run time, the bytes
// fed in pieces of any size, the lower-case hexadecimal digest at the end.
#pragma once

#include "crypt/Md5.h"
#include "crypt/ShaContext.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class THashAlgorithm { MD5, SHA1, SHA256 };

// "MD5", "SHA1" or "SHA256": the name the status line, the settings and the tags of checksum
// lists write for the algorithm.
std::string_view HashAlgorithmName(THashAlgorithm algorithm);

// The algorithm whose name is exactly name ("MD5", "SHA1", "SHA256"); nullopt for anything
// else. Callers normalise what a user typed first.
std::optional<THashAlgorithm> HashAlgorithmByName(std::string_view name);

class TRunningDigest {
public:
    // Throws std::invalid_argument for a value outside the enumeration.
    explicit TRunningDigest(THashAlgorithm algorithm);

    // Adds count bytes; any count, handed to the engine in pieces its count type holds.
    void Update(const void* data, std::size_t count);

    // The digest of every byte added. Ends this digest: use a new object for the next one.
    std::string Finish();

private:
    THashAlgorithm m_algorithm;
    TMD5Context m_md5{};
    TSHAContext m_sha{};
};
