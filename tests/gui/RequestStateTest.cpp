// The window's request state without a window: which requests hash the same, when the digest
// on show turns stale and back, and when a list's algorithm is to be selected.
#include "gui/RequestState.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

HashRequest TextRequest() {
    HashRequest request;
    request.InputType = InputTypeText;
    request.InputText = u"abc";
    request.TrimInput = true;
    request.SaltType = SaltTypePrefix;
    request.SaltText = u"pepper";
    request.HashItems = {u"MD5", u"SHA1", u"SHA256", u"SHA512"};
    request.HashType = 1;
    return request;
}

HashRequest FileRequest() {
    HashRequest request = TextRequest();
    request.InputType = InputTypeFile;
    request.InputText = u"/tmp/a.iso";
    return request;
}

struct SameCase {
    const char* name;
    HashRequest (*base)();
    std::function<void(HashRequest&)> change;
    bool same;
};

const SameCase SameCases[] = {
    {"nothing changed", TextRequest, [](HashRequest&) {}, true},
    {"input text", TextRequest, [](HashRequest& r) { r.InputText += u'd'; }, false},
    {"input type", TextRequest, [](HashRequest& r) { r.InputType = InputTypeHex; }, false},
    {"selected item", TextRequest, [](HashRequest& r) { r.HashType = 2; }, false},
    {"algorithm of the selected item", TextRequest, [](HashRequest& r) { r.HashItems[1] = u"SHA3-256"; }, false},
    {"drop-down beside the selected item", TextRequest, [](HashRequest& r) { r.HashItems[3] = u"SHA3-256"; }, true},
    {"upper case", TextRequest, [](HashRequest& r) { r.UpperHash = true; }, false},
    {"trim of a text", TextRequest, [](HashRequest& r) { r.TrimInput = false; }, false},
    {"salt type of a text", TextRequest, [](HashRequest& r) { r.SaltType = SaltTypeSuffix; }, false},
    {"salt of a text", TextRequest, [](HashRequest& r) { r.SaltText = u"Pepper"; }, false},
    {"trim of a file", FileRequest, [](HashRequest& r) { r.TrimInput = false; }, true},
    {"salt type of a file", FileRequest, [](HashRequest& r) { r.SaltType = SaltTypeNone; }, true},
    {"salt of a file", FileRequest, [](HashRequest& r) { r.SaltText.clear(); }, true},
    {"file name", FileRequest, [](HashRequest& r) { r.InputText = u"/tmp/b.iso"; }, false},
};

TEST(RequestStateTest, RequestsHashTheSameWhenWhatTheyHashIsTheSame) {
    for (const SameCase& c : SameCases) {
        SCOPED_TRACE(c.name);
        const HashRequest a = c.base();
        HashRequest b = a;
        c.change(b);
        EXPECT_EQ(TRequestState::SameRequest(a, b), c.same);
        EXPECT_EQ(TRequestState::SameRequest(b, a), c.same);
        EXPECT_EQ(TRequestState::Shows(a, b), c.same);
    }
}

TEST(RequestStateTest, TheDigestOnShowTurnsStaleAndBack) {
    TRequestState state;
    const HashRequest hashed = TextRequest();
    HashRequest changed = hashed;
    changed.InputText = u"abcd";
    EXPECT_EQ(state.ControlsChanged(changed), std::nullopt) << "no digest on show";

    state.ClearShown();
    state.Started(hashed);
    HashOutcome outcome;
    outcome.Digest = u"a9993e364706816aba3e25717850c26c9cd0d89d";
    outcome.Algorithm = u"SHA1";
    state.Show(hashed, outcome, QStringLiteral("Success creating SHA1 hash."));
    ASSERT_TRUE(state.HasShown());
    EXPECT_EQ(state.ShownOutcome().Digest, outcome.Digest);
    EXPECT_EQ(state.ShownStatus(), u"Success creating SHA1 hash.");
    EXPECT_FALSE(state.Stale());

    EXPECT_EQ(state.ControlsChanged(hashed), std::nullopt) << "still the request shown";
    EXPECT_EQ(state.ControlsChanged(changed), std::optional<bool>(true));
    EXPECT_TRUE(state.Stale());
    HashRequest changedMore = changed;
    changedMore.UpperHash = true;
    EXPECT_EQ(state.ControlsChanged(changedMore), std::nullopt) << "stale already";
    EXPECT_EQ(state.ControlsChanged(hashed), std::optional<bool>(false)) << "changed back";
    EXPECT_FALSE(state.Stale());

    EXPECT_EQ(state.ControlsChanged(changed), std::optional<bool>(true));
    state.ClearShown();
    EXPECT_FALSE(state.HasShown());
    EXPECT_FALSE(state.Stale());
    EXPECT_EQ(state.ControlsChanged(hashed), std::nullopt) << "a new hash shows nothing yet";
}

TEST(RequestStateTest, AListsAlgorithmIsSelectedOnlyForControlsTheUserLeftAlone) {
    TRequestState state;
    const HashRequest running = FileRequest();
    state.Started(running);
    HashRequest againWithList = running;
    againWithList.HashType = 2;
    HashRequest userChanged = running;
    userChanged.InputText = u"/tmp/c.iso";

    EXPECT_TRUE(state.SelectsListAlgorithm(againWithList, running));
    EXPECT_FALSE(state.SelectsListAlgorithm(againWithList, userChanged)) << "the user changed the controls";
    EXPECT_FALSE(state.SelectsListAlgorithm(running, running)) << "hashed as asked";
}

} // namespace
