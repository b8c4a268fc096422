#include "hashing/NamedFileDigest.h"

#include "crypt/Stream.h"
#include "hashing/FileStream.h"
#include "hashing/HashProgress.h"
#include "platform/Descriptors.h"
#include "platform/Files.h"

#include <cerrno>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

namespace {

// A read failure's words without the stream's prefix, as for a failed open: "Input/output error".
std::string ReasonOf(const std::exception& failure) {
    constexpr std::string_view prefix = "Stream read error: ";
    const std::string_view message = failure.what();
    return std::string(message.substr(message.starts_with(prefix) ? prefix.size() : 0));
}

// A stream read once from a descriptor of its own: a FIFO or device the user named.
class TOwnedDescriptorStream final : public TStream {
public:
    explicit TOwnedDescriptorStream(TFileHandle handle) : m_handle(std::move(handle)), m_stream(m_handle.Get()) {}

    std::int64_t Size() const override { return m_stream.Size(); }
    std::int64_t Position() const override { return m_stream.Position(); }
    void Seek(std::int64_t offset) override { m_stream.Seek(offset); }
    std::int64_t Read(void* buffer, std::int64_t count) override { return m_stream.Read(buffer, count); }
    std::int64_t Write(const void* buffer, std::int64_t count) override { return m_stream.Write(buffer, count); }

private:
    TFileHandle m_handle;
    TDescriptorStream m_stream;
};

// Opens what OpenRegularFile refused as no regular file, when kinds allows it: the name is
// opened as it is (a FIFO's open waits for its writer) and refused when it is a folder after all.
std::unique_ptr<TStream> OpenStream(const std::string& name, TNamedFileDigest& result) {
    int error = 0;
    TFileHandle handle = OpenForReading(name, error);
    std::optional<TFileInfo> info;
    if (handle.IsOpen())
        info = LookAtDescriptor(handle.Get(), error);
    if (info && info->Kind != TFileKind::Folder)
        return std::make_unique<TOwnedDescriptorStream>(std::move(handle));
    result.Failure = TNamedFileFailure::Open;
    result.Error = info ? EISDIR : error;
    result.Reason = SystemErrorText(result.Error);
    result.Message = result.Reason;
    return nullptr;
}

// Opens name for DigestNamedFile without an opener: standard input, or a regular file opened
// without blocking and passed through gate when given, or with AnyButFolder whatever else it is
// but a folder; fills result's failure when it answers no stream.
std::unique_ptr<TStream> OpenNamed(const TFileName& name, TNamedFileKinds kinds, TNamedFileDigest& result,
                                   TReadGate* gate) {
    if (name.Path == "-")
        return std::make_unique<TDescriptorStream>(StandardInputFd);
    TRegularFile file = OpenRegularFile(name);
    if (kinds == TNamedFileKinds::AnyButFolder && file.Failure == TOpenFailure::NotRegular &&
        file.Info.Kind != TFileKind::Folder)
        return OpenStream(name.Path, result);
    if (!file.IsOpen()) {
        result.Failure = TNamedFileFailure::Open;
        // A folder refused unopened has no errno of its own; the system's for it is EISDIR.
        result.Error = file.Error == 0 && file.Info.Kind == TFileKind::Folder ? EISDIR : file.Error;
        result.Reason = OpenFailureReason(file);
        result.Message = result.Reason;
        return nullptr;
    }
    const std::uint64_t device = file.Info.Identity.Device;
    std::unique_ptr<TStream> stream = std::make_unique<TFileStream>(std::move(file));
    return gate ? gate->Gated(std::move(stream), device) : std::move(stream);
}

// Opens name through open, every failure of the opener its Open (or NoRegularFile) failure.
std::unique_ptr<TStream> OpenThrough(const TNamedFileOpener& open, const std::string& name, TNamedFileDigest& result) {
    try {
        if (std::unique_ptr<TStream> stream = open(name))
            return stream;
        result.Failure = TNamedFileFailure::Open;
    } catch (const ENoRegularFile& failure) {
        result.Failure = TNamedFileFailure::NoRegularFile;
        result.Message = failure.what();
    } catch (const std::bad_alloc&) {
        result.Failure = TNamedFileFailure::Open;
        result.Message = OutOfMemoryMessage;
    } catch (const std::exception& failure) {
        result.Failure = TNamedFileFailure::Open;
        result.Message = failure.what();
    }
    return nullptr;
}

// Opens a stream by openStep and hands it to useStep, wrapped for observer when one is given;
// openStep fills the result's failure when it answers none. Every failure of either ends in the
// result but a cancel.
template <typename TOpenStep, typename TUseStep>
TNamedFileDigest WithOpened(TOpenStep openStep, TUseStep useStep, THashObserver* observer) {
    TNamedFileDigest result;
    try {
        std::unique_ptr<TStream> stream = openStep(result);
        if (!stream)
            return result;
        if (observer)
            stream = std::make_unique<TObservedStream>(std::move(stream), *observer);
        useStep(*stream, result);
    } catch (const EHashCancelled&) {
        throw;
    } catch (const std::bad_alloc&) {
        result = {{}, TNamedFileFailure::OutOfMemory, 0, OutOfMemoryMessage, OutOfMemoryMessage};
    } catch (const std::exception& failure) {
        result = {{}, TNamedFileFailure::Read, 0, ReasonOf(failure), failure.what()};
    }
    return result;
}

template <typename TOpenStep>
TNamedFileDigest DigestOpened(TOpenStep openStep, const std::vector<THashAlgorithm>& algorithms,
                              TStreamDigester& digester, THashObserver* observer) {
    const auto digest = [&](TStream& stream, TNamedFileDigest& result) {
        result.Digests = digester.Digest(algorithms, stream);
    };
    return WithOpened(openStep, digest, observer);
}

// Reads the size bytes stream claims into room, checking afterwards that the file did not change
// meanwhile, as the reader does; the bytes read.
std::size_t ReadWhole(TStream& stream, std::int64_t size, std::uint8_t* room) {
    // Reads short only at the end: a file cut or grown meanwhile has another size, which the
    // check reports; a pseudo-file that claims more than it holds ends early.
    const std::int64_t done = stream.Read(room, size);
    stream.CheckUnchanged();
    return static_cast<std::size_t>(done);
}

} // namespace

