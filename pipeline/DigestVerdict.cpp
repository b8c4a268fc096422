#include "pipeline/DigestVerdict.h"

#include "crypt/HashAlgorithm.h"
#include "text/PlainText.h"

#include <algorithm>

namespace {

using TNames = std::vector<std::u16string>;

bool Contains(const TNames& names, std::u16string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::u16string Number(std::ptrdiff_t value) {
    return Latin1(std::to_string(value));
}

// "SHA256", "SHA256 or SHA3-256", "SHA256, SHA3-256 or BLAKE2s-256".
std::u16string OneOf(const TNames& names) {
    std::u16string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? u"" : i + 1 == names.size() ? u" or " : u", ") + names[i];
    return text;
}

// The verdict while no digest of an algorithm the expected one may be of is on show.
TDigestVerdict Waiting(const TExpectedDigest& expected, const TNames& candidates, std::u16string_view digest,
                       std::u16string_view selected) {
    TDigestVerdict verdict;
    verdict.State = TVerdictState::Waiting;
    // The selected algorithm is the one calculated next; a digest of its length may be of it.
    const std::u16string named = Contains(candidates, selected) ? std::u16string(selected) : expected.Algorithm;
    if (!selected.empty() && !Contains(candidates, selected))
        verdict.Text = std::u16string(selected) + u" selected: select " + expected.Algorithm + u" to compare";
    else if (digest.empty())
        verdict.Text = named + u" digest: calculate to compare";
    else
        verdict.Text = named + u" selected: calculate again to compare";
    return verdict;
}

} // namespace

TDigestVerdict JudgeDigest(const TExpectedDigest& expected, std::u16string_view digest, std::u16string_view algorithm,
                           std::u16string_view selected, std::u16string_view source,
                           const std::vector<TAlgorithmDigest>& extra) {
    TDigestVerdict verdict;
    switch (expected.Kind) {
    case TExpectedDigest::TKind::Empty:
        return verdict;
    case TExpectedDigest::TKind::NotADigest:
        verdict.State = TVerdictState::NotADigest;
        verdict.Text = expected.Seen.empty() ? u"not a digest" : expected.Seen;
        return verdict;
    case TExpectedDigest::TKind::Digest:
        break;
    }
    const std::u16string from = source.empty() ? std::u16string() : u" (from " + std::u16string(source) + u')';
    const TNames candidates = AlgorithmsOfDigest(expected);
    // The digests to compare with: the one on show first, then those of the same read.
    std::vector<TAlgorithmDigest> tried;
    TNames triedNames;
    const auto consider = [&](std::u16string_view name, std::u16string_view value) {
        if (!value.empty() && Contains(candidates, name) && AppendAlgorithmOnce(triedNames, std::u16string(name)))
            tried.push_back({std::u16string(name), std::u16string(value)});
    };
    consider(algorithm, digest);
    for (const TAlgorithmDigest& other : extra)
        consider(other.Algorithm, other.Digest);
    if (tried.empty()) {
        verdict = Waiting(expected, candidates, digest, selected);
        verdict.Text += from;
        return verdict;
    }
    for (const TAlgorithmDigest& other : tried) {
        if (FirstDifference(other.Digest, expected.Digest) < 0) {
            verdict.State = TVerdictState::Matches;
            verdict.Text =
                u"\u2713 Matches" + (other.Algorithm == algorithm ? std::u16string() : u' ' + other.Algorithm) + from;
            return verdict;
        }
    }
    if (candidates.size() == 1) {
        verdict.State = TVerdictState::DoesNotMatch;
        verdict.Text = u"\u2717 Does not match: " + expected.Algorithm + u" differs at digit " +
                       Number(FirstDifference(tried.front().Digest, expected.Digest) + 1) + from;
    } else if (tried.size() == candidates.size()) {
        verdict.State = TVerdictState::DoesNotMatch;
        verdict.Text = u"\u2717 Does not match " + OneOf(candidates) + from;
        verdict.ShortText = u"\u2717 Does not match any of " + Number(std::ssize(candidates)) + u" algorithms of " +
                            Number(std::ssize(expected.Digest)) + u" digits" + from;
    } else {
        const std::ptrdiff_t rest = std::ssize(candidates) - std::ssize(tried);
        verdict.State = TVerdictState::Waiting;
        verdict.Text = u"Not " + OneOf(triedNames) + u": calculate again to try " + Number(rest) +
                       (rest == 1 ? u" more algorithm" : u" more algorithms") + from;
    }
    return verdict;
}

TDigestVerdict TypingVerdict(const TExpectedDigest& expected, std::ptrdiff_t digits, std::u16string_view selected) {
    TDigestVerdict verdict;
    const std::u16string typed = Number(digits) + u" digits";
    if (expected.IsDigest()) {
        verdict.State = TVerdictState::Waiting;
        verdict.Text = typed + u", the length of " + expected.Algorithm + u": Enter selects it";
        verdict.ShortText = typed + u": " + expected.Algorithm;
        return verdict;
    }
    const std::ptrdiff_t longer = LongerDigestLength(digits, selected);
    if (longer == 0)
        return verdict;
    verdict.State = TVerdictState::Waiting;
    verdict.Text = Number(digits) + u" of " + Number(longer) + u" digits";
    return verdict;
}
