// dorvik: the setup tool. Its window is not built yet: it says so and fails rather than pretend to work.
#include <cstdio>

int main() {
  std::fputs("dorvik: the setup tool is not available in this build yet.\n", stderr);
  return 1;
}
