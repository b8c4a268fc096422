// Test helper, a second instance for InstanceAtomTest: "InstanceAtomSharer NAME LOCKFILE" exits
// 0 when it finds the mark the test holds, adds its own share and takes it away again, and
// finds the test's share still there afterwards; 1 otherwise.
#include "platform/InstanceAtom.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const bool seenBefore = FindInstanceAtom(argv[1], argv[2]);
    const bool added = AddInstanceAtom(argv[1], argv[2]);
    DeleteInstanceAtom();
    const bool seenAfter = FindInstanceAtom(argv[1], argv[2]);
    return seenBefore && added && seenAfter ? 0 : 1;
}
