#include "platform/ProgramVersion.h"

#include "platform/Descriptors.h"
#include "platform/Executable.h"
#include "platform/Files.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Field offsets of the ELF file header and section header, for each file class (System V
// ABI, chapters "ELF Header" and "Sections").
struct TElfLayout {
    std::size_t headerSize;
    std::size_t fieldWidth; // width of offsets and sizes: 4 or 8
    std::size_t shoff, shentsize, shnum, shstrndx;
    std::size_t sectionHeaderSize;
    std::size_t shName, shType, shOffset, shSize, shLink;
};

constexpr TElfLayout kElf32 = {52, 4, 0x20, 0x2E, 0x30, 0x32, 0x28, 0x00, 0x04, 0x10, 0x14, 0x18};
constexpr TElfLayout kElf64 = {64, 8, 0x28, 0x3A, 0x3C, 0x3E, 0x40, 0x00, 0x04, 0x18, 0x20, 0x28};

constexpr std::uint8_t kElfClass32 = 1;
constexpr std::uint8_t kElfClass64 = 2;
constexpr std::uint8_t kElfDataLsb = 1;
constexpr std::uint8_t kElfDataMsb = 2;
constexpr std::uint32_t kShtNobits = 8;
constexpr std::uint64_t kShnXindex = 0xFFFF;
// Real executables have a few dozen sections; a count beyond this is garbage.
constexpr std::uint64_t kMaxSections = 1u << 20;

// A read-only module file; every read is checked against the file's size.
class TModuleFile {
public:
    explicit TModuleFile(const std::string& path) : m_file(OpenRegularFile(path)) {}

    bool IsOpen() const { return m_file.IsOpen(); }

    bool Read(std::uint64_t offset, void* out, std::size_t count) const {
        const auto size = static_cast<std::uint64_t>(m_file.Info.Size);
        if (!IsOpen() || offset > size || count > size - offset)
            return false;
        auto* bytes = static_cast<char*>(out);
        while (count > 0) {
            int error = 0;
            const std::int64_t got =
                ReadDescriptorAt(m_file.Handle.Get(), bytes, count, static_cast<std::int64_t>(offset), error);
            if (got <= 0)
                return false;
            bytes += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    TRegularFile m_file;
};

std::uint64_t LoadUnsigned(const std::uint8_t* bytes, std::size_t width, bool littleEndian) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const std::size_t index = littleEndian ? width - 1 - i : i;
        value = value << 8 | bytes[index];
    }
    return value;
}

struct TSection {
    std::uint64_t name, type, offset, size, link;
};

class TElfReader {
public:
    explicit TElfReader(const TModuleFile& file) : m_file(file) {}

    bool FindVersionRecord(VersionRecord::TNumbers& numbers) {
        if (!ReadHeader())
            return false;
        TSection names{};
        if (m_stringTableIndex >= m_sectionCount || !ReadSection(m_stringTableIndex, names))
            return false;
        for (std::uint64_t index = 1; index < m_sectionCount; ++index) {
            TSection section{};
            if (!ReadSection(index, section))
                return false;
            if (HasVersionName(names, section) && ReadRecord(section, numbers))
                return true;
        }
        return false;
    }

private:
    std::uint64_t Field(const std::uint8_t* bytes, std::size_t offset, std::size_t width) const {
        return LoadUnsigned(bytes + offset, width, m_littleEndian);
    }

    bool ReadHeader() {
        std::array<std::uint8_t, 64> header{};
        if (!m_file.Read(0, header.data(), 16) || std::memcmp(header.data(),
                                                              "\x7F"
                                                              "ELF",
                                                              4) != 0)
            return false;
        if (header[4] == kElfClass32)
            m_layout = &kElf32;
        else if (header[4] == kElfClass64)
            m_layout = &kElf64;
        else
            return false;
        if (header[5] != kElfDataLsb && header[5] != kElfDataMsb)
            return false;
        m_littleEndian = header[5] == kElfDataLsb;
        if (!m_file.Read(0, header.data(), m_layout->headerSize))
            return false;

        m_sectionTable = Field(header.data(), m_layout->shoff, m_layout->fieldWidth);
        m_entrySize = Field(header.data(), m_layout->shentsize, 2);
        m_sectionCount = Field(header.data(), m_layout->shnum, 2);
        m_stringTableIndex = Field(header.data(), m_layout->shstrndx, 2);
        if (m_sectionTable == 0 || m_entrySize < m_layout->sectionHeaderSize)
            return false;

        // With many sections the real count and string table index live in section 0.
        const bool countInFirst = m_sectionCount == 0;
        if (countInFirst || m_stringTableIndex == kShnXindex) {
            m_sectionCount = countInFirst ? 1 : m_sectionCount;
            TSection first{};
            if (!ReadSection(0, first))
                return false;
            if (countInFirst)
                m_sectionCount = first.size;
            if (m_stringTableIndex == kShnXindex)
                m_stringTableIndex = first.link;
        }
        return m_sectionCount <= kMaxSections;
    }

    bool ReadSection(std::uint64_t index, TSection& section) {
        if (index >= m_sectionCount || index > (UINT64_MAX - m_sectionTable) / m_entrySize)
            return false;
        if (!m_file.Read(m_sectionTable + index * m_entrySize, m_sectionHeaderBytes.data(),
                         m_layout->sectionHeaderSize))
            return false;
        const std::uint8_t* bytes = m_sectionHeaderBytes.data();
        section.name = Field(bytes, m_layout->shName, 4);
        section.type = Field(bytes, m_layout->shType, 4);
        section.offset = Field(bytes, m_layout->shOffset, m_layout->fieldWidth);
        section.size = Field(bytes, m_layout->shSize, m_layout->fieldWidth);
        section.link = Field(bytes, m_layout->shLink, 4);
        return true;
    }

    bool HasVersionName(const TSection& names, const TSection& section) const {
        constexpr std::size_t length = sizeof VersionRecord::kSectionName; // with its NUL
        std::array<char, length> name{};
        if (section.name > names.size || length > names.size - section.name)
            return false;
        return m_file.Read(names.offset + section.name, name.data(), length) &&
               std::memcmp(name.data(), VersionRecord::kSectionName, length) == 0;
    }

    bool ReadRecord(const TSection& section, VersionRecord::TNumbers& numbers) const {
        std::array<std::uint8_t, VersionRecord::kSize> record{};
        return section.type != kShtNobits && section.size >= record.size() &&
               m_file.Read(section.offset, record.data(), record.size()) && VersionRecord::Decode(record, numbers);
    }

    const TModuleFile& m_file;
    const TElfLayout* m_layout = nullptr;
    bool m_littleEndian = true;
    std::uint64_t m_sectionTable = 0;
    std::uint64_t m_entrySize = 0;
    std::uint64_t m_sectionCount = 0;
    std::uint64_t m_stringTableIndex = 0;
    std::array<std::uint8_t, 64> m_sectionHeaderBytes{};
};

} // namespace

bool ReadProgramVersion(const std::string& program, VersionRecord::TNumbers& numbers) {
    numbers = {};
    // The running executable is read through the name that finds it even when it was renamed
    // or moved since.
    const TModuleFile file(program.empty() ? RunningExecutableFile() : program);
    if (file.IsOpen() && TElfReader(file).FindVersionRecord(numbers))
        return true;
    numbers = {};
    return false;
}
