#include "pipeline/HashPipeline.h"

#include "crypt/Base64.h"
#include "crypt/HashAlgorithm.h"
#include "crypt/Hex.h"
#include "hashing/FileStream.h"
#include "hashing/HashProgress.h"
#include "hashing/NamedFileDigest.h"
#include "hashing/StreamDigest.h"
#include "text/ListError.h"
#include "text/PlainText.h"
#include "text/TextEncoding.h"

#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::u16string FileDoesNotExist() {
    return u"File does not exist";
}

// The text after the failing layer's prefix; running out of memory is said in words, not
// by the exception's type name.
std::u16string MessageOf(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr)
        return OutOfMemoryText();
    return DecodeUtf8(failure.what());
}

// Fills outcome.ErrorText or answers the stream of a text input to hash.
std::unique_ptr<TStream> PrepareInput(const HashRequest& request, std::u16string& salt, HashOutcome& outcome) {
    switch (request.InputType) {
    case InputTypeText: {
        std::u16string text = request.TrimInput ? Trim(request.InputText) : request.InputText;
        // A salt never makes an empty text valid: the test comes first.
        if (text.empty()) {
            outcome.ErrorText = u"No valid text";
            return nullptr;
        }
        try {
            auto stream = std::make_unique<TMemoryStream>();
            if (request.SaltType > SaltTypeNone) {
                salt = Trim(request.SaltText);
                text = request.SaltType == SaltTypePrefix ? salt + text : text + salt;
            }
            const std::string bytes = EncodeUtf8(text);
            stream->Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            return stream;
        } catch (const std::exception& failure) {
            outcome.ErrorText = u"Error loading text: " + MessageOf(failure);
        }
        return nullptr;
    }
    case InputTypeHex: {
        std::u16string text = Upper(Trim(request.InputText));
        if (text.starts_with(u"0X"))
            text = Trim(std::u16string_view(text).substr(2));
        text = Trim(text);
        outcome.ErrorText = text.empty() ? u"No valid text" : u"(Hexadecimal not supported in this version)";
        return nullptr;
    }
    case InputTypeBase64: {
        const std::u16string text = Trim(request.InputText);
        if (text.empty()) {
            outcome.ErrorText = u"No valid text";
            return nullptr;
        }
        try {
            auto stream = std::make_unique<TMemoryStream>();
            if (Base64DecodeToStream(text, *stream))
                return stream;
            outcome.ErrorText = u"Invalid Base-64 text";
        } catch (const std::exception& failure) {
            outcome.ErrorText = u"Error loading text: " + MessageOf(failure);
        }
        return nullptr;
    }
    default:
        outcome.ErrorText = u"Unsupported Input Method";
        return nullptr;
    }
}

// The request's algorithms, the selected one first and the extra ones after it without
// repeats; fills outcome.Algorithm, and outcome.ErrorText when a name is of no algorithm.
std::vector<THashAlgorithm> RequestAlgorithms(const HashRequest& request, HashOutcome& outcome) {
    CheckListIndex(request.HashType, static_cast<int>(request.HashItems.size()));
    outcome.Algorithm = NormalizeName(request.HashItems[static_cast<std::size_t>(request.HashType)]);
    const std::optional<THashAlgorithm> selected = AlgorithmByTypedName(EncodeUtf8(outcome.Algorithm));
    if (!selected) {
        outcome.ErrorText = u"Unknown Algorithm";
        return {};
    }
    outcome.Algorithm = Latin1(HashAlgorithmName(*selected));
    std::vector<THashAlgorithm> algorithms{*selected};
    for (const std::u16string& name : request.ExtraAlgorithms) {
        const std::optional<THashAlgorithm> extra = AlgorithmByTypedName(EncodeUtf8(name));
        if (!extra) {
            outcome.ErrorText = u"Unknown Algorithm";
            return {};
        }
        AppendAlgorithmOnce(algorithms, *extra);
    }
    return algorithms;
}

// Answers the digest of the selected algorithm, the first, and puts the extra ones into
// outcome.ExtraDigests, each in the case the request asks for.
std::u16string TakeDigests(const HashRequest& request, const std::vector<THashAlgorithm>& algorithms,
                           const std::vector<std::string>& digests, HashOutcome& outcome) {
    const auto text = [&](const std::string& digest) { return Latin1(request.UpperHash ? UpperHex(digest) : digest); };
    for (std::size_t i = 1; i < algorithms.size(); ++i)
        outcome.ExtraDigests.push_back({Latin1(HashAlgorithmName(algorithms[i])), text(digests[i])});
    return text(digests.front());
}

// Answers the digest of the selected algorithm, the extra ones into outcome.ExtraDigests, or
// fills outcome.ErrorText.
std::u16string HashInput(const HashRequest& request, TStream& stream, HashOutcome& outcome) {
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
        outcome.ErrorText = u"Error Hashing data: " + MessageOf(failure);
    }
    outcome.ExtraDigests.clear();
    return {};
}

// The file input: opened through openFile and hashed by the named-file unit, its failures in
// the window's words. Answers the digest of the selected algorithm, the extra ones into
// outcome.ExtraDigests, or fills outcome.ErrorText.
std::u16string HashFile(const HashRequest& request, const TFileOpener& openFile, THashObserver* observer,
                        HashOutcome& outcome) {
    const std::u16string name = Trim(request.InputText);
    // A name with U+0000 inside cannot name a file: the system would see only the part
    // before it. Whether the name leads to a regular file is the opener's one check.
    if (name.empty() || name.find(u'\0') != std::u16string::npos) {
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
        chosen.ErrorText = u"Error Hashing data: " + MessageOf(failure);
    }
    if (!chosen.ErrorText.empty())
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
        outcome.ErrorText = u"Error Opening File: " +
                            DecodeUtf8(file.Message.empty() ? "Cannot open file \"" + encoded + "\"." : file.Message);
        return {};
    case TNamedFileFailure::Read:
    case TNamedFileFailure::OutOfMemory:
        outcome.Algorithm = chosen.Algorithm;
        outcome.ErrorText = u"Error Hashing data: " + DecodeUtf8(file.Message);
        return {};
    }
    outcome.Algorithm = chosen.Algorithm;
    if (!chosen.ErrorText.empty()) {
        outcome.ErrorText = chosen.ErrorText;
        return {};
    }
    return TakeDigests(request, algorithms, file.Digests, outcome);
}

} // namespace

std::u16string_view SelectedHashItem(const HashRequest& request) {
    if (request.HashType < 0 || request.HashType >= static_cast<int>(request.HashItems.size()))
        return {};
    return request.HashItems[static_cast<std::size_t>(request.HashType)];
}

std::u16string OutOfMemoryText() {
    return Latin1(OutOfMemoryMessage);
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
    std::u16string salt;
    std::u16string digest;
    {
        if (request.InputType == InputTypeFile) {
            digest = HashFile(request, openFile, observer, outcome);
        } else {
            std::unique_ptr<TStream> stream = PrepareInput(request, salt, outcome);
            if (stream && observer)
                stream = std::make_unique<TObservedStream>(std::move(stream), *observer);
            if (outcome.ErrorText.empty() && stream)
                digest = HashInput(request, *stream, outcome);
        }
    }
    if (!outcome.ErrorText.empty())
        return outcome;
    outcome.Digest = digest;
    outcome.SaltToRemember = salt;
    return outcome;
}
