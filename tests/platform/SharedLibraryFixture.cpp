// A library for the shared-library tests to load: one function with a known answer.
extern "C" int QuviroFixtureAnswer() {
    return 42;
}
