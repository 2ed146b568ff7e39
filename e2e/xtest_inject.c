/* Injects mouse button presses through XTest with exact gaps and prints, for each press, the
 * CLOCK_MONOTONIC_RAW time it was sent (the clock Wine's performance counter runs on).
 *
 * usage: xtest_inject BUTTON:DELAY_US ...   e.g. 1:0 3:3270 (left down, 3.27 ms later right down)
 * Each step presses a button after waiting DELAY_US since the previous step; every button is
 * released 30 ms after the last press. Output: one line per press, "button nanoseconds".
 */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static long long Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC_RAW, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

/* Sleeps until shortly before the deadline and spins the rest: exact, without holding a core
 * (the X server and Wine need both cores of a small machine). */
static void WaitUntil(long long deadline) {
  const long long spin = 300000;
  long long left = deadline - Now();
  if (left > spin) {
    struct timespec pause = {(left - spin) / 1000000000LL, (left - spin) % 1000000000LL};
    nanosleep(&pause, NULL);
  }
  while (Now() < deadline) {
  }
}

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "xtest_inject: cannot open display\n");
    return 1;
  }
  int buttons[64], count = 0;
  long long sent[64];
  long long next = Now();
  for (int i = 1; i < argc && count < 64; ++i) {
    int button = 0;
    long delay = 0;
    if (sscanf(argv[i], "%d:%ld", &button, &delay) != 2 || button < 1 || button > 5 || delay < 0) {
      fprintf(stderr, "xtest_inject: bad step %s\n", argv[i]);
      XCloseDisplay(display);
      return 2;
    }
    next += delay * 1000LL;
    WaitUntil(next);
    sent[count] = Now();
    XTestFakeButtonEvent(display, (unsigned)button, True, CurrentTime);
    XFlush(display);
    buttons[count++] = button;
  }
  WaitUntil(Now() + 30000000LL);
  for (int i = 0; i < count; ++i) XTestFakeButtonEvent(display, (unsigned)buttons[i], False, CurrentTime);
  XFlush(display);
  XCloseDisplay(display);
  for (int i = 0; i < count; ++i) printf("%d %lld\n", buttons[i], sent[i]);
  return 0;
}
