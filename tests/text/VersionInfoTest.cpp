#include "text/VersionInfo.h"

#include "platform/VersionRecord.h"
#include "tests/tools/QtPrinters.h"
#include "tests/tools/TempFolder.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

// Builds a minimal ELF file: header, section contents, string table, then the section header
// table (null section, the named sections, ".shstrtab"), in either class and byte order.
class TElfBuilder {
public:
    TElfBuilder(bool is64, bool littleEndian) : m_is64(is64), m_little(littleEndian) {}

    struct TSectionSpec {
        std::string name;
        std::uint32_t type; // 1 PROGBITS, 8 NOBITS
        TBytes content;
    };

    TElfBuilder& Add(std::string name, TBytes content, std::uint32_t type = 1) {
        m_sections.push_back({std::move(name), type, std::move(content)});
        return *this;
    }

    // With extendedNumbering the count and the string table index go to section 0.
    TBytes Build(bool extendedNumbering = false) const {
        const std::size_t headerSize = m_is64 ? 64 : 52;
        const std::size_t entrySize = m_is64 ? 64 : 40;
        TBytes file(headerSize, 0);
        std::vector<std::pair<std::size_t, std::size_t>> placed; // offset, size
        std::string names(1, '\0');
        std::vector<std::size_t> nameOffsets;
        for (const TSectionSpec& section : m_sections) {
            placed.emplace_back(file.size(), section.content.size());
            file.insert(file.end(), section.content.begin(), section.content.end());
            nameOffsets.push_back(names.size());
            names += section.name + '\0';
        }
        const std::size_t namesName = names.size();
        names += ".shstrtab";
        names += '\0';
        const std::size_t namesOffset = file.size();
        file.insert(file.end(), names.begin(), names.end());

        const std::size_t tableOffset = file.size();
        const std::size_t count = m_sections.size() + 2;
        const std::size_t stringIndex = count - 1;
        file.resize(tableOffset + count * entrySize, 0);
        auto entry = [&](std::size_t index) { return tableOffset + index * entrySize; };
        if (extendedNumbering) {
            Put(file, entry(0) + (m_is64 ? 0x20 : 0x14), count, m_is64 ? 8 : 4);
            Put(file, entry(0) + (m_is64 ? 0x28 : 0x18), stringIndex, 4);
        }
        for (std::size_t i = 0; i < m_sections.size(); ++i)
            PutSection(file, entry(i + 1), nameOffsets[i], m_sections[i].type, placed[i].first, placed[i].second);
        PutSection(file, entry(stringIndex), namesName, 3, namesOffset, names.size());

        const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', std::uint8_t(m_is64 ? 2 : 1), std::uint8_t(m_little ? 1 : 2),
                                      1};
        std::copy(std::begin(ident), std::end(ident), file.begin());
        Put(file, 0x10, 2, 2); // ET_EXEC
        Put(file, m_is64 ? 0x20 : 0x1C, 0, m_is64 ? 8 : 4);
        Put(file, m_is64 ? 0x28 : 0x20, tableOffset, m_is64 ? 8 : 4);
        Put(file, m_is64 ? 0x3A : 0x2E, entrySize, 2);
        Put(file, m_is64 ? 0x3C : 0x30, extendedNumbering ? 0 : count, 2);
        Put(file, m_is64 ? 0x3E : 0x32, extendedNumbering ? 0xFFFF : stringIndex, 2);
        return file;
    }

private:
    void Put(TBytes& file, std::size_t offset, std::uint64_t value, std::size_t width) const {
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t shift = 8 * (m_little ? i : width - 1 - i);
            file[offset + i] = static_cast<std::uint8_t>(value >> shift);
        }
    }

    void PutSection(TBytes& file, std::size_t at, std::size_t name, std::uint32_t type, std::size_t offset,
                    std::size_t size) const {
        Put(file, at, name, 4);
        Put(file, at + 4, type, 4);
        Put(file, at + (m_is64 ? 0x18 : 0x10), offset, m_is64 ? 8 : 4);
        Put(file, at + (m_is64 ? 0x20 : 0x14), size, m_is64 ? 8 : 4);
    }

    bool m_is64;
    bool m_little;
    std::vector<TSectionSpec> m_sections;
};

TBytes RecordBytes(std::uint16_t major, std::uint16_t minor, std::uint16_t release, std::uint16_t build) {
    const auto record = VersionRecord::Encode({major, minor, release, build});
    return TBytes(record.begin(), record.end());
}

TBytes ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return TBytes(bytes.begin(), bytes.end());
}

