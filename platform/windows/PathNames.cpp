#include "platform/PathNames.h"

#include <algorithm>

std::string PortableName(std::string_view name) {
    std::string portable(name);
    std::replace(portable.begin(), portable.end(), '\\', '/');
    return portable;
}
