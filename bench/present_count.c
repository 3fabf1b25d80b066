/* Counts the frames a window is shown on the X server: every presentation of
 * a software OpenGL frame (glXSwapBuffers through Mesa's swrast, XPutImage or
 * XShmPutImage) redraws the whole window, and the server's Damage extension
 * reports each drawing into the window as it happens. Damage of part of the
 * window (an expose, a frame drawn by a window manager) is not a frame.
 *
 *   quarn-present-count <window id> <seconds>
 *
 * Prints one line: frames=<n> seconds=<s> fps=<n/s> partial=<other damage>.
 * The window is watched from the moment the server has the request; nothing
 * the window's program does is changed (no sync, no reply it has to wait for). */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static int ignoreErrors(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s <window id> <seconds>\n", argv[0]);
    return 2;
  }
  char* end = NULL;
  Window window = (Window)strtoul(argv[1], &end, 0);
  double seconds = atof(argv[2]);
  if (!end || *end || window == 0 || !(seconds > 0.0)) {
    fprintf(stderr, "%s: want a window id and a number of seconds, got '%s' '%s'\n", argv[0], argv[1], argv[2]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  int eventBase = 0, errorBase = 0;
  if (!XDamageQueryExtension(display, &eventBase, &errorBase)) {
    fprintf(stderr, "%s: the X server has no Damage extension\n", argv[0]);
    return 1;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) {
    fprintf(stderr, "%s: no window %s\n", argv[0], argv[1]);
    return 1;
  }
  /* The window may go away while it is watched (the game ends): that ends the count, quietly. */
  XSetErrorHandler(ignoreErrors);
  XDamageCreate(display, window, XDamageReportRawRectangles);
  XSelectInput(display, window, StructureNotifyMask);
  XSync(display, False);

  long frames = 0, partial = 0;
  int gone = 0;
  const double start = Now(), stop = start + seconds;
  double now = start;
  while (!gone && now < stop) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == eventBase + XDamageNotify) {
        const XDamageNotifyEvent* damage = (const XDamageNotifyEvent*)&event;
        if (damage->area.x == 0 && damage->area.y == 0 && damage->area.width == attributes.width &&
            damage->area.height == attributes.height)
          frames += 1;
        else
          partial += 1;
      } else if (event.type == ConfigureNotify) {
        attributes.width = event.xconfigure.width;
        attributes.height = event.xconfigure.height;
      } else if (event.type == DestroyNotify) {
        gone = 1;
      }
    }
    now = Now();
    int wait = (int)((stop - now) * 1000.0) + 1;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    if (wait > 0) poll(&connection, 1, wait < 5 ? wait : 5);
    now = Now();
  }
  const double span = (now < stop ? now : stop) - start;
  printf("frames=%ld seconds=%.3f fps=%.1f partial=%ld%s\n", frames, span, (double)frames / span, partial,
         gone ? " (the window went away)" : "");
  XCloseDisplay(display);
  return gone ? 1 : 0;
}
