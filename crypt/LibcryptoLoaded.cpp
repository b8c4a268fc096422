// The system's shared libcrypto, loaded on the first digest that needs it. LIBCRYPTO_SONAME is
// the file name of the library the build compiled against (its headers fix the calls' types),
// so a newer libcrypto of the same ABI, such as a security fix, is the one loaded.
#include "crypt/LibcryptoCalls.h"

#include "platform/SharedLibrary.h"

#include <stdexcept>
#include <string>

namespace {

struct TBinding {
    TLibcryptoCalls Calls{};
    std::string Failure; // empty when every call was found
};

template <typename TCall>
void Bind(const TSharedLibrary& library, const char* name, TCall& call, std::string& failure) {
    // POSIX guarantees that a function's address survives the round trip through void*.
    call = reinterpret_cast<TCall>(SharedLibrarySymbol(library, name));
    if (call == nullptr && failure.empty())
        failure = std::string(LIBCRYPTO_SONAME " has no ") + name;
}

TBinding Load() {
    TBinding binding;
    const TSharedLibrary library = LoadSharedLibrary(LIBCRYPTO_SONAME);
    if (library.Handle == nullptr) {
        binding.Failure = "libcrypto cannot be loaded: " + library.Failure;
        return binding;
    }
    TLibcryptoCalls& calls = binding.Calls;
    Bind(library, "EVP_MD_fetch", calls.MdFetch, binding.Failure);
    Bind(library, "EVP_MD_free", calls.MdFree, binding.Failure);
    Bind(library, "EVP_MD_CTX_new", calls.ContextNew, binding.Failure);
    Bind(library, "EVP_MD_CTX_free", calls.ContextFree, binding.Failure);
    Bind(library, "EVP_DigestInit_ex2", calls.DigestInit, binding.Failure);
    Bind(library, "EVP_DigestUpdate", calls.DigestUpdate, binding.Failure);
    Bind(library, "EVP_DigestFinal_ex", calls.DigestFinal, binding.Failure);
    return binding;
}

} // namespace

const TLibcryptoCalls& LibcryptoCalls() {
    static const TBinding binding = Load();
    if (!binding.Failure.empty())
        throw std::runtime_error(binding.Failure);
    return binding.Calls;
}
