#include "platform/InstanceAtom.h"

#include "platform/windows/SystemNames.h"

namespace {

// This process's share: the atom GlobalAddAtomW answered, 0 for none.
ATOM& HeldAtom() {
    static ATOM atom = 0;
    return atom;
}

} // namespace

bool AddInstanceAtom(const std::string& name, const std::string&) {
    if (HeldAtom() == 0)
        HeldAtom() = ::GlobalAddAtomW(WideName(name).c_str());
    return HeldAtom() != 0;
}

void DeleteInstanceAtom() {
    if (HeldAtom() != 0)
        ::GlobalDeleteAtom(HeldAtom());
    HeldAtom() = 0;
}

bool FindInstanceAtom(const std::string& name, const std::string&) {
    return ::GlobalFindAtomW(WideName(name).c_str()) != 0;
}
