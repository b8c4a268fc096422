#include "pipeline/HashPipeline.h"

#include "crypt/Base64.h"
#include "crypt/HashAlgorithm.h"
#include "crypt/Hex.h"
#include "hashing/FileStream.h"
#include "hashing/HashProgress.h"
#include "hashing/NamedFileDigest.h"
#include "hashing/StreamDigest.h"
#include "text/PlainText.h"
#include "text/TextEncoding.h"
#include "tools/Strings.h"
#include "tools/TextUtils.h"

#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

QString FileDoesNotExist() {
    return QStringLiteral("File does not exist");
}

// The text after the failing layer's prefix; running out of memory is said in words, not
// by the exception's type name.
QString MessageOf(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr)
        return OutOfMemoryText();
    return QString::fromUtf8(failure.what());
}

// Fills outcome.ErrorText or answers the stream of a text input to hash.
std::unique_ptr<TStream> PrepareInput(const HashRequest& request, QString& salt, HashOutcome& outcome) {
    switch (request.InputType) {
    case InputTypeText: {
        QString text = request.TrimInput ? Trim(request.InputText) : request.InputText;
        // A salt never makes an empty text valid: the test comes first.
        if (text.isEmpty()) {
            outcome.ErrorText = QStringLiteral("No valid text");
            return nullptr;
        }
        try {
            auto stream = std::make_unique<TMemoryStream>();
            if (request.SaltType > SaltTypeNone) {
                salt = Trim(request.SaltText);
                text = request.SaltType == SaltTypePrefix ? salt + text : text + salt;
            }
            const std::string bytes = EncodeUtf8(Utf16(text));
            stream->Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            return stream;
        } catch (const std::exception& failure) {
            outcome.ErrorText = QStringLiteral("Error loading text: ") + MessageOf(failure);
        }
        return nullptr;
    }
    case InputTypeHex: {
        QString text = Upper(Trim(request.InputText));
        if (text.startsWith(u"0X"))
            text = Trim(QStringView(text).mid(2));
        text = Trim(text);
        outcome.ErrorText = text.isEmpty() ? QStringLiteral("No valid text")
                                           : QStringLiteral("(Hexadecimal not supported in this version)");
        return nullptr;
    }
    case InputTypeBase64: {
        const QString text = Trim(request.InputText);
        if (text.isEmpty()) {
            outcome.ErrorText = QStringLiteral("No valid text");
            return nullptr;
        }
        try {
            auto stream = std::make_unique<TMemoryStream>();
            if (Base64DecodeToStream(Utf16(text), *stream))
                return stream;
            outcome.ErrorText = QStringLiteral("Invalid Base-64 text");
        } catch (const std::exception& failure) {
            outcome.ErrorText = QStringLiteral("Error loading text: ") + MessageOf(failure);
        }
        return nullptr;
    }
    default:
        outcome.ErrorText = QStringLiteral("Unsupported Input Method");
        return nullptr;
    }
}

// The request's algorithms, the selected one first and the extra ones after it without
// repeats; fills outcome.Algorithm, and outcome.ErrorText when a name is of no algorithm.
std::vector<THashAlgorithm> RequestAlgorithms(const HashRequest& request, HashOutcome& outcome) {
    const TStringList items(request.HashItems);
    outcome.Algorithm = NormalizeName(items.Get(request.HashType));
    const std::optional<THashAlgorithm> selected = AlgorithmByTypedName(outcome.Algorithm.toStdString());
    if (!selected) {
        outcome.ErrorText = QStringLiteral("Unknown Algorithm");
        return {};
    }
    outcome.Algorithm = ToQString(Latin1(HashAlgorithmName(*selected)));
    std::vector<THashAlgorithm> algorithms{*selected};
    for (const QString& name : request.ExtraAlgorithms) {
        const std::optional<THashAlgorithm> extra = AlgorithmByTypedName(name.toStdString());
        if (!extra) {
            outcome.ErrorText = QStringLiteral("Unknown Algorithm");
            return {};
        }
        AppendAlgorithmOnce(algorithms, *extra);
    }
    return algorithms;
}

// Answers the digest of the selected algorithm, the first, and puts the extra ones into
// outcome.ExtraDigests, each in the case the request asks for.
QString TakeDigests(const HashRequest& request, const std::vector<THashAlgorithm>& algorithms,
                    const std::vector<std::string>& digests, HashOutcome& outcome) {
    const auto text = [&](const std::string& digest) {
        return ToQString(Latin1(request.UpperHash ? UpperHex(digest) : digest));
    };
    for (std::size_t i = 1; i < algorithms.size(); ++i)
        outcome.ExtraDigests.append({ToQString(Latin1(HashAlgorithmName(algorithms[i]))), text(digests[i])});
    return text(digests.front());
}

