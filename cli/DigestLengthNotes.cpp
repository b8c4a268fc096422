#include "cli/DigestLengthNotes.h"

std::string SkipOthersNote(THashAlgorithm algorithm) {
    std::string typed(HashAlgorithmName(algorithm));
    for (char& c : typed)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return "-a " + typed + " skips the others";
}

std::string NoAlgorithmMatchedNote(std::size_t digits) {
    std::string tried;
    for (const THashAlgorithm algorithm : AlgorithmsOfHexLength(digits))
        tried += (tried.empty() ? "" : ", ") + std::string(HashAlgorithmName(algorithm));
    return "no algorithm of " + std::to_string(digits) + " digits matched: " + tried;
}
