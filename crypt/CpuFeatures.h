// What the processor and the operating system let the engines' vector paths use, asked once.
//
// A feature counts only when both the processor has it and the operating system saves the
// registers it needs (XGETBV), so a path chosen from these flags never faults. Every flag is
// false on processors other than x86-64.
#pragma once

struct TCpuFeatures {
    bool SSSE3;
    bool SSE41;
    bool SHA;     // the SHA-1/SHA-256 instructions
    bool AVX2;    // with the 256-bit registers saved by the system
    bool AVX512F; // with AVX512VL and the 512-bit registers saved by the system
};

// The features of the processor this process runs on, found with cpuid on first use.
const TCpuFeatures& ProcessorFeatures();
