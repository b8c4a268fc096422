#include "text/ListError.h"

#include <string>

EListError::EListError(int index) : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}

void CheckListIndex(int index, int limit) {
    if (index < 0 || index >= limit)
        throw EListError(index);
}
