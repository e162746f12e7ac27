/* Dies of a null-pointer read: the run must see it end, with a backtrace. */
#include <stdio.h>

int main(void) {
  volatile int* volatile nowhere = 0;
  fputs("about to crash\n", stderr);
  fflush(stderr);
  return *nowhere;
}
