// The layout of the version record that the build places in a named ELF section of each
// executable. Writer (the generated source of cmake/VersionRecord.cpp.in) and reader
// (platform/posix/ProgramVersion.cpp) share this header, so the two cannot drift apart.
//
// The record is 16 bytes, every number little-endian whatever the host:
//   0  8 bytes  tag "QVVERREC"
//   8  uint32   file version, high part: major << 16 | minor
//  12  uint32   file version, low part: release << 16 | build
// The two numbers carry the meaning of the high and low 32 bits of a fixed file information
// block's file version; each of the four numbers is 0..65535.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace VersionRecord {

inline constexpr char kSectionName[] = ".quviro_version";
inline constexpr std::size_t kSize = 16;
inline constexpr std::array<std::uint8_t, 8> kTag = {'Q', 'V', 'V', 'E', 'R', 'R', 'E', 'C'};

struct TNumbers {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t release = 0;
    std::uint16_t build = 0;
};

constexpr void StoreLE32(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    out[2] = static_cast<std::uint8_t>(value >> 16);
    out[3] = static_cast<std::uint8_t>(value >> 24);
}

constexpr std::uint32_t LoadLE32(const std::uint8_t* in) {
    return std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24;
}

constexpr std::array<std::uint8_t, kSize> Encode(TNumbers numbers) {
    std::array<std::uint8_t, kSize> record{};
    for (std::size_t i = 0; i < kTag.size(); ++i)
        record[i] = kTag[i];
    StoreLE32(record.data() + 8, std::uint32_t{numbers.major} << 16 | numbers.minor);
    StoreLE32(record.data() + 12, std::uint32_t{numbers.release} << 16 | numbers.build);
    return record;
}

// True when bytes starts with a whole record; numbers then holds its four numbers.
constexpr bool Decode(std::span<const std::uint8_t> bytes, TNumbers& numbers) {
    if (bytes.size() < kSize)
        return false;
    for (std::size_t i = 0; i < kTag.size(); ++i) {
        if (bytes[i] != kTag[i])
            return false;
    }
    const std::uint32_t high = LoadLE32(bytes.data() + 8);
    const std::uint32_t low = LoadLE32(bytes.data() + 12);
    numbers.major = static_cast<std::uint16_t>(high >> 16);
    numbers.minor = static_cast<std::uint16_t>(high);
    numbers.release = static_cast<std::uint16_t>(low >> 16);
    numbers.build = static_cast<std::uint16_t>(low);
    return true;
}

} // namespace VersionRecord
