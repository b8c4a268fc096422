#include "pipeline/DigestVerdict.h"

#include "text/TextEncoding.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include <string>
#include <vector>

namespace {

// A further digest of the read, as the cases write it.
struct TQtDigest {
    QString Algorithm;
    QString Digest;
};

std::vector<TAlgorithmDigest> Digests(const QList<TQtDigest>& digests) {
    std::vector<TAlgorithmDigest> converted;
    for (const TQtDigest& digest : digests)
        converted.push_back({std::u16string(Utf16(digest.Algorithm)), std::u16string(Utf16(digest.Digest))});
    return converted;
}

struct VerdictCase {
    const char* name;
    QString field;
    QString digest;
    QString algorithm;
    QString selected;
    QString source;
    TVerdictState state;
    QString text;
    // Further digests of the same read.
    QList<TQtDigest> extra = {};
    QString shortText = {};
};

void PrintTo(const VerdictCase& c, std::ostream* os) {
    *os << c.name;
}

const QString QSha1 = u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs;
const QString QMd5 = u"900150983cd24fb0d6963f7d28e17f72"_qs;
// Digests of lengths several algorithms share: 64 digits (SHA256, SHA3-256, ...), 128 (SHA512,
// SHA3-512, BLAKE2b-512), 32 (MD5, XXH3-128). Only their being equal or not matters here.
const QString Q64a = QString(64, u'a');
const QString Q64b = QString(64, u'b');
const QString Q128a = QString(128, u'a');
const QString Q128b = QString(128, u'b');
const QString Q128c = QString(128, u'c');
const QString Q128d = QString(128, u'd');
const QString Q32 = QString(32, u'e');
const QList<TQtDigest> Of128 = {{u"SHA3-512"_qs, Q128b}, {u"BLAKE2b-512"_qs, Q128c}};

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
    // A digest whose length several algorithms share: the one selected is not flipped to the
    // length's common meaning, and the other digests of the read are compared too.
    {"shared_length_of_the_selected",
     Q64a,
     Q64a,
     u"SHA3-256"_qs,
     u"SHA3-256"_qs,
     {},
     TVerdictState::Matches,
     u"\u2713 Matches"_qs},
    {"shared_length_another_of_the_read_matches",
     Q128c.toUpper(),
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::Matches,
     u"\u2713 Matches BLAKE2b-512"_qs,
     Of128},
    {"shared_length_in_a_gnu_line",
     Q128b + u"  f.iso"_qs,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::Matches,
     u"\u2713 Matches SHA3-512"_qs,
     Of128},
    {"shared_length_the_one_on_show_matches_first",
     Q128a,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::Matches,
     u"\u2713 Matches"_qs,
     {{u"SHA3-512"_qs, Q128a}}},
    {"shared_length_none_matches",
     Q128d,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::DoesNotMatch,
     u"\u2717 Does not match SHA512, SHA3-512 or BLAKE2b-512"_qs,
     Of128,
     u"\u2717 Does not match any of 3 algorithms of 128 digits"_qs},
    {"shared_length_none_of_two_matches",
     Q32,
     QMd5,
     u"MD5"_qs,
     u"MD5"_qs,
     {},
     TVerdictState::DoesNotMatch,
     u"\u2717 Does not match MD5 or XXH3-128"_qs,
     {{u"XXH3-128"_qs, QMd5}},
     u"\u2717 Does not match any of 2 algorithms of 32 digits"_qs},
    {"shared_length_others_not_calculated",
     Q128d,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::Waiting,
     u"Not SHA512: calculate again to try 2 more algorithms"_qs},
    {"shared_length_one_other_not_calculated",
     Q32,
     QMd5,
     u"MD5"_qs,
     u"MD5"_qs,
     {},
     TVerdictState::Waiting,
     u"Not MD5: calculate again to try 1 more algorithm"_qs},
    {"shared_length_extra_of_other_lengths_ignored",
     Q128d,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::Waiting,
     u"Not SHA512: calculate again to try 2 more algorithms"_qs,
     {{u"SHA1"_qs, QSha1}, {u"SHA3-256"_qs, Q64a}}},
    {"shared_length_nothing_on_show",
     Q64a,
     {},
     {},
     u"SHA3-256"_qs,
     {},
     TVerdictState::Waiting,
     u"SHA3-256 digest: calculate to compare"_qs},
    {"shared_length_other_length_on_show",
     Q64a,
     QSha1,
     u"SHA1"_qs,
     u"SHA3-256"_qs,
     {},
     TVerdictState::Waiting,
     u"SHA3-256 selected: calculate again to compare"_qs},
    {"shared_length_other_length_selected",
     Q64a,
     {},
     {},
     u"SHA1"_qs,
     {},
     TVerdictState::Waiting,
     u"SHA1 selected: select SHA256 to compare"_qs},
    // A tag names the one algorithm to compare with, whatever else the read gave.
    {"tagged_matches_an_extra",
     u"SHA3-512 (f.iso) = "_qs + Q128b,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::Matches,
     u"\u2713 Matches SHA3-512"_qs,
     Of128},
    {"tagged_ignores_other_algorithms",
     u"SHA512 (f.iso) = "_qs + Q128b,
     Q128a,
     u"SHA512"_qs,
     u"SHA512"_qs,
     {},
     TVerdictState::DoesNotMatch,
     u"\u2717 Does not match: SHA512 differs at digit 1"_qs,
     Of128},
    {"tagged_waits_for_its_algorithm",
     u"SHA3-256 (f.iso) = "_qs + Q64a,
     Q64b,
     u"SHA256"_qs,
     u"SHA256"_qs,
     {},
     TVerdictState::Waiting,
     u"SHA256 selected: select SHA3-256 to compare"_qs},
};

