// Known-answer vectors shared by the engine tests: each message with its MD5, SHA-1 and SHA-256.
#pragma once

#include <string>
#include <vector>

struct TDigestVector {
    std::string Name;
    std::string Message;
    std::string MD5;
    std::string SHA1;
    std::string SHA256;
};

const std::vector<TDigestVector>& DigestVectors();
