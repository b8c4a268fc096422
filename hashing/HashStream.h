// The stream functions: the digest of a stream's bytes as lower-case hexadecimal text, or empty
// text on any failure. They read through the one file reader (TStreamDigester) and add only the
// choice of where to start and whether to seek back.
//
// The bytes hashed run from the start position (0 when fromStart, else the stream's position
// on entry) to the end of the data, where a read delivers fewer bytes than asked, so a
// pseudo-file whose reported size is not its content gives the digest of what reading yields.
// With restorePosition the stream is moved back to its entry position after a successful
// computation; after a failure it stays wherever the failure left it. The stream remains the
// caller's: it is never written, freed or kept.
//
// They never throw. The empty text comes for a null stream and on any failure: the stream's
// size or position cannot be asked, a seek or read fails, its CheckUnchanged throws (a file
// written while it was hashed), no memory. No digest of partial or mixed data is ever returned.
#pragma once

#include "crypt/Stream.h"

#include <string>

std::string MD5HashStream(TStream* stream, bool fromStart, bool restorePosition);    // 32 characters
std::string SHA1HashStream(TStream* stream, bool fromStart, bool restorePosition);   // 40 characters
std::string SHA256HashStream(TStream* stream, bool fromStart, bool restorePosition); // 64 characters
