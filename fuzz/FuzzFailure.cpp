#include "fuzz/FuzzInput.h"

#include <cstdio>
#include <cstdlib>

void FuzzFailure(const char* what, const QString& detail) {
    std::fprintf(stderr, "property violated: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}
