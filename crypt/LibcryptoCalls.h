// The calls of libcrypto that the EVP engines make, reached through one table so that the
// library can be loaded on first need: a run that hashes only with the project's own engines,
// libdeflate or libxxhash never maps, relocates or initialises libcrypto. The build chooses how
// the table is bound: LibcryptoLoaded.cpp loads the system's shared libcrypto (which keeps
// receiving the system's security fixes), LibcryptoLinked.cpp points at a libcrypto linked into
// the program (the static Windows build).
#pragma once

#include <openssl/evp.h>

struct TLibcryptoCalls {
    decltype(&EVP_MD_fetch) MdFetch;
    decltype(&EVP_MD_free) MdFree;
    decltype(&EVP_MD_CTX_new) ContextNew;
    decltype(&EVP_MD_CTX_free) ContextFree;
    decltype(&EVP_DigestInit_ex2) DigestInit;
    decltype(&EVP_DigestUpdate) DigestUpdate;
    decltype(&EVP_DigestFinal_ex) DigestFinal;
};

// libcrypto's calls, bound on the first call of the process (safe from several threads at once);
// throws std::runtime_error, naming the library and the system's reason, when libcrypto cannot
// be loaded or lacks one of the calls, on that and every later call.
const TLibcryptoCalls& LibcryptoCalls();
