#include "platform/Processors.h"

#include "platform/windows/SystemNames.h"

#include <algorithm>

unsigned ProcessorCount() {
    static const unsigned count = std::max<DWORD>(::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS), 1);
    return count;
}