class DigestVerdictTest : public testing::TestWithParam<VerdictCase> {};

TEST_P(DigestVerdictTest, Judges) {
    const VerdictCase& c = GetParam();
    const TDigestVerdict verdict = JudgeDigest(ParseExpectedDigest(Utf16(c.field)), Utf16(c.digest), Utf16(c.algorithm),
                                               Utf16(c.selected), Utf16(c.source), Digests(c.extra));
    EXPECT_EQ(verdict.State, c.state);
    EXPECT_EQ(EncodeUtf8(verdict.Text), c.text.toStdString());
    EXPECT_EQ(EncodeUtf8(verdict.ShortText), c.shortText.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, DigestVerdictTest, testing::ValuesIn(VerdictCases),
                         [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

// Digits typed key by key: a length that is a whole digest of some algorithm says which (the
// one Enter would select), any other counts toward the selected algorithm or the next longer one.
struct TypingCase {
    const char* name;
    std::ptrdiff_t digits;
    QString selected;
    TVerdictState state;
    QString text;
    QString shortText = {};
};

const TypingCase TypingCases[] = {
    {"short_of_the_selected", 20, u"SHA256"_qs, TVerdictState::Waiting, u"20 of 64 digits"_qs},
    {"whole_sha1_while_sha512_is_selected", 40, u"SHA512"_qs, TVerdictState::Waiting,
     u"40 digits, the length of SHA1: Enter selects it"_qs, u"40 digits: SHA1"_qs},
    {"one_digit_more", 41, u"SHA512"_qs, TVerdictState::Waiting, u"41 of 128 digits"_qs},
    {"shared_length_names_its_common_meaning", 64, u"SHA1"_qs, TVerdictState::Waiting,
     u"64 digits, the length of SHA256: Enter selects it"_qs, u"64 digits: SHA256"_qs},
    {"whole_md5", 32, u"SHA1"_qs, TVerdictState::Waiting, u"32 digits, the length of MD5: Enter selects it"_qs,
     u"32 digits: MD5"_qs},
    {"past_every_length", 130, u"SHA1"_qs, TVerdictState::None, QString()},
};

class TypingVerdictTest : public testing::TestWithParam<TypingCase> {};

TEST_P(TypingVerdictTest, SaysWhatTheTypedDigitsAre) {
    const TypingCase& c = GetParam();
    const QString digits(c.digits, u'a');
    const TDigestVerdict verdict = TypingVerdict(ParseExpectedDigest(Utf16(digits)), c.digits, Utf16(c.selected));
    EXPECT_EQ(verdict.State, c.state);
    EXPECT_EQ(EncodeUtf8(verdict.Text), c.text.toStdString());
    EXPECT_EQ(EncodeUtf8(verdict.ShortText), c.shortText.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, TypingVerdictTest, testing::ValuesIn(TypingCases),
                         [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

} // namespace
