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

namespace {

// Which name bytes a line escapes: coreutils' three, b3sum's two, or none.
enum class TNameForm { Coreutils, B3sum, Verbatim };

bool NeedsEscape(TNameForm form, std::string_view name) {
    switch (form) {
    case TNameForm::Coreutils:
        return ChecksumNameNeedsEscape(name);
    case TNameForm::B3sum:
        return name.find_first_of("\\\n") != std::string_view::npos;
    case TNameForm::Verbatim:
        break;
    }
    return false;
}

std::string WriteLine(TChecksumStyle style, TNameForm form, std::string_view tag, std::string_view digest,
                      std::string_view name, char terminator) {
    // Only line-feed-terminated lines are escaped: with NUL as the terminator every name byte
    // but NUL can stand as it is, and no file name holds NUL. b3sum writes a carriage return as
    // it is, and its checker refuses "\r".
    const bool escape = terminator == '\n' && NeedsEscape(form, name);
    std::string shown;
    if (!escape)
        shown = name;
    else if (form == TNameForm::B3sum)
        for (const char c : name)
            shown += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : std::string(1, c);
    else
        shown = EscapeChecksumName(name);
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

// A TaggedOnly row's bare digest would be read as another row's: its lines name it.
TChecksumStyle RowStyle(const TAlgorithmInfo& row, TChecksumStyle style) {
    const bool bare = style == TChecksumStyle::Gnu || style == TChecksumStyle::GnuBinary;
    return row.TaggedOnly && bare ? TChecksumStyle::Bsd : style;
}

TNameForm RowNameForm(const TAlgorithmInfo& row, TChecksumStyle style) {
    if (style == TChecksumStyle::Sfv || row.Program == "xxhsum")
        return TNameForm::Verbatim;
    // b3sum writes no BSD lines; the program's own BLAKE3 BSD lines are escaped as coreutils does.
    if (row.Program == "b3sum" && style != TChecksumStyle::Bsd)
        return TNameForm::B3sum;
    return TNameForm::Coreutils;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string FormatChecksumLine(TChecksumStyle style, std::string_view tag, std::string_view digest,
                               std::string_view name, char terminator) {
    return WriteLine(style, style == TChecksumStyle::Sfv ? TNameForm::Verbatim : TNameForm::Coreutils, tag, digest,
                     name, terminator);
}

std::string_view UnwritableName(const TAlgorithmInfo& row, TChecksumStyle style, std::string_view name,
                                char terminator) {
    const bool lineFeedEnds = terminator == '\n';
    if (style != TChecksumStyle::Sfv) {
        if (RowNameForm(row, style) == TNameForm::Verbatim && lineFeedEnds && name.find('\n') != std::string_view::npos)
            return "Not listed: xxhsum lines cannot hold a name with a line feed";
        return {};
    }
    // rhash -c reads "\" as "/", trims blanks around the name, skips lines starting with ";"
    // and drops a carriage return before the line feed.
    if (name.find('\\') != std::string_view::npos)
        return "Not listed: SFV lines cannot hold a name with a backslash (read as a folder separator)";
    if (lineFeedEnds && name.find('\n') != std::string_view::npos)
        return "Not listed: SFV lines cannot hold a name with a line feed";
    if (lineFeedEnds && !name.empty() && name.back() == '\r')
        return "Not listed: SFV lines cannot hold a name ending in a carriage return";
    if (!name.empty() && (IsBlank(name.front()) || IsBlank(name.back())))
        return "Not listed: SFV lines cannot hold a name beginning or ending with a space or tab";
    if (!name.empty() && name.front() == ';')
        return "Not listed: SFV lines cannot hold a name beginning with \";\" (a comment)";
    return {};
}

std::string FormatRowLine(const TAlgorithmInfo& row, TChecksumStyle style, std::string_view digest,
                          std::string_view name, char terminator) {
    return WriteLine(RowStyle(row, style), RowNameForm(row, style), row.Tag, digest, name, terminator);
}
