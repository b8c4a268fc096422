#include "platform/PathNames.h"

std::string PortableName(std::string_view name) {
    return std::string(name);
}
