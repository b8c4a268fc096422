// Base64 text (the standard alphabet "A-Z a-z 0-9 + /") decoded into a byte stream.
#pragma once

#include "crypt/Stream.h"

#include <string_view>

inline constexpr std::u16string_view Base64Alphabet =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Decodes text and writes the bytes at the stream's position, one write of 1 to 3 bytes per
// group of four characters; the stream is never moved otherwise.
//
// Lenient about the end: only the characters up to and including the first "=" are looked at,
// and characters missing from the last group count as "=" (a group with two or more pads gives
// fewer bytes, one with three or four none). Strict about everything else: a character outside
// the alphabet (whitespace, line breaks, "-", "_", anything not ASCII) returns false at once,
// with the groups before it already written and nothing of its own group.
//
// Returns true when every character looked at was valid. Exceptions of the stream's write pass on.
bool Base64DecodeToStream(std::u16string_view text, TStream& stream);
