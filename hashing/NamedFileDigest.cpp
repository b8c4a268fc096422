#include "hashing/NamedFileDigest.h"

#include "crypt/FileHandle.h"
#include "crypt/Stream.h"
#include "hashing/HashProgress.h"

#include <cerrno>
#include <memory>
#include <new>
#include <string_view>
#include <unistd.h>

namespace {

// A read failure's words without the stream's prefix, as for a failed open: "Input/output error".
std::string ReasonOf(const std::exception& failure) {
    constexpr std::string_view prefix = "Stream read error: ";
    const std::string_view message = failure.what();
    return std::string(message.substr(message.starts_with(prefix) ? prefix.size() : 0));
}

std::unique_ptr<TStream> OpenNamed(const std::string& name, TNamedFileDigest& result) {
    if (name == "-")
        return std::make_unique<TDescriptorStream>(STDIN_FILENO);
    TRegularFile file = OpenRegularFile(name);
    if (!file.IsOpen()) {
        result.Failure = TNamedFileFailure::Open;
        // A folder refused unopened has no errno of its own; the system's for it is EISDIR.
        result.Error = file.Error == 0 && S_ISDIR(file.Info.st_mode) ? EISDIR : file.Error;
        result.Reason = OpenFailureReason(file);
        return nullptr;
    }
    return std::make_unique<TFileStream>(std::move(file));
}

} // namespace

TNamedFileDigest DigestNamedFile(const std::string& name, const std::vector<THashAlgorithm>& algorithms,
                                 TStreamDigester& digester, THashObserver* observer) {
    TNamedFileDigest result;
    try {
        std::unique_ptr<TStream> stream = OpenNamed(name, result);
        if (!stream)
            return result;
        if (observer)
            stream = std::make_unique<TObservedStream>(std::move(stream), *observer);
        result.Digests = digester.Digest(algorithms, *stream);
    } catch (const EHashCancelled&) {
        throw;
    } catch (const std::bad_alloc&) {
        result = {{}, TNamedFileFailure::OutOfMemory, 0, OutOfMemoryMessage};
    } catch (const std::exception& failure) {
        result = {{}, TNamedFileFailure::Read, 0, ReasonOf(failure)};
    }
    return result;
}
