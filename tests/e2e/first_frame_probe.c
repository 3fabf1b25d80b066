/* Preloaded into the game to time its first presented frame: at the first
 * SDL_GL_SwapWindow it prints the wall-clock time in nanoseconds, once, to stderr.
 *   LD_PRELOAD=libquarn_first_frame_probe.so build/quarn */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <time.h>

typedef void (*SwapFunction)(void*);

void SDL_GL_SwapWindow(void* window) {
  static SwapFunction next = NULL;
  static int reported = 0;
  if (!next) next = (SwapFunction)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
  if (next) next(window);
  if (!reported) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    fprintf(stderr, "first frame presented at %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    fflush(stderr);
    reported = 1;
  }
}
