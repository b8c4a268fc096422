// The verdict beside the expected digest: how the digest on show compares with the one the
// user expects. GUI-free, so the rules are tested without a window.
#pragma once

#include "pipeline/ExpectedDigest.h"
#include "pipeline/HashPipeline.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class TVerdictState {
    None,         // the field is empty: nothing is shown
    Matches,      // "✓ Matches", or "✓ Matches BLAKE2s-256" when another digest of the read matched
    DoesNotMatch, // "✗ Does not match" with the algorithm and the first differing digit, or with
                  // every algorithm of the digest's length
    NotADigest,   // the field holds something else
    Waiting,      // a digest is expected, but none of its algorithm is on show yet
};

struct TDigestVerdict {
    TVerdictState State = TVerdictState::None;
    std::u16string Text;
    // The same verdict in fewer words, for a window too narrow for Text; empty when Text has no
    // shorter form. Only a digest that matches none of several algorithms has one: "✗ Does not
    // match any of 5 algorithms of 64 digits".
    std::u16string ShortText;
};

// expected: the field's content, read by ParseExpectedDigest. digest and algorithm: the digest
// on show ("" when none) and its algorithm ("MD5", "SHA1", "SHA256"). selected: the algorithm
// selected for the next calculation, named while the verdict waits for one ("" when none).
// source: the checksum list the expected digest was read from, named in the verdict; empty
// when the user gave it. extra: further digests of the same input from the same read.
//
// The digest is compared with every digest given of an algorithm it may be of
// (AlgorithmsOfDigest): a match is "✓ Matches", naming the algorithm when it is not the one on
// show. Without a match, an algorithm of its own is "✗ Does not match: SHA1 differs at digit 7"
// (digits counted from 1); a length several algorithms share is "✗ Does not match" and their
// names once all of them were compared, else it waits for a calculation to try the rest.
TDigestVerdict JudgeDigest(const TExpectedDigest& expected, std::u16string_view digest, std::u16string_view algorithm,
                           std::u16string_view selected, std::u16string_view source = {},
                           const std::vector<TAlgorithmDigest>& extra = {});

// While a digest is typed key by key and may still grow: expected is the field read as it
// stands, digits the number of hexadecimal digits typed. A length that is a whole digest of some
// algorithm says which, the one its length commonly means and Enter would select ("40 digits,
// the length of SHA1: Enter selects it", shorter "40 digits: SHA1"); any other length counts
// toward selected's length, or the next longer one ("20 of 64 digits"). Both wait. State None
// when no digest is that long or longer.
TDigestVerdict TypingVerdict(const TExpectedDigest& expected, std::ptrdiff_t digits, std::u16string_view selected);
