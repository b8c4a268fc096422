#include "pipeline/DigestVerdict.h"

#include "crypt/HashAlgorithm.h"

namespace {

// "SHA256", "SHA256 or SHA3-256", "SHA256, SHA3-256 or BLAKE2s-256".
QString OneOf(const QStringList& names) {
    if (names.size() < 2)
        return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.back();
}

// The verdict while no digest of an algorithm the expected one may be of is on show.
TDigestVerdict Waiting(const TExpectedDigest& expected, const QStringList& candidates, QStringView digest,
                       QStringView selected) {
    TDigestVerdict verdict;
    verdict.State = TVerdictState::Waiting;
    // The selected algorithm is the one calculated next; a digest of its length may be of it.
    const QString named = candidates.contains(selected) ? selected.toString() : expected.Algorithm;
    if (!selected.isEmpty() && !candidates.contains(selected))
        verdict.Text = selected.toString() + QStringLiteral(" selected: select ") + expected.Algorithm +
                       QStringLiteral(" to compare");
    else if (digest.isEmpty())
        verdict.Text = named + QStringLiteral(" digest: calculate to compare");
    else
        verdict.Text = named + QStringLiteral(" selected: calculate again to compare");
    return verdict;
}

} // namespace

TDigestVerdict JudgeDigest(const TExpectedDigest& expected, QStringView digest, QStringView algorithm,
                           QStringView selected, QStringView source, const QList<TAlgorithmDigest>& extra) {
    TDigestVerdict verdict;
    switch (expected.Kind) {
    case TExpectedDigest::TKind::Empty:
        return verdict;
    case TExpectedDigest::TKind::NotADigest:
        verdict.State = TVerdictState::NotADigest;
        verdict.Text = expected.Seen.isEmpty() ? QStringLiteral("not a digest") : expected.Seen;
        return verdict;
    case TExpectedDigest::TKind::Digest:
        break;
    }
    const QString from = source.isEmpty() ? QString() : QStringLiteral(" (from ") + source.toString() + u')';
    const QStringList candidates = AlgorithmsOfDigest(expected);
    // The digests to compare with: the one on show first, then those of the same read.
    QList<TAlgorithmDigest> tried;
    QStringList triedNames;
    const auto consider = [&](QStringView name, QStringView value) {
        if (!value.isEmpty() && candidates.contains(name) && AppendAlgorithmOnce(triedNames, name.toString()))
            tried.append({name.toString(), value.toString()});
    };
    consider(algorithm, digest);
    for (const TAlgorithmDigest& other : extra)
        consider(other.Algorithm, other.Digest);
    if (tried.isEmpty()) {
        verdict = Waiting(expected, candidates, digest, selected);
        verdict.Text += from;
        return verdict;
    }
    for (const TAlgorithmDigest& other : tried) {
        if (FirstDifference(other.Digest, expected.Digest) < 0) {
            verdict.State = TVerdictState::Matches;
            verdict.Text = QStringLiteral("\u2713 Matches") +
                           (other.Algorithm == algorithm ? QString() : u' ' + other.Algorithm) + from;
            return verdict;
        }
    }
    if (candidates.size() == 1) {
        verdict.State = TVerdictState::DoesNotMatch;
        verdict.Text = QStringLiteral("\u2717 Does not match: ") + expected.Algorithm +
                       QStringLiteral(" differs at digit ") +
                       QString::number(FirstDifference(tried.front().Digest, expected.Digest) + 1) + from;
    } else if (tried.size() == candidates.size()) {
        verdict.State = TVerdictState::DoesNotMatch;
        verdict.Text = QStringLiteral("\u2717 Does not match ") + OneOf(candidates) + from;
        verdict.ShortText = QStringLiteral("\u2717 Does not match any of ") + QString::number(candidates.size()) +
                            QStringLiteral(" algorithms of ") + QString::number(expected.Digest.size()) +
                            QStringLiteral(" digits") + from;
    } else {
        const qsizetype rest = candidates.size() - tried.size();
        verdict.State = TVerdictState::Waiting;
        verdict.Text = QStringLiteral("Not ") + OneOf(triedNames) + QStringLiteral(": calculate again to try ") +
                       QString::number(rest) +
                       (rest == 1 ? QStringLiteral(" more algorithm") : QStringLiteral(" more algorithms")) + from;
    }
    return verdict;
}

TDigestVerdict TypingVerdict(const TExpectedDigest& expected, qsizetype digits, QStringView selected) {
    TDigestVerdict verdict;
    const QString typed = QString::number(digits) + QStringLiteral(" digits");
    if (expected.IsDigest()) {
        verdict.State = TVerdictState::Waiting;
        verdict.Text =
            typed + QStringLiteral(", the length of ") + expected.Algorithm + QStringLiteral(": Enter selects it");
        verdict.ShortText = typed + QStringLiteral(": ") + expected.Algorithm;
        return verdict;
    }
    const qsizetype longer = LongerDigestLength(digits, selected);
    if (longer == 0)
        return verdict;
    verdict.State = TVerdictState::Waiting;
    verdict.Text =
        QString::number(digits) + QStringLiteral(" of ") + QString::number(longer) + QStringLiteral(" digits");
    return verdict;
}
