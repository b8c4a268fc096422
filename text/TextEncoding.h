// Byte encodings of text: UTF-8 both ways, and the encodings of data set files.
//
// Files with a byte-order mark are UTF-8 (EF BB BF), UTF-16 little-endian (FF FE) or UTF-16
// big-endian (FE FF). A file without a mark is in the "Ansi" encoding: on Windows the system's
// ANSI code page (platform/AnsiCodePage.h); where the system has none, UTF-8 written without a
// mark, and a file that is not valid UTF-8 is decoded as Windows-1252 instead, so that files
// carried over from a Windows installation read correctly.
#pragma once

#include <string>
#include <string_view>

// The text encoding a list was last loaded from, and so the one it is saved in next.
// Ansi stands for the 8-bit code page of files without a byte-order mark.
enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// Detects the encoding from the mark (first match wins: UTF-8, UTF-16LE, UTF-16BE, else
// Ansi), stores it in encoding and answers the decoded text, all of it: a NUL is a character
// like any other (a hand edit or a bad sync may put one anywhere), so nothing after it is
// lost, and EncodeText writes it back. Never fails:
// - UTF-8 with a mark: invalid sequences become U+FFFD.
// - UTF-16: code units are taken as they are, so lone surrogates stay; an odd final byte is
//   dropped, since it cannot form a code unit.
// - Ansi: the system's ANSI code page where it has one; elsewhere UTF-8 when valid, else
//   Windows-1252, whose five undefined bytes 81 8D 8F 90 9D become U+0081, U+008D, U+008F,
//   U+0090 and U+009D.
std::u16string DecodeText(std::string_view bytes, TTextEncoding& encoding);

// The mark of encoding (none for Ansi) followed by text in that encoding. UTF-16 writes
// every code unit as it is; the UTF-8 forms encode as EncodeUtf8 does. Ansi is the system's
// ANSI code page where it has one (with the UTF-8 mark where that code page is UTF-8); a text
// with a character the code page lacks is written as UTF-8 with its mark, so that no typed
// character turns into a best-fit one. Where the system has none it is UTF-8 without a mark.
std::string EncodeText(std::u16string_view text, TTextEncoding encoding);

// UTF-16 to UTF-8 without a mark or a terminating zero. A surrogate without its partner
// becomes replacement: U+FFFD (EF BF BD) unless said otherwise, as the platform converters of
// Windows do.
std::string EncodeUtf8(std::u16string_view text, char16_t replacement = u'\uFFFD');

// UTF-8 to UTF-16, a byte-order mark kept as the character U+FEFF. Every byte that does not
// begin a valid sequence (an overlong form, a surrogate, a code point above U+10FFFF, a sequence
// cut short, a stray continuation byte) becomes one U+FFFD, and decoding goes on with the byte
// after it.
std::u16string DecodeUtf8(std::string_view bytes);

// Decodes bytes as Windows-1252; every byte gives one character.
std::u16string DecodeWindows1252(std::string_view bytes);
