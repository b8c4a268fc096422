// Which implementation the SHA-1 and SHA-256 engines compress blocks with.
//
// Both paths give the same digests and leave the same context records between operations
// (State, the bit count, BlockFill and Block[0 .. BlockFill-1]); they differ only in speed.
// The SHA extensions path is chosen at run time when the processor has the x86 SHA
// instructions (with SSSE3 and SSE4.1); every other processor uses the portable code.
#pragma once

enum class TDigestPath {
    Portable,      // plain C++, every byte copied through the context's Block
    ShaExtensions, // x86 SHA instructions; whole blocks compressed where they lie in the caller's data
};

// True when this processor can run path (Portable always can).
bool DigestPathSupported(TDigestPath path);

// The fastest path this processor supports, found once by asking the processor (cpuid).
TDigestPath BestDigestPath();

// The path the engines use now: BestDigestPath() unless UseDigestPath chose another.
TDigestPath ActiveDigestPath();

// Makes every later SHA-1 and SHA-256 operation of the process use path; tests and benchmarks
// use it to compare the paths. Returns false and changes nothing for a path this processor
// cannot run. A context may move between paths between operations.
bool UseDigestPath(TDigestPath path);
