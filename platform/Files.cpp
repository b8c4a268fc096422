#include "platform/Files.h"

#include "platform/SystemFiles.h"

#include <cerrno>
#include <cstring>

std::optional<TFileInfo> LookAtPath(const std::string& path, bool followLinks) {
    int error = 0;
    return LookAtPath(path, followLinks, error);
}

TRegularFile OpenRegularFile(const TFileName& name, TOpenOptions options) {
    TRegularFile file;
    int error = 0;
    if (name.KnownRegular) {
        // The caller's listing said so: the look would only say it again.
    } else if (const std::optional<TFileInfo> looked = LookAtPath(name.Path, options.FollowLinks, error)) {
        file.Info = *looked;
        if (looked->Kind != TFileKind::Regular) {
            file.Failure = TOpenFailure::NotRegular;
            return file;
        }
    } else if (!(options.Create && error == ENOENT)) {
        // A file that is still to be created has no status yet; the open below makes it.
        file.Failure = TOpenFailure::Missing;
        file.Error = error;
        return file;
    }

    file.Handle = OpenFileForReading(name, options, file.Error);
    std::optional<TFileInfo> opened;
    if (file.Handle.IsOpen())
        opened = LookAtDescriptorStatus(file.Handle.Get(), file.Error);
    if (opened) {
        file.Info = *opened;
        if (opened->Kind == TFileKind::Regular)
            return file;
    } else if (name.KnownRegular && !options.Create && (file.Error == ENOENT || file.Error == ENOTDIR)) {
        // Gone since the listing: missing, as the look would have found it.
        file.Failure = TOpenFailure::Missing;
        return file;
    }
    file.Failure = TOpenFailure::OpenFailed;
    file.Handle.Reset();
    return file;
}

std::string OpenFailureReason(const TRegularFile& file) {
    if (file.Error != 0)
        return SystemErrorText(file.Error);
    return file.Info.Kind == TFileKind::Folder ? SystemErrorText(EISDIR) : "Not a regular file";
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}
