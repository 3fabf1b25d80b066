// The render window on Win32 with a WGL context: register the class, switch the
// display mode for full screen, create the window, take its device context, set
// the pixel format, create and bind the context, show. Every failure tears down
// what was built before its box is shown.
#include "platform/win32/Win32Window.h"

#include <float.h>

#include "gl11/GlTable.h"
#include "platform/Messages.h"
#include "platform/WindowProc.h"

HWND hWnd = NULL;
HDC hDC = NULL;
HGLRC hRC = NULL;
HINSTANCE hInstance = NULL;

namespace {

const char kClassName[] = "OpenGL";

void ShowError(const char* text) { MessageBoxA(NULL, text, "Error", MB_OK | MB_ICONERROR); }

bool FailOpen(const char* text, bool fullScreen) { return FailRenderWindowOpen(text, fullScreen); }

// The game's OpenGL calls go straight to opengl32's own entry points.
void* LookUpOpenGl32(const char* name) {
  HMODULE openGl32 = GetModuleHandleA("opengl32.dll");
  return openGl32 ? reinterpret_cast<void*>(GetProcAddress(openGl32, name)) : nullptr;
}

}  // namespace

bool OpenRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits) {
  // 1-2.
  hInstance = GetModuleHandleA(NULL);
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = WindowProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = hInstance;
  wc.hIcon = LoadIconA(NULL, IDI_WINLOGO);
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = NULL;
  wc.lpszMenuName = NULL;
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) {
    ShowError("Failed to register the window class!");
    return false;
  }

  // 3. Refused: say so and go on in a window; the caller's flag stays as it is.
  if (fullScreen) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmBitsPerPel = DWORD(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
      ShowError("Unable to switch to fullscreen!");
      fullScreen = false;
    }
  }

  // 4.
  DWORD style, exStyle;
  if (fullScreen) {
    exStyle = WS_EX_APPWINDOW;
    style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  } else {
    exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  }

  // 5. The outer size that gives a client area of width x height.
  RECT rect = {0, 0, LONG(width), LONG(height)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);

  // 6. Window creation loads drivers that may change the floating-point control
  // word: the game's is put back.
  unsigned int controlWord = 0;
  _controlfp_s(&controlWord, 0, 0);
  hWnd = CreateWindowExA(exStyle, kClassName, "quarn", style, 0, 0, rect.right - rect.left,
                         rect.bottom - rect.top, NULL, NULL, hInstance, NULL);
  unsigned int ignored = 0;
  _controlfp_s(&ignored, controlWord, _MCW_EM | _MCW_RC | _MCW_DN);
  if (!hWnd) return FailOpen("Unable to create window!", fullScreen);

  // 7.
  hDC = GetDC(hWnd);
  if (!hDC) return FailOpen("Unable to get a device context!", fullScreen);

  // 8-9.
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = BYTE(bits);
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(hDC, &pfd);
  if (!format) return FailOpen("Unable to find a suitable pixel format", fullScreen);
  if (!SetPixelFormat(hDC, format, &pfd)) return FailOpen("Unable to set the pixel format", fullScreen);

  // 10-11. Size messages reach the view through the window procedure from here
  // on, when there is a context for it.
  GlTable openGl32;
  if (!FillGlTableFrom(openGl32, LookUpOpenGl32))
    return FailOpen("Unable to create an OpenGL rendering context", fullScreen);
  InstallGlTable(openGl32);
  hRC = wglCreateContext(hDC);
  if (!hRC) return FailOpen("Unable to create an OpenGL rendering context", fullScreen);
  if (!wglMakeCurrent(hDC, hRC)) return FailOpen("Unable to activate OpenGL rendering context", fullScreen);
  resizeViewHook = ResizeView;

  // 12.
  SetForegroundWindow(hWnd);
  SetFocus(hWnd);
  ShowWindow(hWnd, SW_SHOW);

  // 13. The view and what the game draws with follow on the game's side.
  return true;
}

void CloseRenderWindow(bool fullScreen) {
  // 1. What the game made in the context it has freed before the close.

  // 2.
  if (fullScreen) {
    ChangeDisplaySettingsA(NULL, CDS_FULLSCREEN);
    ShowCursor(TRUE);
  }

  // 3-7. Handles are cleared after every release too, so the close on a later
  // failed open never meets this window's again. Size messages have no view
  // to change from here on.
  resizeViewHook = nullptr;
  if (!wglMakeCurrent(hDC, NULL)) ShowError("Release of DC and RC failed!");
  if (hRC) {
    if (!wglDeleteContext(hRC)) ShowError("Release of rendering context failed!");
    hRC = NULL;
  }
  if (hDC) {
    if (!ReleaseDC(hWnd, hDC)) ShowError("Release of device context failed!");
    hDC = NULL;
  }
  if (hWnd) {
    if (!DestroyWindow(hWnd)) ShowError("Unable to destroy window!");
    hWnd = NULL;
  }
  if (!UnregisterClassA(kClassName, hInstance)) {
    ShowError("Unable to unregister window class!");
    hInstance = NULL;
  }
}

bool RenderContextCurrent() { return hRC && wglGetCurrentContext() == hRC; }

// A window's context lives as long as the window.
bool TakeRestoredContext() { return false; }

void PresentFrame() { SwapBuffers(hDC); }

void SetWindowTitle(const char* title) { SetWindowTextA(hWnd, title); }
