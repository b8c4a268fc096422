// Digests of the bytes of a stream, as lower-case hexadecimal text.
//
// The bytes hashed run from the start position (0 when fromStart, else the stream's position
// on entry) up to the stream's size as asked on entry; bytes added meanwhile are not hashed.
// The stream is read in chunks of at most 4 MiB into one buffer allocated once, never larger
// than the stream. With restorePosition the stream is moved back to its entry position after a
// successful computation; after a failure it stays wherever the failure left it. The stream
// remains the caller's: it is never written, freed or kept.
//
// A read that fails, or that delivers fewer bytes than asked (a file that shrank while it was
// hashed), is a failure: no digest of partial data is ever returned.
#pragma once

#include "crypt/Stream.h"

#include <string>

// These three never throw. They return the empty text for a null stream and on any failure
// (the stream's size or position cannot be asked, a seek or read fails, no memory).
std::string MD5HashStream(TStream* stream, bool fromStart, bool restorePosition);    // 32 characters
std::string SHA1HashStream(TStream* stream, bool fromStart, bool restorePosition);   // 40 characters
std::string SHA256HashStream(TStream* stream, bool fromStart, bool restorePosition); // 64 characters

enum class THashAlgorithm { MD5, SHA1, SHA256 };

// The same computation, but a failure passes on as its exception: the stream's own exception,
// EReadError for a short read, std::bad_alloc without memory, std::invalid_argument for an
// algorithm value outside the enumeration.
std::string HashStreamOrThrow(THashAlgorithm algorithm, TStream& stream, bool fromStart, bool restorePosition);
