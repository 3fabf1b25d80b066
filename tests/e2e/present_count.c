/* Counts the frames a window is shown on the X server. Each presentation of a
 * software OpenGL frame (glXSwapBuffers through Mesa's swrast: XPutImage or
 * XShmPutImage) redraws the whole window, and the server's Damage extension
 * reports every drawing into the window as it happens. Damage to part of the
 * window (an expose, a window manager's frame) is not a frame, and neither are
 * several whole-window redraws in one millisecond of the server's clock: Wine
 * repaints the client area a few times over, within microseconds, whenever the
 * window's title changes, while a frame of the game is one redraw and the next
 * comes more than a millisecond later.
 *
 *   quarn-present-count <window id> <seconds>
 *       counts for that long: frames=<n> seconds=<s> fps=<n/s> partial=<other damage>
 *       bursts=<whole-window redraws that came several in a millisecond>
 *   quarn-present-count --frames <n> <window id> <timeout seconds>
 *       waits until n frames have been shown (status 1 when the time runs out first)
 *   quarn-present-count --none-for <seconds> <window id> <timeout seconds>
 *       waits until no frame has been shown for that long (status 1 on time out)
 *   quarn-present-count --press <key name> <window id> <timeout seconds>
 *       presses the key (XTest) as soon as a frame is shown, and compares the
 *       next frame with that one in the window's middle 40 columns (where the
 *       game's player is): differing=<pixels>. Status 3 when a frame
 *       came before a picture was taken, so which frame it shows is unclear.
 *
 * The window is watched from the moment the server has the request (what the
 * server reports of the window before that is dropped). Nothing the window's
 * program does is changed: it is not told, and waits for nothing. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static int IgnoreErrors(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

static int Usage(const char* self) {
  fprintf(stderr,
          "usage: %s <window id> <seconds>\n"
          "       %s --frames <n> <window id> <timeout seconds>\n"
          "       %s --none-for <seconds> <window id> <timeout seconds>\n"
          "       %s --press <key name> <window id> <timeout seconds>\n",
          self, self, self, self);
  return 2;
}

static int WholeWindow(const XDamageNotifyEvent* damage, const XWindowAttributes* attributes) {
  return damage->area.x == 0 && damage->area.y == 0 && damage->area.width == attributes->width &&
         damage->area.height == attributes->height;
}

/* The window's middle 40 columns (where the game draws its player) once a
 * frame has been shown; null when another frame came before the picture. */
static XImage* TakeShownFrame(Display* display, Window window, const XWindowAttributes* attributes, int damageEvent) {
  XImage* image = XGetImage(display, window, attributes->width / 2 - 20, 0, 40, (unsigned)attributes->height,
                            AllPlanes, ZPixmap);
  XEvent event;
  while (image && XCheckTypedEvent(display, damageEvent, &event))
    if (WholeWindow((const XDamageNotifyEvent*)&event, attributes)) XDestroyImage(image), image = NULL;
  return image;
}

static int PressAndCompare(Display* display, Window window, const XWindowAttributes* attributes, int damageEvent,
                           const char* keyName, double timeout) {
  const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keyName));
  XImage* shown[2] = {NULL, NULL};
  int caught = 0, unclear = 0;
  const double stop = Now() + timeout;
  while (key && caught < 2 && !unclear && Now() < stop) {
    XEvent event;
    if (!XPending(display)) {
      struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
      poll(&connection, 1, 5);
      continue;
    }
    XNextEvent(display, &event);
    if (event.type != damageEvent || !WholeWindow((const XDamageNotifyEvent*)&event, attributes)) continue;
    /* The press reaches the server before the picture is asked for. */
    if (caught == 0) XTestFakeKeyEvent(display, key, True, CurrentTime);
    unclear = (shown[caught++] = TakeShownFrame(display, window, attributes, damageEvent)) == NULL;
  }
  if (key) XTestFakeKeyEvent(display, key, False, CurrentTime);
  XSync(display, False);
  long differing = 0;
  for (int y = 0; caught == 2 && !unclear && y < shown[0]->height; ++y)
    for (int x = 0; x < shown[0]->width; ++x) differing += XGetPixel(shown[0], x, y) != XGetPixel(shown[1], x, y);
  if (caught == 2 && !unclear) printf("differing=%ld\n", differing);
  else printf("%s\n", unclear ? "unclear: another frame came before the picture" : "no key, or no two frames in time");
  for (int i = 0; i < 2; ++i)
    if (shown[i]) XDestroyImage(shown[i]);
  return unclear ? 3 : caught == 2 ? 0 : 1;
}

