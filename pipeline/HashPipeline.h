// The hash request pipeline: the window's control values in, one digest or one status
// message out. Standard C++ only, so the window, the command-line front and the tests run the
// same code. Text is UTF-16 (std::u16string), one code unit a character, as the window has it.
#pragma once

#include "crypt/Stream.h"
#include "hashing/HashObserver.h"
#include "hashing/NamedFileDigest.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Input types: the values of HashRequest::InputType, in the order the fronts offer them; the
// window stores them under "InputType".
inline constexpr int InputTypeFile = 0;   // the input text names a file whose bytes are hashed
inline constexpr int InputTypeText = 1;   // the input text itself, as UTF-8
inline constexpr int InputTypeHex = 2;    // hexadecimal bytes (refused in this version)
inline constexpr int InputTypeBase64 = 3; // Base64 text decoded to bytes
inline constexpr int InputTypeCount = 4;

// Salt types: the values of HashRequest::SaltType; the window stores them under "SaltType".
inline constexpr int SaltTypeNone = 0;
inline constexpr int SaltTypePrefix = 1;
inline constexpr int SaltTypeSuffix = 2;

// The control values a request reads.
struct HashRequest {
    // One of the input types; anything else (-1 = none selected) is unsupported.
    int InputType = -1;
    // The whole input text; lines separated by CR LF.
    std::u16string InputText;
    // Trim the text value (InputTypeText only).
    bool TrimInput = false;
    // SaltTypeNone or less no salt, SaltTypePrefix, SaltTypeSuffix or more suffix
    // (InputTypeText only).
    int SaltType = SaltTypeNone;
    // The salt as typed; the pipeline trims it.
    std::u16string SaltText;
    // The algorithm names offered, e.g. "MD5", "SHA1", "SHA256".
    std::vector<std::u16string> HashItems;
    // Index into HashItems; -1 when none is selected.
    int HashType = -1;
    // Give the digest in upper case.
    bool UpperHash = false;
    // Further algorithms (names as -a takes them, "BLAKE2s-256") whose digests of the same bytes
    // are computed in the same read; the selected one and repeats are left out. Empty for most
    // requests: one digest, one algorithm.
    std::vector<std::u16string> ExtraAlgorithms;
};

// The item HashType selects; empty when HashType is outside HashItems.
std::u16string_view SelectedHashItem(const HashRequest& request);

// A digest and the table name of its algorithm.
struct TAlgorithmDigest {
    std::u16string Algorithm;
    std::u16string Digest;
};

// What a request produced.
struct HashOutcome {
    // Hexadecimal digest (lower case, or upper case on request); empty on failure.
    std::u16string Digest;
    // The normalised algorithm name ("MD5", "SHA1", "SHA256") once the algorithm was looked
    // at; empty when the request failed before that.
    std::u16string Algorithm;
    // Empty on success, else the status message of the failure.
    std::u16string ErrorText;
    // The trimmed salt when the request succeeded with a non-empty salt applied, else empty.
    std::u16string SaltToRemember;
    // The observer asked to stop before the input was read whole; ErrorText is then
    // "Cancelled." and there is no digest.
    bool Cancelled = false;
    // The digests of the request's ExtraAlgorithms, in their order and in Digest's case; empty
    // on failure.
    std::vector<TAlgorithmDigest> ExtraDigests;

    bool Succeeded() const { return ErrorText.empty(); }
};

// Opens the named file (name encoded for the file system) as a stream, as the named-file unit
// takes it: throws ENoRegularFile when the name leads to no regular file, EFOpenError when the
// file is there but cannot be opened.
using TFileOpener = TNamedFileOpener;

// Runs one request. Failures never escape as exceptions that carry a message: they become
// the outcome's ErrorText, e.g. "File does not exist", "No valid text", "Invalid Base-64
// text", "Unknown Algorithm" (for an extra algorithm too), or one of the prefixes "Error
// Opening File: ", "Error loading text: ", "Error Hashing data: " followed by the failing
// layer's message (OutOfMemoryText() when memory ran out).
//
// Text is hashed as UTF-8 without byte-order mark or terminating zero; a lone surrogate is
// encoded as U+FFFD (EF BF BD). A file name is trimmed and must name a regular file after
// links are followed (a folder, FIFO, socket, device or dangling link "does not exist"); it
// is opened read-only and never blocks. A file is read to its end, so a pseudo-file (procfs,
// sysfs) gives the digest of what reading yields whatever size it reports. A read failure, or
// a file that is written (changes size or modification time) while it is hashed, is an
// "Error Hashing data: " failure, never a digest of partial data.
HashOutcome RunHashRequest(const HashRequest& request);

// The same, with the file opened through openFile instead of TFileStream.
HashOutcome RunHashRequest(const HashRequest& request, const TFileOpener& openFile);

// The same, reporting the bytes hashed to observer and stopping once it asks to (see
// THashObserver); a null observer is the same as none. Called on the thread that hashes.
HashOutcome RunHashRequest(const HashRequest& request, THashObserver* observer);
HashOutcome RunHashRequest(const HashRequest& request, const TFileOpener& openFile, THashObserver* observer);

// "Out of memory": the message of a request that ran out of memory, after its layer's prefix.
std::u16string OutOfMemoryText();
