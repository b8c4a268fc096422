// Text files without a byte-order mark in the system's ANSI code page. On Windows that is the
// active code page (GetACP), converted as MultiByteToWideChar and WideCharToMultiByte convert
// without flags. POSIX systems have no ANSI code page: there AnsiCodePage() is 0, the conversions
// answer false and the program uses its own stand-in (text/TextEncoding.h).
#pragma once

#include <string>
#include <string_view>

// The ANSI code page's number (1252 for Western European Windows), 0 where the system has none.
unsigned AnsiCodePage();

// bytes decoded from the ANSI code page, every byte (NUL too) read. False where the system has
// no ANSI code page.
bool DecodeAnsi(std::string_view bytes, std::u16string& text);

// text encoded in the ANSI code page for a file; where that code page is UTF-8 (65001) the bytes
// begin with its byte-order mark EF BB BF. False where the system has no ANSI code page, and
// when the code page lacks a character of text, which the system would write as a best-fit or
// default character that does not read back.
bool EncodeAnsi(std::u16string_view text, std::string& bytes);
