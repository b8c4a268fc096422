#include "platform/FolderListing.h"

#include "platform/windows/SystemNames.h"

#include <cstddef>
#include <vector>

namespace {

// The listing gives each entry's file id, the same number as a file's TFileIdentity::Inode.
TFolderEntry EntryOf(const FILE_ID_BOTH_DIR_INFO& info) {
    const std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
    TFileKind kind = TFileKind::Regular;
    if ((info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        kind = TFileKind::Link;
    else if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        kind = TFileKind::Folder;
    return {Utf8Name(name), kind, static_cast<std::uint64_t>(info.FileId.QuadPart)};
}

} // namespace

// The system's opens take whole paths here: nothing is held.
bool ListFolder(const std::string& folder, std::vector<TFolderEntry>& entries, int& error, TFolderHold*) {
    const HANDLE handle = ::CreateFileW(SystemPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastErrorNumber();
        return false;
    }
    // Aligned for the records the system writes into it.
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    const DWORD bufferSize = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    bool listed = true;
    for (FILE_INFO_BY_HANDLE_CLASS part = FileIdBothDirectoryRestartInfo;; part = FileIdBothDirectoryInfo) {
        if (!::GetFileInformationByHandleEx(handle, part, buffer.data(), bufferSize)) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_NO_MORE_FILES) {
                error = ErrorNumberOf(code);
                listed = false;
            }
            break;
        }
        const auto* bytes = reinterpret_cast<const std::byte*>(buffer.data());
        for (;;) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            TFolderEntry entry = EntryOf(info);
            if (entry.Name != "." && entry.Name != "..")
                entries.push_back(std::move(entry));
            if (info.NextEntryOffset == 0)
                break;
            bytes += info.NextEntryOffset;
        }
    }
    ::CloseHandle(handle);
    return listed;
}
