#include "platform/Processors.h"

#include <algorithm>
#include <climits>
#include <unistd.h>

unsigned ProcessorCount() {
    static const unsigned count = static_cast<unsigned>(std::clamp<long>(::sysconf(_SC_NPROCESSORS_ONLN), 1, INT_MAX));
    return count;
}
