// The request pipeline with arbitrary requests answers exactly one of its defined outcomes:
// a digest of the algorithm's length in the requested case, or an empty digest with one of the
// status messages its input type can give. File names stay inside a private folder of a few
// small files, so that the run never reads large or special files of the machine.
#include "crypt/HashAlgorithm.h"
#include "fuzz/FuzzFolder.h"
#include "fuzz/FuzzInput.h"
#include "pipeline/HashPipeline.h"
#include "tools/TextUtils.h"

#include <QFile>

#include <optional>

namespace {

void CreateFiles() {
    const QString folder = FuzzDataFolder();
    for (const auto& [name, content] : {std::pair{"abc", "abc"}, {"empty", ""}, {" spaced name ", "x\r\n"}}) {
        QFile file(folder + QString::fromLatin1(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != qint64(qstrlen(content)))
            FuzzFailure("cannot create the fuzz files");
    }
}

bool IsHex(const QString& text, bool upper) {
    return std::all_of(text.begin(), text.end(), [&](QChar c) {
        return (c >= u'0' && c <= u'9') || (upper ? (c >= u'A' && c <= u'F') : (c >= u'a' && c <= u'f'));
    });
}

bool FailureMessageFits(const HashRequest& request, const QString& error) {
    if (error.startsWith(u"Error Hashing data: "))
        return request.InputType == InputTypeFile || request.InputType == InputTypeText ||
               request.InputType == InputTypeBase64;
    if (error == u"Unknown Algorithm")
        return request.InputType == InputTypeFile || request.InputType == InputTypeText ||
               request.InputType == InputTypeBase64;
    switch (request.InputType) {
    case InputTypeFile:
        return error == u"File does not exist" || error.startsWith(u"Error Opening File: ");
    case InputTypeText:
        return error == u"No valid text" || error.startsWith(u"Error loading text: ");
    case InputTypeHex:
        return error == u"No valid text" || error == u"(Hexadecimal not supported in this version)";
    case InputTypeBase64:
        return error == u"No valid text" || error == u"Invalid Base-64 text" ||
               error.startsWith(u"Error loading text: ");
    default:
        return error == u"Unsupported Input Method";
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool created = (CreateFiles(), true);
    (void)created;

    TFuzzInput input(data, size);
    HashRequest request;
    // Two values below the input types and two above them.
    request.InputType = int(input.Range(InputTypeFile - 2, InputTypeCount + 1));
    request.TrimInput = input.Byte() & 1;
    request.SaltType = int(input.Range(SaltTypeNone - 1, SaltTypeSuffix + 1));
    request.UpperHash = input.Byte() & 1;
    request.HashType = int(input.Range(-1, 4));
    static const char16_t* const Names[] = {u"MD5", u"SHA1", u"SHA256", u" sha-256 ", u"SHA512", u""};
    for (int n = int(input.Range(0, 4)); n > 0; --n)
        request.HashItems.emplace_back(Names[input.Range(0, 5)]);
    request.SaltText = Utf16(input.Text());
    request.InputText = Utf16(input.Text());
    if (request.InputType == InputTypeFile) {
        // Only names below the private folder, never ".." out of it.
        if (request.InputText.find(u"..") != std::u16string::npos)
            return 0;
        request.InputText.insert(0, Utf16(FuzzDataFolder()));
    }

    HashOutcome outcome;
    try {
        outcome = RunHashRequest(request);
    } catch (...) {
        FuzzFailure("the pipeline threw");
    }

    const QString context = QString::number(request.InputType) + u' ' + ToQString(request.InputText);
    const QString digest = ToQString(outcome.Digest);
    const QString salt = ToQString(outcome.SaltToRemember);
    const QString error = ToQString(outcome.ErrorText);
    if (outcome.Succeeded()) {
        const std::optional<THashAlgorithm> known = HashAlgorithmByName(ToQString(outcome.Algorithm).toStdString());
        if (!known || digest.size() != qsizetype(AlgorithmInfo(*known).HexLength()) ||
            !IsHex(digest, request.UpperHash))
            FuzzFailure("a success without a proper digest", context + QStringLiteral(" -> ") + digest);
        const bool salted = request.InputType == InputTypeText && request.SaltType > SaltTypeNone;
        if (salt != (salted ? Trim(ToQString(request.SaltText)) : QString()))
            FuzzFailure("the salt to remember is wrong", context);
        if (request.InputType != InputTypeFile && request.InputType != InputTypeText &&
            request.InputType != InputTypeBase64)
            FuzzFailure("an input type that cannot succeed succeeded", context);
    } else {
        if (!digest.isEmpty() || !salt.isEmpty())
            FuzzFailure("a failure with a digest or a salt", context + QStringLiteral(" -> ") + error);
        if (!FailureMessageFits(request, error))
            FuzzFailure("a failure message that the input type cannot give", context + QStringLiteral(" -> ") + error);
    }
    return 0;
}
