// Whether this build has the engines' vector paths (BLAKE3's and the MD5 and SHA-1 lanes'): x86-64
// only. They are written with GCC's vector extensions and target pragmas; other compilers (clang,
// which builds the fuzz targets) build the portable paths alone.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUVIRO_VECTOR_PATHS 1
#endif
