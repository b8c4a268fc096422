#include "pipeline/DigestVerdict.h"

TDigestVerdict JudgeDigest(const TExpectedDigest& expected, QStringView digest, QStringView algorithm,
                           QStringView source) {
    TDigestVerdict verdict;
    switch (expected.Kind) {
    case TExpectedDigest::TKind::Empty:
        return verdict;
    case TExpectedDigest::TKind::NotADigest:
        verdict.State = TVerdictState::NotADigest;
        verdict.Text = QStringLiteral("not a digest");
        return verdict;
    case TExpectedDigest::TKind::Digest:
        break;
    }
    const QString from = source.isEmpty() ? QString() : QStringLiteral(" (from ") + source.toString() + u')';
    if (digest.isEmpty()) {
        verdict.State = TVerdictState::Waiting;
        verdict.Text = expected.Algorithm + QStringLiteral(" digest: calculate to compare") + from;
        return verdict;
    }
    if (algorithm != expected.Algorithm) {
        verdict.State = TVerdictState::Waiting;
        verdict.Text = expected.Algorithm + QStringLiteral(" selected: calculate again to compare") + from;
        return verdict;
    }
    const qsizetype difference = FirstDifference(digest, expected.Digest);
    if (difference < 0) {
        verdict.State = TVerdictState::Matches;
        verdict.Text = QStringLiteral("\u2713 Matches") + from;
        return verdict;
    }
    verdict.State = TVerdictState::DoesNotMatch;
    verdict.Text = QStringLiteral("\u2717 Does not match: ") + expected.Algorithm +
                   QStringLiteral(" differs at digit ") + QString::number(difference + 1) + from;
    return verdict;
}
