// What quviro-cli says on standard error when a bare digest's length is shared by several
// algorithms (SHA256 and BLAKE3 both have 64 digits) and neither -a, a tag nor a list's name
// chose one: reading told which algorithm the digest is of, or that none of them gives it.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <cstddef>
#include <string>

// How -a is spelled for algorithm, its name in lower case ("blake3", "xxh3-128"), with what
// naming it skips: "-a blake3 skips the others".
std::string SkipOthersNote(THashAlgorithm algorithm);

// The failure of a bare digest of digits hexadecimal digits that no algorithm of that length
// gave: "no algorithm of 64 digits matched: SHA256, SHA512/256, SHA3-256, BLAKE2s-256, BLAKE3".
std::string NoAlgorithmMatchedNote(std::size_t digits);
