// Window messages, numbered as on Win32, and the window procedure that turns them
// into InputState. On Windows the system delivers them; the SDL layer translates
// its events into these records; tools and tests deliver them directly.
#pragma once

#include <cstdint>

#ifdef _WIN32
// The system's window-procedure convention and handle type, so that WindowProc
// is itself the class's WNDPROC.
#define QUARN_CALLBACK __stdcall
struct HWND__;
using WindowHandle = HWND__*;
#else
#define QUARN_CALLBACK
using WindowHandle = void*;
#endif

struct WindowMessage {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// <windows.h> defines these as macros of the same values; whichever header comes
// first, both orders compile.
#ifndef WM_SIZE
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
// Left to the default handling: keys pressed with Alt held (and F10) arrive as
// system keys.
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uintptr_t MK_LBUTTON = 0x0001;
#endif

// lParam of a mouse move or a size message: low word x (width), high word y (height).
constexpr intptr_t MakeLParam(uint32_t low, uint32_t high) {
  return intptr_t((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}

intptr_t QUARN_CALLBACK WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// --- What the procedure reaches through the platform ---

// Set by the window layer while a window with a current context exists; WM_SIZE
// goes nowhere without it.
extern void (*resizeViewHook)(int32_t width, int32_t height);

// Messages the game does not handle. Unset, they are dropped with result 0.
extern intptr_t (*defaultWindowProcHook)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                         intptr_t lParam);
intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Where a close request's quit goes. Unset, posting a quit only raises a flag and
// the message pump hands out WM_QUIT once the queue has nothing else, as a Win32
// thread queue does; on Windows it is the system's PostQuitMessage.
extern void (*postQuitMessageHook)(int32_t exitCode);
extern bool quitPosted;
extern int32_t quitExitCode;
void PlatformPostQuitMessage(int32_t exitCode);
