#include "pipeline/DigestVerdict.h"

TDigestVerdict JudgeDigest(const TExpectedDigest& expected, QStringView digest, QStringView algorithm,
                           QStringView selected, QStringView source) {
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
    if (digest.isEmpty() || algorithm != expected.Algorithm) {
        verdict.State = TVerdictState::Waiting;
        if (!selected.isEmpty() && selected != expected.Algorithm)
            verdict.Text = selected.toString() + QStringLiteral(" selected: select ") + expected.Algorithm +
                           QStringLiteral(" to compare");
        else if (digest.isEmpty())
            verdict.Text = expected.Algorithm + QStringLiteral(" digest: calculate to compare");
        else
            verdict.Text = expected.Algorithm + QStringLiteral(" selected: calculate again to compare");
        verdict.Text += from;
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
