#include "platform/SharedLibrary.h"

#include <dlfcn.h>

TSharedLibrary LoadSharedLibrary(const char* soname) {
    TSharedLibrary library;
    // RTLD_LOCAL: the library's symbols serve only the calls that ask for them, so they cannot
    // take the place of another library's symbols of the same name.
    library.Handle = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library.Handle == nullptr) {
        const char* reason = ::dlerror();
        library.Failure = reason != nullptr ? reason : "the library did not load";
    }
    return library;
}

void* SharedLibrarySymbol(const TSharedLibrary& library, const char* name) {
    return library.Handle != nullptr ? ::dlsym(library.Handle, name) : nullptr;
}
