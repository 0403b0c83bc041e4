// A program that only carries a version (1.2.10.5, see CMakeLists.txt), for the version tests.
int main() { return 0; }