int main(int argc, char** argv) {
  enum { Count, Frames, NoneFor, Press } mode = Count;
  double wanted = 0.0;
  int first = 1;
  if (argc == 5 && strcmp(argv[1], "--press") == 0) {
    mode = Press;
    first = 3;
  } else if (argc == 5 && (strcmp(argv[1], "--frames") == 0 || strcmp(argv[1], "--none-for") == 0)) {
    mode = strcmp(argv[1], "--frames") == 0 ? Frames : NoneFor;
    wanted = atof(argv[2]);
    first = 3;
    if (!(wanted > 0.0)) return Usage(argv[0]);
  } else if (argc != 3) {
    return Usage(argv[0]);
  }
  char* end = NULL;
  Window window = (Window)strtoul(argv[first], &end, 0);
  double seconds = atof(argv[first + 1]);
  if (!end || *end || window == 0 || !(seconds > 0.0)) return Usage(argv[0]);

  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 2;
  }
  int eventBase = 0, errorBase = 0;
  if (!XDamageQueryExtension(display, &eventBase, &errorBase)) {
    fprintf(stderr, "%s: the X server has no Damage extension\n", argv[0]);
    return 2;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) {
    fprintf(stderr, "%s: no window %s\n", argv[0], argv[first]);
    return 2;
  }
  /* The window may go away while it is watched (the game ends): that ends the watch, quietly. */
  XSetErrorHandler(IgnoreErrors);
  XDamageCreate(display, window, XDamageReportRawRectangles);
  XSelectInput(display, window, StructureNotifyMask);
  /* A new Damage object starts with the whole window damaged, and the server
   * reports that at once: it is no frame. */
  XSync(display, False);
  while (XPending(display)) {
    XEvent event;
    XNextEvent(display, &event);
  }
  if (mode == Press) {
    const int status = PressAndCompare(display, window, &attributes, eventBase + XDamageNotify, argv[2], seconds);
    XCloseDisplay(display);
    return status;
  }

  long frames = 0, partial = 0, bursts = 0;
  /* A whole-window redraw counts once no other has come in its millisecond. */
  Time pendingTime = 0;
  long pendingCount = 0;
  double pendingSeen = 0.0;
  int gone = 0, done = 0;
  const double start = Now(), stop = start + seconds;
  double now = start, lastFrame = start;
  while (!gone && !done && now < stop) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == eventBase + XDamageNotify) {
        const XDamageNotifyEvent* damage = (const XDamageNotifyEvent*)&event;
        if (!WholeWindow(damage, &attributes)) {
          partial += 1;
        } else if (pendingCount > 0 && damage->timestamp == pendingTime) {
          pendingCount += 1;
        } else {
          if (pendingCount == 1) frames += 1, lastFrame = pendingSeen;
          if (pendingCount > 1) bursts += pendingCount;
          pendingTime = damage->timestamp;
          pendingCount = 1;
          pendingSeen = Now();
        }
      } else if (event.type == ConfigureNotify) {
        attributes.width = event.xconfigure.width;
        attributes.height = event.xconfigure.height;
      } else if (event.type == DestroyNotify) {
        gone = 1;
      }
    }
    now = Now();
    if (pendingCount > 0 && now - pendingSeen > 0.002) {
      if (pendingCount == 1) frames += 1, lastFrame = pendingSeen;
      else bursts += pendingCount;
      pendingCount = 0;
    }
    if (mode == Frames && (double)frames >= wanted) done = 1;
    if (mode == NoneFor && now - lastFrame >= wanted) done = 1;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    if (!done && now < stop) poll(&connection, 1, 5);
    now = Now();
  }
  const double span = (now < stop ? now : stop) - start;
  if (pendingCount == 1 && pendingSeen <= stop) frames += 1;
  printf("frames=%ld seconds=%.3f fps=%.1f partial=%ld bursts=%ld%s\n", frames, span, (double)frames / span, partial,
         bursts, gone ? " (the window went away)" : "");
  XCloseDisplay(display);
  if (mode == Count) return gone ? 1 : 0;
  return done ? 0 : 1;
}
