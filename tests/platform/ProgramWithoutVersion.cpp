// A program built without the project's version record or resource, for ProgramVersionTest.
int main() {
    return 0;
}