// Answers the digest of the selected algorithm, the extra ones into outcome.ExtraDigests, or
// fills outcome.ErrorText.
QString HashInput(const HashRequest& request, TStream& stream, HashOutcome& outcome) {
    try {
        stream.Seek(0);
        const std::vector<THashAlgorithm> algorithms = RequestAlgorithms(request, outcome);
        if (algorithms.empty())
            return {};
        TStreamDigester digester;
        return TakeDigests(request, algorithms, digester.Digest(algorithms, stream), outcome);
    } catch (const EHashCancelled& stop) {
        outcome.Cancelled = true;
        outcome.ErrorText = MessageOf(stop);
    } catch (const std::exception& failure) {
        outcome.ErrorText = QStringLiteral("Error Hashing data: ") + MessageOf(failure);
    }
    outcome.ExtraDigests.clear();
    return {};
}

// The file input: opened through openFile and hashed by the named-file unit, its failures in
// the window's words. Answers the digest of the selected algorithm, the extra ones into
// outcome.ExtraDigests, or fills outcome.ErrorText.
QString HashFile(const HashRequest& request, const TFileOpener& openFile, THashObserver* observer,
                 HashOutcome& outcome) {
    const QString name = Trim(request.InputText);
    // A name with U+0000 inside cannot name a file: the system would see only the part
    // before it. Whether the name leads to a regular file is the opener's one check.
    if (name.isEmpty() || name.contains(QChar(u'\0'))) {
        outcome.ErrorText = FileDoesNotExist();
        return {};
    }
    const std::string encoded = SystemName(name);
    // The algorithms are chosen first but their failure is said after the file's own: a file
    // that is not there is what the user is told first. Without algorithms the file is only
    // opened.
    HashOutcome chosen;
    std::vector<THashAlgorithm> algorithms;
    try {
        algorithms = RequestAlgorithms(request, chosen);
    } catch (const std::exception& failure) {
        chosen.ErrorText = QStringLiteral("Error Hashing data: ") + MessageOf(failure);
    }
    if (!chosen.ErrorText.isEmpty())
        algorithms.clear();
    TStreamDigester digester;
    TNamedFileDigest file;
    try {
        file = DigestNamedFile(encoded, openFile, algorithms, digester, observer);
    } catch (const EHashCancelled& stop) {
        outcome.Cancelled = true;
        outcome.ErrorText = MessageOf(stop);
        return {};
    }
    switch (file.Failure) {
    case TNamedFileFailure::None:
        break;
    case TNamedFileFailure::NoRegularFile:
        outcome.ErrorText = FileDoesNotExist();
        return {};
    case TNamedFileFailure::Open:
        outcome.ErrorText =
            QStringLiteral("Error Opening File: ") +
            QString::fromUtf8(file.Message.empty() ? "Cannot open file \"" + encoded + "\"." : file.Message);
        return {};
    case TNamedFileFailure::Read:
    case TNamedFileFailure::OutOfMemory:
        outcome.Algorithm = chosen.Algorithm;
        outcome.ErrorText = QStringLiteral("Error Hashing data: ") + QString::fromUtf8(file.Message);
        return {};
    }
    outcome.Algorithm = chosen.Algorithm;
    if (!chosen.ErrorText.isEmpty()) {
        outcome.ErrorText = chosen.ErrorText;
        return {};
    }
    return TakeDigests(request, algorithms, file.Digests, outcome);
}

} // namespace

QString OutOfMemoryText() {
    return QString::fromLatin1(OutOfMemoryMessage);
}

HashOutcome RunHashRequest(const HashRequest& request) {
    return RunHashRequest(request, nullptr);
}

HashOutcome RunHashRequest(const HashRequest& request, const TFileOpener& openFile) {
    return RunHashRequest(request, openFile, nullptr);
}

HashOutcome RunHashRequest(const HashRequest& request, THashObserver* observer) {
    return RunHashRequest(
        request, [](const std::string& path) { return std::make_unique<TFileStream>(path); }, observer);
}

HashOutcome RunHashRequest(const HashRequest& request, const TFileOpener& openFile, THashObserver* observer) {
    HashOutcome outcome;
    QString salt;
    QString digest;
    {
        if (request.InputType == InputTypeFile) {
            digest = HashFile(request, openFile, observer, outcome);
        } else {
            std::unique_ptr<TStream> stream = PrepareInput(request, salt, outcome);
            if (stream && observer)
                stream = std::make_unique<TObservedStream>(std::move(stream), *observer);
            if (outcome.ErrorText.isEmpty() && stream)
                digest = HashInput(request, *stream, outcome);
        }
    }
    if (!outcome.ErrorText.isEmpty())
        return outcome;
    outcome.Digest = digest;
    outcome.SaltToRemember = salt;
    return outcome;
}
