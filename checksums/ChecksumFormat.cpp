#include "checksums/ChecksumFormat.h"

bool ChecksumNameNeedsEscape(std::string_view name) {
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string EscapeChecksumName(std::string_view name) {
    std::string escaped;
    escaped.reserve(name.size());
    for (const char c : name) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> UnescapeChecksumName(std::string_view escaped) {
    std::string name;
    name.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            name += escaped[i];
            continue;
        }
        if (++i == escaped.size())
            return std::nullopt;
        switch (escaped[i]) {
        case '\\':
            name += '\\';
            break;
        case 'n':
            name += '\n';
            break;
        case 'r':
            name += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return name;
}

std::string FormatChecksumLine(TChecksumStyle style, std::string_view tag, std::string_view digest,
                               std::string_view name, char terminator) {
    // Only line-feed-terminated lines are escaped: with NUL as the terminator every name byte
    // but NUL can stand as it is, and no file name holds NUL.
    const bool escape = terminator == '\n' && ChecksumNameNeedsEscape(name);
    const std::string shown = escape ? EscapeChecksumName(name) : std::string(name);
    std::string line;
    line.reserve(shown.size() + digest.size() + tag.size() + 8);
    if (escape)
        line += '\\';
    if (style == TChecksumStyle::Bsd) {
        line.append(tag).append(" (").append(shown).append(") = ").append(digest);
    } else if (style == TChecksumStyle::Sfv) {
        line.append(shown).append(" ").append(digest);
    } else {
        line.append(digest).append(style == TChecksumStyle::GnuBinary ? " *" : "  ").append(shown);
    }
    line += terminator;
    return line;
}
