// Digests of the bytes of a stream, as lower-case hexadecimal text.
//
// The bytes hashed run from the start position (0 when fromStart, else the stream's position
// on entry) to the end of the data: reading goes on until a read delivers fewer bytes than
// asked, so a pseudo-file whose reported size is not its content (procfs reports 0, sysfs a
// page) gives the digest of what reading yields. The stream is read in chunks into one buffer
// allocated once: the bytes the stream reports from the start position plus one, at most
// 4 MiB, and 64 KiB when it reports none. With restorePosition the stream is moved back to its
// entry position after a successful computation; after a failure it stays wherever the failure
// left it. The stream remains the caller's: it is never written, freed or kept.
//
// A read that fails, a stream whose size at the end differs from its size on entry, or one
// whose CheckUnchanged throws (a file written while it was hashed) is a failure: no digest of
// partial or mixed data is ever returned.
#pragma once

#include "crypt/RunningDigest.h"
#include "crypt/Stream.h"

#include <string>

// These three never throw. They return the empty text for a null stream and on any failure
// (the stream's size or position cannot be asked, a seek or read fails, no memory).
std::string MD5HashStream(TStream* stream, bool fromStart, bool restorePosition);    // 32 characters
std::string SHA1HashStream(TStream* stream, bool fromStart, bool restorePosition);   // 40 characters
std::string SHA256HashStream(TStream* stream, bool fromStart, bool restorePosition); // 64 characters

// The same computation, but a failure passes on as its exception: the stream's own exception
// (CheckUnchanged's included), EReadError with StreamChangedSizeMessage for a size that moved,
// std::bad_alloc without memory, std::invalid_argument for an algorithm value outside the
// enumeration.
std::string HashStreamOrThrow(THashAlgorithm algorithm, TStream& stream, bool fromStart, bool restorePosition);
