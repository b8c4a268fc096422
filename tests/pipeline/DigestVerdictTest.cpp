#include "pipeline/DigestVerdict.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct VerdictCase {
    const char* name;
    QString field;
    QString digest;
    QString algorithm;
    QString selected;
    QString source;
    TVerdictState state;
    QString text;
};

void PrintTo(const VerdictCase& c, std::ostream* os) {
    *os << c.name;
}

const QString QSha1 = u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs;
const QString QMd5 = u"900150983cd24fb0d6963f7d28e17f72"_qs;

const VerdictCase VerdictCases[] = {
    {"empty", u"  "_qs, QSha1, u"SHA1"_qs, u"SHA1"_qs, {}, TVerdictState::None, {}},
    {"match_any_case",
     QSha1.toUpper(),
     QSha1,
     u"SHA1"_qs,
     u"SHA1"_qs,
     {},
     TVerdictState::Matches,
     u"\u2713 Matches"_qs},
    {"match_from_list", QSha1, QSha1.toUpper(), u"SHA1"_qs, u"SHA1"_qs, u"SHA1SUMS"_qs, TVerdictState::Matches,
     u"\u2713 Matches (from SHA1SUMS)"_qs},
    {"mismatch_last_digit",
     QSha1.left(39) + u"e"_qs,
     QSha1,
     u"SHA1"_qs,
     u"SHA1"_qs,
     {},
     TVerdictState::DoesNotMatch,
     u"\u2717 Does not match: SHA1 differs at digit 40"_qs},
    {"not_a_digest", u"abc"_qs, QSha1, u"SHA1"_qs, u"SHA1"_qs, {}, TVerdictState::NotADigest, u"not a digest"_qs},
    {"nothing_on_show", QSha1, {}, {}, u"SHA1"_qs, {}, TVerdictState::Waiting, u"SHA1 digest: calculate to compare"_qs},
    {"nothing_on_show_none_selected",
     QSha1,
     {},
     {},
     {},
     {},
     TVerdictState::Waiting,
     u"SHA1 digest: calculate to compare"_qs},
    {"nothing_on_show_other_selected",
     QSha1,
     {},
     {},
     u"MD5"_qs,
     u"SHA1SUMS"_qs,
     TVerdictState::Waiting,
     u"MD5 selected: select SHA1 to compare (from SHA1SUMS)"_qs},
    {"other_algorithm_on_show_field_selected",
     QMd5,
     QSha1,
     u"SHA1"_qs,
     u"MD5"_qs,
     {},
     TVerdictState::Waiting,
     u"MD5 selected: calculate again to compare"_qs},
    {"other_algorithm_on_show_and_selected",
     QMd5,
     QSha1,
     u"SHA1"_qs,
     u"SHA1"_qs,
     {},
     TVerdictState::Waiting,
     u"SHA1 selected: select MD5 to compare"_qs},
};

class DigestVerdictTest : public testing::TestWithParam<VerdictCase> {};

TEST_P(DigestVerdictTest, Judges) {
    const VerdictCase& c = GetParam();
    const TDigestVerdict verdict =
        JudgeDigest(ParseExpectedDigest(c.field), c.digest, c.algorithm, c.selected, c.source);
    EXPECT_EQ(verdict.State, c.state);
    EXPECT_EQ(verdict.Text.toStdString(), c.text.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, DigestVerdictTest, testing::ValuesIn(VerdictCases),
                         [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

} // namespace
