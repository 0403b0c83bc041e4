// dvsc: the scheduler service. Not built yet: it says so and fails rather than pretend to poll.
#include <cstdio>

int main() {
  std::fputs("dvsc: the scheduler service is not available in this build yet.\n", stderr);
  return 1;
}
