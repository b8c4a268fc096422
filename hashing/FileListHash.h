// quviro-cli's file lists: the digests of many files as checksum lines, several files at a
// time, written in input order.
#pragma once

#include "checksums/ChecksumFormat.h"
#include "crypt/HashAlgorithm.h"
#include "hashing/HashProgress.h"
#include "hashing/NamedFileDigest.h"
#include "hashing/OrderedJobs.h"
#include "hashing/ReadGate.h"
#include "hashing/StreamDigest.h"
#include "hashing/TreeWalk.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TFileListSettings {
    // Computed from one read of each file; each file's lines come in this order.
    std::vector<THashAlgorithm> Algorithms{DefaultAlgorithm};
    TChecksumStyle Style = TChecksumStyle::Gnu;
    bool UpperHash = false;
    char Terminator = '\n'; // '\0' for -z
    int Jobs = 1;           // 1 .. MaxJobs
    bool Recursive = false;
    // What the inputs as given may lead to (a folder's walked entries are regular files only).
    TNamedFileKinds Inputs = TNamedFileKinds::RegularOnly;
    // The file the lines go to, left out of walked folders.
    std::optional<TFileIdentity> Output;
    // Told of every file read and done, failed ones included, when given.
    TListProgress* Progress = nullptr;
    // How the jobs learn which files lie on a rotating disk, whose files they read one at a time.
    TReadGateSeam ReadGate;
};

// Where the lines go, in order: Write gets standard output's bytes, Error standard error's.
// Each answers false when writing failed.
struct TFileListSink {
    std::function<bool(std::string_view)> Write;
    std::function<bool(std::string_view)> Error;
};

enum class TFileListResult {
    AllHashed,   // every file gave its line
    SomeFailed,  // some file or folder failed; its message went to Error, the others were hashed
    WriteFailed, // the sink refused bytes; the run stopped there
};

// The buffer size for each of jobs workers, so that all of them together (two buffers each)
// stay within 32 MiB: chunks of TStreamDigester::CacheChunk (1 MiB) up to 16 jobs, smaller ones
// beyond, never under 64 KiB.
std::int64_t ChunkForJobs(int jobs);

// The threads each of jobs workers may hash one large file's BLAKE3 on, so that all of them
// together stay near one per processor: every processor for one job, one each from as many
// jobs as processors on.
unsigned TreeThreadsForJobs(int jobs);

// jobs, or fewer when the descriptor limit leaves no room for each job's open file beside the
// descriptors open now and a few for the walk's folder and the rest of the program; at least 1.
int JobsForDescriptors(int jobs);

// Hashes the files that inputs stand for (TreeWalk.h), one line per algorithm each in input
// order, each through DigestNamedFile (NamedFileDigest.h). The input "-" is standard input, named "-" in its lines;
// given again it is read again from where the first read ended (empty for a pipe at its end), as the coreutils tools
// do. A failed file or folder writes "NAME: MESSAGE" to Error in its turn; a skipped entry writes "NAME: Skipped: not a
// regular file"; MESSAGE is the file's Reason, for a folder not walked followed by a hint to use -r. A name that the
// style's peer tool could not read back from its line (UnwritableName of checksums/ChecksumFormat.h) writes
// "NAME: Not listed: ...". Lines are written by FormatRowLine, as each row's peer tool writes them. Lines and messages
// name a file as PortableName (platform/PathNames.h) writes it ("/" between folders on Windows too); NAME is
// escaped as in checksum lines when it then holds a backslash, line feed or carriage return. One input without
// recursive is hashed by one job, whatever settings.Jobs says, so that a single large file has every processor to
// itself. With several jobs, the files of a rotating disk are read one at a time (ReadGate.h).
TFileListResult HashFileList(const std::vector<std::string>& inputs, const TFileListSettings& settings,
                             const TFileListSink& sink);