// Modules are written to an in-memory file, reached by path through /proc/self/fd: the
// loops below write thousands of them.
class VersionInfoFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GE(m_module, 0); }
    void TearDown() override { ::close(m_module); }

    QString Write(const TBytes& bytes, std::size_t length) {
        EXPECT_EQ(::ftruncate(m_module, 0), 0);
        EXPECT_EQ(::pwrite(m_module, bytes.data(), length, 0), static_cast<ssize_t>(length));
        return QStringLiteral("/proc/self/fd/%1").arg(m_module);
    }
    QString Write(const TBytes& bytes) { return Write(bytes, bytes.size()); }

    // GetVersionNumbers with the out values pre-set to garbage, so that the reset is checked.
    static bool Read(const QString& path, int (&numbers)[4]) {
        for (int& n : numbers)
            n = -7;
        return GetVersionNumbers(path.toStdString(), numbers[0], numbers[1], numbers[2], numbers[3]);
    }

    TTempFolder m_folder;
    int m_module = ::memfd_create("module", MFD_CLOEXEC);
};

TEST(VersionInfo, OwnExecutableCarriesTheProjectVersion) {
    EXPECT_EQ(GetVersionText(), QUVIRO_PROJECT_VERSION);
    const QStringList parts = QStringLiteral(QUVIRO_PROJECT_VERSION).split(QLatin1Char('.'));
    ASSERT_EQ(parts.size(), 4);
    int major = 0, minor = 0, release = 0, build = 0;
    ASSERT_TRUE(GetVersionNumbers(major, minor, release, build));
    EXPECT_EQ(major, parts[0].toInt());
    EXPECT_EQ(minor, parts[1].toInt());
    EXPECT_EQ(release, parts[2].toInt());
    EXPECT_EQ(build, parts[3].toInt());
}

TEST(VersionInfo, ProgramExecutablesCarryTheProjectVersion) {
    const QStringList executables =
        QStringLiteral(QUVIRO_VERSIONED_EXECUTABLES).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    ASSERT_FALSE(executables.isEmpty());
    for (const QString& executable : executables)
        EXPECT_EQ(GetVersionText(executable.toStdString()), QUVIRO_PROJECT_VERSION) << executable.toStdString();
}

