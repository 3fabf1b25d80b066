#include "platform/sdl/CloseSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t closeSignal = 0;
int wakePipe[2] = {-1, -1};

void RequestClose(int) {
  closeSignal = 1;
  const int saved = errno;
  const char byte = 1;
  if (wakePipe[1] >= 0 && write(wakePipe[1], &byte, 1) < 0) {
    // Full: a byte is already waiting, which is all a wait needs.
  }
  errno = saved;
}

}  // namespace

void CatchCloseSignals() {
  if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) wakePipe[0] = wakePipe[1] = -1;
  struct sigaction action = {};
  action.sa_handler = RequestClose;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGHUP, SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

bool CloseSignalPending() { return closeSignal != 0; }

bool TakeCloseSignal() {
  if (!closeSignal) return false;
  closeSignal = 0;
  return true;
}

int CloseSignalPipe() { return wakePipe[0]; }

void DrainCloseSignalPipe() {
  char bytes[16];
  while (wakePipe[0] >= 0 && read(wakePipe[0], bytes, sizeof bytes) > 0) {
  }
}
