#include "tests/crypt/DigestTestSupport.h"

#include "crypt/Hex.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace {

template <class Context, class Init, class Update, class Final>
std::string FeedPieces(std::string_view message, const std::vector<std::size_t>& cuts, Init init, Update update,
                       Final final) {
    Context context;
    init(context);
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        update(context, message.data() + start, cut - start);
        start = cut;
    }
    update(context, message.data() + start, message.size() - start);
    return final(context);
}

std::string MD5Pieces(std::string_view message, const std::vector<std::size_t>& cuts) {
    return FeedPieces<TMD5Context>(
        message, cuts, MD5Init,
        [](TMD5Context& c, const char* p, std::size_t n) { MD5Update(c, p, static_cast<std::uint32_t>(n)); },
        [](TMD5Context& c) { return MD5ToHex(MD5Final(c)); });
}

std::string SHA1Pieces(std::string_view message, const std::vector<std::size_t>& cuts) {
    return FeedPieces<TSHAContext>(
        message, cuts, SHA1Init,
        [](TSHAContext& c, const char* p, std::size_t n) { SHA1Update(c, p, static_cast<std::int32_t>(n)); },
        [](TSHAContext& c) { return SHA1ToHex(SHA1Final(c)); });
}

std::string SHA256Pieces(std::string_view message, const std::vector<std::size_t>& cuts) {
    return FeedPieces<TSHAContext>(
        message, cuts, SHA256Init,
        [](TSHAContext& c, const char* p, std::size_t n) { SHA256Update(c, p, static_cast<std::int32_t>(n)); },
        [](TSHAContext& c) { return SHA256ToHex(SHA256Final(c)); });
}

// Offsets worth splitting a long message at: around block and chunk edges and the middle.
std::vector<std::size_t> SplitOffsets(std::size_t size, std::size_t everyOffsetUpTo) {
    if (size <= everyOffsetUpTo) {
        std::vector<std::size_t> all(size + 1);
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    std::vector<std::size_t> offsets = {0,         1,        55,   56,   63,   64,   65,           1023,
                                        1024,      1025,     2048, 4095, 4096, 4097, size / 2 + 7, size - 65,
                                        size - 64, size - 1, size};
    std::erase_if(offsets, [size](std::size_t offset) { return offset > size; });
    return offsets;
}

} // namespace

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

std::string BLAKE3WholeHex(const std::vector<std::uint8_t>& bytes) {
    TBLAKE3Context context;
    BLAKE3Init(context);
    BLAKE3Update(context, bytes.data(), bytes.size());
    return BLAKE3ToHex(BLAKE3Final(context));
}

std::string BLAKE3Pieces(std::string_view message, const std::vector<std::size_t>& cuts) {
    return FeedPieces<TBLAKE3Context>(message, cuts, BLAKE3Init, BLAKE3Update,
                                      [](TBLAKE3Context& c) { return BLAKE3ToHex(BLAKE3Final(c)); });
}

const TEngineUnderTest MD5UnderTest = {"MD5", &TDigestVector::MD5, MD5Pieces};
const TEngineUnderTest SHA1UnderTest = {"SHA1", &TDigestVector::SHA1, SHA1Pieces};
const TEngineUnderTest SHA256UnderTest = {"SHA256", &TDigestVector::SHA256, SHA256Pieces};

void CheckVectorsAllWays(const TEngineUnderTest& engine) {
    std::vector<TKnownAnswer> answers;
    for (const TDigestVector& vector : DigestVectors())
        answers.push_back({vector.Name, vector.Message, vector.*engine.Expected});
    CheckAnswersAllWays(engine.Name, engine.HashPieces, answers);
}

void CheckAnswersAllWays(const char* engineName, THashPieces hashPieces, const std::vector<TKnownAnswer>& answers,
                         std::size_t everyOffsetUpTo) {
    std::mt19937 random(20240517);
    for (const TKnownAnswer& answer : answers) {
        SCOPED_TRACE(std::string(engineName) + " vector " + answer.Name);
        const std::string& message = answer.Message;
        const std::string& expected = answer.Expected;

        EXPECT_EQ(hashPieces(message, {}), expected) << "fed whole";

        std::vector<std::size_t> bytes;
        for (std::size_t i = 1; i < message.size(); ++i)
            bytes.push_back(i);
        EXPECT_EQ(hashPieces(message, bytes), expected) << "fed byte by byte";

        for (std::size_t offset : SplitOffsets(message.size(), everyOffsetUpTo))
            EXPECT_EQ(hashPieces(message, {offset}), expected) << "split at " << offset;

        // Pieces from nothing to several blocks long, and from nothing to several chunks long,
        // ending on and off block edges.
        for (std::size_t longest : {std::size_t{300}, std::size_t{9000}}) {
            std::uniform_int_distribution<std::size_t> pieceSize(0, longest);
            for (int round = 0; round < 8; ++round) {
                std::vector<std::size_t> cuts;
                for (std::size_t at = pieceSize(random); at <= message.size(); at += pieceSize(random))
                    cuts.push_back(at);
                EXPECT_EQ(hashPieces(message, cuts), expected)
                    << "random pieces up to " << longest << " bytes, round " << round;
            }
        }
    }
}
