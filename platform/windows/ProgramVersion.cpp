#include "platform/ProgramVersion.h"

#include "platform/windows/SystemNames.h"

#include <winver.h>

#include <algorithm>
#include <vector>

namespace {

using TVersionBlock = std::vector<unsigned char>;

// The file version of a version block's fixed file information.
bool FixedFileVersion(TVersionBlock& block, VersionRecord::TNumbers& numbers) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (info->dwSignature != VS_FFI_SIGNATURE)
        return false;
    numbers.major = HIWORD(info->dwFileVersionMS);
    numbers.minor = LOWORD(info->dwFileVersionMS);
    numbers.release = HIWORD(info->dwFileVersionLS);
    numbers.build = LOWORD(info->dwFileVersionLS);
    return true;
}

// The running program's version resource, from its loaded image. Copied into a block twice its
// size: VerQueryValueW expects the room GetFileVersionInfoW leaves after the resource.
bool RunningProgramBlock(TVersionBlock& block) {
    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = ::LoadResource(nullptr, resource);
    const auto* bytes = static_cast<const unsigned char*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const DWORD size = ::SizeofResource(nullptr, resource);
    if (bytes == nullptr || size == 0)
        return false;
    block.assign(std::size_t{size} * 2, 0);
    std::copy(bytes, bytes + size, block.begin());
    return true;
}

bool ProgramFileBlock(const std::string& program, TVersionBlock& block) {
    const std::wstring name = SystemPath(program);
    DWORD unused = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &unused);
    if (size == 0)
        return false;
    block.assign(size, 0);
    return ::GetFileVersionInfoW(name.c_str(), 0, size, block.data()) != 0;
}

} // namespace

bool ReadProgramVersion(const std::string& program, VersionRecord::TNumbers& numbers) {
    numbers = {};
    TVersionBlock block;
    const bool read = program.empty() ? RunningProgramBlock(block) : ProgramFileBlock(program, block);
    if (read && FixedFileVersion(block, numbers))
        return true;
    numbers = {};
    return false;
}
