// The data folder lies in the user's own profile, whose access list allows the user alone (and
// the system's administrators): a folder or file made there inherits it, so nothing here sets
// rights of its own.
#include "platform/DataFiles.h"

#include "platform/Descriptors.h"
#include "platform/windows/SystemNames.h"

#include <atomic>
#include <cstdint>

namespace {

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool MakeFolder(const std::string& level) {
    const std::wstring path = SystemPath(level);
    return ::CreateDirectoryW(path.c_str(), nullptr) || IsFolder(path);
}

// Six characters that no other save of this or another process picks at the same time.
std::string UniqueSuffix() {
    static std::atomic<std::uint32_t> counter{0};
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uint64_t value = (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 24) ^ ::GetTickCount64() ^
                          (static_cast<std::uint64_t>(counter.fetch_add(1)) << 40);
    std::string suffix;
    for (int i = 0; i < 6; ++i, value /= 36)
        suffix += Letters[value % 36];
    return suffix;
}

} // namespace

bool CreateOwnerOnlyFolders(const std::string& folder) {
    if (folder.empty())
        return false;
    if (IsFolder(SystemPath(folder)))
        return true;
    // Each level from the first below the root ("C:\" or "\\server\share\" need no making);
    // levels that cannot be made but exist already are fine.
    for (std::size_t at = 1; at < folder.size(); ++at)
        if (IsSeparator(folder[at]) && folder[at - 1] != ':' && !IsSeparator(folder[at - 1]))
            MakeFolder(folder.substr(0, at));
    return MakeFolder(folder);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const std::string& temporaryStem) {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring temporary;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = SystemPath(temporaryStem + UniqueSuffix());
        file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    TFileHandle owned(DescriptorFor(file));
    int error = 0;
    const bool written =
        owned.IsOpen() && WriteAllToDescriptor(owned.Get(), bytes, error) && ::FlushFileBuffers(HandleOf(owned.Get()));
    const bool closed = owned.Close();
    // The write-through move returns once the rename is on the disk.
    if (!written || !closed ||
        !::MoveFileExW(temporary.c_str(), SystemPath(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool ModeDeniesWriting(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool RemoveFile(const std::string& path) {
    return ::DeleteFileW(SystemPath(path).c_str());
}
