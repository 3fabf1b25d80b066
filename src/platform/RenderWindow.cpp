#include "platform/RenderWindow.h"

#include "platform/Messages.h"

bool FailRenderWindowOpen(const char* text, bool fullScreen) {
  CloseRenderWindow(fullScreen);
  ShowMessageBox(text, "Error", MB_OK | MB_ICONERROR);
  return false;
}