TNamedFileDigest DigestNamedFile(const TFileName& name, const std::vector<THashAlgorithm>& algorithms,
                                 TStreamDigester& digester, THashObserver* observer, TNamedFileKinds kinds,
                                 TReadGate* gate) {
    return DigestOpened([&](TNamedFileDigest& result) { return OpenNamed(name, kinds, result, gate); }, algorithms,
                        digester, observer);
}

TNamedFileDigest ReadOrDigestNamedFile(const TFileName& name, std::span<std::uint8_t> room, std::size_t& read,
                                       const std::vector<THashAlgorithm>& algorithms, TStreamDigester& digester,
                                       THashObserver* observer, TReadGate* gate) {
    read = 0;
    const auto readOrDigest = [&](TStream& stream, TNamedFileDigest& result) {
        // Standard input and pseudo-files claim no size: the reader reads them to their end.
        const std::int64_t size = stream.Size();
        if (size > 0 && static_cast<std::uint64_t>(size) <= room.size())
            read = ReadWhole(stream, size, room.data());
        else
            result.Digests = digester.Digest(algorithms, stream);
    };
    return WithOpened(
        [&](TNamedFileDigest& result) { return OpenNamed(name, TNamedFileKinds::RegularOnly, result, gate); },
        readOrDigest, observer);
}

TNamedFileDigest DigestNamedFile(const std::string& name, const TNamedFileOpener& open,
                                 const std::vector<THashAlgorithm>& algorithms, TStreamDigester& digester,
                                 THashObserver* observer) {
    // An opener's stream may stand anywhere (a memory stream just written stands at its end); a
    // failed seek is a failure of the reading.
    const auto openStep = [&](TNamedFileDigest& result) {
        std::unique_ptr<TStream> stream = OpenThrough(open, name, result);
        if (stream)
            stream->Seek(0);
        return stream;
    };
    return DigestOpened(openStep, algorithms, digester, observer);
}
