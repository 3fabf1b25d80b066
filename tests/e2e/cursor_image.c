/* Reports the pointer's image as the X server shows it right now (XFixes):
 * which cursor it is and how many of its pixels are not fully transparent. A
 * hidden pointer is a cursor of its own whose pixels are all transparent.
 *   quarn-e2e-cursor        prints "<serial> <visible pixels> <width>x<height>" */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(int argc, char** argv) {
  if (argc != 1) {
    fprintf(stderr, "usage: %s\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  int eventBase = 0, errorBase = 0;
  if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
    fprintf(stderr, "%s: the display has no XFIXES extension\n", argv[0]);
    XCloseDisplay(display);
    return 1;
  }
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    fprintf(stderr, "%s: no cursor image\n", argv[0]);
    XCloseDisplay(display);
    return 1;
  }
  /* Pixels are 32-bit ARGB, one per unsigned long. */
  unsigned long visible = 0;
  for (unsigned long i = 0; i < (unsigned long)image->width * image->height; ++i)
    if ((image->pixels[i] >> 24) & 0xff) ++visible;
  printf("%lu %lu %ux%u\n", image->cursor_serial, visible, image->width, image->height);
  XFree(image);
  XCloseDisplay(display);
  return 0;
}