TEST_F(VersionInfoFiles, FilesWithoutARecordHaveNoVersion) {
    const QString fifo = m_folder / QStringLiteral("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString text = m_folder / QStringLiteral("text");
    const QString empty = m_folder / QStringLiteral("empty");
    QFile textFile(text);
    ASSERT_TRUE(textFile.open(QIODevice::WriteOnly));
    textFile.write("hello");
    textFile.close();
    QFile emptyFile(empty);
    ASSERT_TRUE(emptyFile.open(QIODevice::WriteOnly));
    emptyFile.close();
    const QString cases[] = {
        QStringLiteral("/bin/true"), // an ELF executable without the record
        text,
        empty,
        fifo,
        m_folder.Path(),
        QStringLiteral("/dev/zero"),
        m_folder / QStringLiteral("missing"),
    };
    for (const QString& path : cases) {
        int numbers[4];
        EXPECT_FALSE(Read(path, numbers)) << path.toStdString();
        EXPECT_EQ(numbers[0] | numbers[1] | numbers[2] | numbers[3], 0) << path.toStdString();
        EXPECT_EQ(GetVersionText(path.toStdString()), "") << path.toStdString();
    }
}

TEST_F(VersionInfoFiles, EveryClassAndByteOrder) {
    for (const bool is64 : {false, true}) {
        for (const bool little : {false, true}) {
            for (const bool extended : {false, true}) {
                SCOPED_TRACE(testing::Message() << (is64 ? "ELF64 " : "ELF32 ") << (little ? "LSB" : "MSB")
                                                << (extended ? " extended numbering" : ""));
                TElfBuilder builder(is64, little);
                builder.Add(".text", TBytes(40, 0x90))
                    .Add(".quviro_versio", RecordBytes(9, 9, 9, 9))
                    .Add(".quviro_version", RecordBytes(3, 14, 159, 65535))
                    .Add(".data", TBytes(8, 0));
                int numbers[4];
                ASSERT_TRUE(Read(Write(builder.Build(extended)), numbers));
                EXPECT_EQ(numbers[0], 3);
                EXPECT_EQ(numbers[1], 14);
                EXPECT_EQ(numbers[2], 159);
                EXPECT_EQ(numbers[3], 65535);
            }
        }
    }
}

TEST_F(VersionInfoFiles, DamagedRecordsAreNoVersion) {
    TBytes wrongTag = RecordBytes(1, 2, 3, 4);
    wrongTag[0] ^= 0x20;
    TBytes shortRecord = RecordBytes(1, 2, 3, 4);
    shortRecord.pop_back();
    const struct {
        const char* name;
        TElfBuilder builder;
    } cases[] = {
        {"no record section", TElfBuilder(true, true).Add(".text", TBytes(16, 1))},
        {"wrong tag", TElfBuilder(true, true).Add(".quviro_version", wrongTag)},
        {"short record", TElfBuilder(true, true).Add(".quviro_version", shortRecord)},
        {"section without file bytes", TElfBuilder(true, true).Add(".quviro_version", RecordBytes(1, 2, 3, 4), 8)},
        {"name with a suffix", TElfBuilder(true, true).Add(".quviro_version2", RecordBytes(1, 2, 3, 4))},
    };
    for (const auto& c : cases) {
        int numbers[4];
        EXPECT_FALSE(Read(Write(c.builder.Build()), numbers)) << c.name;
        EXPECT_EQ(numbers[0] | numbers[1] | numbers[2] | numbers[3], 0) << c.name;
    }
}

TEST_F(VersionInfoFiles, TruncatedFilesHaveNoVersion) {
    for (const bool is64 : {false, true}) {
        const TBytes file = TElfBuilder(is64, true)
                                .Add(".text", TBytes(24, 0x90))
                                .Add(".quviro_version", RecordBytes(1, 0, 1, 1))
                                .Build();
        int numbers[4];
        ASSERT_TRUE(Read(Write(file), numbers));
        // The section header table comes last, so every shorter file lacks part of it.
        for (std::size_t length = 0; length < file.size(); ++length)
            EXPECT_FALSE(Read(Write(file, length), numbers)) << (is64 ? "ELF64" : "ELF32") << " cut at " << length;
    }
}

TEST_F(VersionInfoFiles, TruncatedCopiesOfThisExecutableHaveNoVersion) {
    const TBytes self = ReadAll(QStringLiteral("/proc/self/exe"));
    ASSERT_GT(self.size(), 64u);
    // The 64-bit little-endian header says where the section header table ends.
    auto field = [&](std::size_t offset, std::size_t width) {
        std::uint64_t value = 0;
        for (std::size_t i = width; i-- > 0;)
            value = value << 8 | self[offset + i];
        return value;
    };
    const std::uint64_t tableEnd = field(0x28, 8) + field(0x3A, 2) * field(0x3C, 2);
    ASSERT_LE(tableEnd, self.size());
    std::vector<std::size_t> cuts;
    for (std::size_t length = 0; length <= 128; ++length)
        cuts.push_back(length);
    for (std::size_t length = 129; length < tableEnd; length += self.size() / 97 + 1)
        cuts.push_back(length);
    for (std::size_t back = 1; back <= 200 && back <= tableEnd; ++back)
        cuts.push_back(tableEnd - back);
    int numbers[4];
    for (const std::size_t length : cuts)
        EXPECT_FALSE(Read(Write(self, length), numbers)) << "cut at " << length;
    EXPECT_TRUE(Read(Write(self, tableEnd), numbers));
}

TEST_F(VersionInfoFiles, CorruptedHeadersNeverGiveOtherNumbers) {
    const TBytes file = TElfBuilder(true, true)
                            .Add(".text", TBytes(24, 0x90))
                            .Add(".quviro_version", RecordBytes(1, 0, 1, 1))
                            .Add(".data", TBytes(8, 0))
                            .Build();
    // Every byte outside the record, replaced by each of a few telling values: the answer is
    // either "no version" or the right numbers, and the reader never crashes.
    const std::size_t recordStart = 64 + 24;
    for (std::size_t offset = 0; offset < file.size(); ++offset) {
        if (offset >= recordStart && offset < recordStart + VersionRecord::kSize)
            continue;
        for (const std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            TBytes damaged = file;
            damaged[offset] = value;
            int numbers[4];
            if (Read(Write(damaged), numbers)) {
                EXPECT_EQ(numbers[0] * 1000 + numbers[1] * 100 + numbers[2] * 10 + numbers[3], 1011)
                    << "byte " << offset << " = " << int(value);
            }
        }
    }
}

TEST_F(VersionInfoFiles, RandomFilesWithAnElfHeaderHaveNoVersion) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 300; ++round) {
        TBytes file(64 + random() % 4096);
        for (std::uint8_t& byte : file)
            byte = static_cast<std::uint8_t>(random());
        const std::uint8_t ident[] = {
            0x7F, 'E', 'L', 'F', std::uint8_t(1 + round % 2), std::uint8_t(1 + round / 2 % 2)};
        std::copy(std::begin(ident), std::end(ident), file.begin());
        int numbers[4];
        EXPECT_FALSE(Read(Write(file), numbers)) << "round " << round;
    }
}

} // namespace
