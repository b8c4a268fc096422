// The verdict beside the expected digest: how the digest on show compares with the one the
// user expects. GUI-free, so the rules are tested without a window.
#pragma once

#include "pipeline/ExpectedDigest.h"

#include <QString>
#include <QStringView>

enum class TVerdictState {
    None,         // the field is empty: nothing is shown
    Matches,      // "✓ Matches"
    DoesNotMatch, // "✗ Does not match" with the algorithm and the first differing digit
    NotADigest,   // the field holds something else
    Waiting,      // a digest is expected, but none of its algorithm is on show yet
};

struct TDigestVerdict {
    TVerdictState State = TVerdictState::None;
    QString Text;
};

// expected: the field's content, read by ParseExpectedDigest. digest and algorithm: the digest
// on show ("" when none) and its algorithm ("MD5", "SHA1", "SHA256"). selected: the algorithm
// selected for the next calculation, named while the verdict waits for one ("" when none).
// source: the checksum list the expected digest was read from, named in the verdict; empty
// when the user gave it. Digits are counted from 1 in the text.
TDigestVerdict JudgeDigest(const TExpectedDigest& expected, QStringView digest, QStringView algorithm,
                           QStringView selected, QStringView source = {});
