// The failure of an index outside a list, shared by the line lists and the request's algorithm items.
#pragma once

#include <stdexcept>

// An index outside the list: "List index out of bounds (N)".
class EListError : public std::runtime_error {
public:
    explicit EListError(int index);
};

// Throws EListError unless 0 <= index < limit.
void CheckListIndex(int index, int limit);
