// Which implementation BLAKE3 hashes many chunks with.
//
// Every path gives the same digests; they differ in how many inputs one pass compresses side by
// side (1, 4, 8 or 16). The best path the processor and system support is chosen at run time;
// a wide path passes what is left of a batch to the narrower ones.
#pragma once

enum class TBLAKE3Path {
    Portable, // plain C++, one input at a time
    SSE41,    // four inputs in 128-bit vectors
    AVX2,     // eight inputs in 256-bit vectors
    AVX512,   // sixteen inputs in 512-bit vectors (AVX-512F with VL)
};

// True when this processor can run path (Portable always can).
bool BLAKE3PathSupported(TBLAKE3Path path);

// The widest path this processor supports.
TBLAKE3Path BestBLAKE3Path();

// The path BLAKE3 uses now: BestBLAKE3Path() unless UseBLAKE3Path chose another.
TBLAKE3Path ActiveBLAKE3Path();

// Makes every later BLAKE3 operation of the process use path; tests and benchmarks use it to
// compare the paths. Returns false and changes nothing for a path this processor cannot run.
bool UseBLAKE3Path(TBLAKE3Path path);
