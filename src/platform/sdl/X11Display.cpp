#include "platform/sdl/X11Display.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <initializer_list>

namespace {

bool OnX11() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "x11") == 0;
}

}  // namespace

bool GlxVisualAvailable(int32_t bits) {
  if (!OnX11()) return true;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return true;  // the window creation will say what is wrong
  int errorBase = 0, eventBase = 0;
  bool found = false;
  if (glXQueryExtension(display, &errorBase, &eventBase)) {
    const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True,
                              GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                              GLX_BUFFER_SIZE, bits, GLX_DEPTH_SIZE, 16, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    found = configs && count > 0;
    if (configs) XFree(configs);
  }
  XCloseDisplay(display);
  return found;
}

bool AnyDisplayReachable() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string socket = wayland[0] == '/' ? wayland : std::string(runtime ? runtime : "") + "/" + wayland;
    struct stat info;
    if (stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) return true;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

bool FocusWindow(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  const Window xwindow = info.info.x11.window;
  // Without a window manager nobody else hands out the focus, and the map may
  // still be on its way; with one, this asks for what SDL asked for already.
  for (int attempt = 0; attempt < 200; ++attempt) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, xwindow, &attributes) && attributes.map_state == IsViewable) {
      Window focus = None;
      int revert = 0;
      XGetInputFocus(display, &focus, &revert);
      if (focus == xwindow) return true;
      XSetInputFocus(display, xwindow, RevertToParent, CurrentTime);
      XSync(display, False);
      XGetInputFocus(display, &focus, &revert);
      if (focus == xwindow) return true;
    }
    SDL_Delay(5);
  }
  return false;
}

// --- A lost display ----------------------------------------------------------

void EndForLostDisplay() {
  static const char text[] = "quarn: the connection to the display was lost\n";
  ssize_t written = write(2, text, sizeof text - 1);
  (void)written;
  _exit(1);
}

namespace {

int DisplayLost(Display*) { EndForLostDisplay(); }

}  // namespace

void EndWhenDisplayLost() { XSetIOErrorHandler(DisplayLost); }

// --- The display guard ------------------------------------------------------
// The game writes 'S' before it changes the mode (and waits for the guard's
// 'K'), 'R' once the desktop's mode is back. When the pipe closes (the game has
// ended, however) with a mode noted and not released, the guard restores it.

namespace {

// The game's end of a socket pair (a socket, so that writing to a guard that is
// gone fails instead of raising SIGPIPE).
int guardSocket = -1;

bool SendToGuard(char command) {
  return guardSocket >= 0 && send(guardSocket, &command, 1, MSG_NOSIGNAL) == 1;
}

struct SavedCrtc {
  RRCrtc crtc;
  RRMode mode;
  int x, y;
  Rotation rotation;
  int outputCount;
  RROutput outputs[8];
};

struct SavedScreen {
  int width, height, mmWidth, mmHeight;
  int crtcCount;
  SavedCrtc crtcs[16];
};

bool SaveScreen(Display* display, SavedScreen& saved) {
  const int screen = DefaultScreen(display);
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
  if (!resources) return false;
  saved.width = DisplayWidth(display, screen);
  saved.height = DisplayHeight(display, screen);
  saved.mmWidth = DisplayWidthMM(display, screen);
  saved.mmHeight = DisplayHeightMM(display, screen);
  saved.crtcCount = 0;
  for (int i = 0; i < resources->ncrtc && saved.crtcCount < 16; ++i) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
    if (!info) continue;
    SavedCrtc& c = saved.crtcs[saved.crtcCount++];
    c.crtc = resources->crtcs[i];
    c.mode = info->mode;
    c.x = info->x;
    c.y = info->y;
    c.rotation = info->rotation;
    c.outputCount = std::min(info->noutput, 8);
    for (int o = 0; o < c.outputCount; ++o) c.outputs[o] = info->outputs[o];
    XRRFreeCrtcInfo(info);
  }
  XRRFreeScreenResources(resources);
  return true;
}

void RestoreScreen(Display* display, const SavedScreen& saved) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
  if (!resources) return;
  XGrabServer(display);
  // Every mode has to fit the screen while it is set: grow the screen first.
  const int width = std::max(saved.width, DisplayWidth(display, screen));
  const int height = std::max(saved.height, DisplayHeight(display, screen));
  XRRSetScreenSize(display, root, width, height, saved.mmWidth, saved.mmHeight);
  for (int i = 0; i < saved.crtcCount; ++i) {
    const SavedCrtc& c = saved.crtcs[i];
    XRRSetCrtcConfig(display, resources, c.crtc, CurrentTime, c.x, c.y, c.mode, c.rotation,
                     const_cast<RROutput*>(c.outputs), c.outputCount);
  }
  XRRSetScreenSize(display, root, saved.width, saved.height, saved.mmWidth, saved.mmHeight);
  XUngrabServer(display);
  XSync(display, False);
  XRRFreeScreenResources(resources);
}

[[noreturn]] void RunGuard(int channel) {
  // Signals meant for the game's process group must not take the guard with
  // the game: it is needed exactly when the game dies of one.
  for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP, SIGTTIN, SIGTTOU, SIGPIPE})
    std::signal(signal, SIG_IGN);
  prctl(PR_SET_NAME, "quarn-display", 0, 0, 0);
  int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, 0);
    dup2(null, 1);
    close(null);
  }

  Display* display = nullptr;
  SavedScreen saved = {};
  bool noted = false;
  for (;;) {
    char command = 0;
    ssize_t got = read(channel, &command, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (command == 'S') {
      if (!display) display = XOpenDisplay(nullptr);
      noted = display && SaveScreen(display, saved);
      char answer = 'K';
      if (send(channel, &answer, 1, MSG_NOSIGNAL) < 0) break;
    } else if (command == 'R') {
      noted = false;
    }
  }
  if (noted && display) RestoreScreen(display, saved);
  if (display) XCloseDisplay(display);
  _exit(0);
}

}  // namespace

void StartDisplayGuard() {
  if (guardSocket >= 0) return;
  int channel[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) return;
  pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    RunGuard(channel[1]);
  }
  close(channel[1]);
  if (pid < 0) {
    close(channel[0]);
    return;
  }
  guardSocket = channel[0];
}

void GuardDisplayMode() {
  // A Wayland compositor gives the desktop's mode back itself.
  if (!OnX11() || !SendToGuard('S')) return;
  // The desktop's mode must be noted before it changes; a guard that does not
  // answer within two seconds is not waited for.
  pollfd answer = {guardSocket, POLLIN, 0};
  char ok = 0;
  if (poll(&answer, 1, 2000) == 1) recv(guardSocket, &ok, 1, 0);
}

void ReleaseDisplayGuard() { SendToGuard('R'); }
