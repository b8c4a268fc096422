// libcrypto linked into the program: the calls are its own functions.
#include "crypt/LibcryptoCalls.h"

const TLibcryptoCalls& LibcryptoCalls() {
    static constexpr TLibcryptoCalls calls{EVP_MD_fetch,       EVP_MD_free,      EVP_MD_CTX_new,    EVP_MD_CTX_free,
                                           EVP_DigestInit_ex2, EVP_DigestUpdate, EVP_DigestFinal_ex};
    return calls;
}
