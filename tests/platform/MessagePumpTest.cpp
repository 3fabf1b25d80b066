// The SDL message pump: SDL events pushed into SDL's own queue come out as
// Win32-numbered messages, one per call, and reach InputState through WindowProc.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdlib>
#include <string>

#include "platform/InputState.h"
#include "platform/MessageQueue.h"
#include "platform/PlatformEvents.h"
#include "platform/sdl/X11Input.h"
#include "platform/WindowProc.h"

namespace {

int32_t resizedWidth = -1, resizedHeight = -1;
void RecordResize(int32_t width, int32_t height) {
  resizedWidth = width;
  resizedHeight = height;
}

class MessagePumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    ResetInputState();
    ResetPlatformEvents();
    quitPosted = false;
    resizeViewHook = RecordResize;
    resizedWidth = resizedHeight = -1;
    WatchRawWindowEvents();
  }
  void TearDown() override {
    resizeViewHook = nullptr;
    quitPosted = false;
    SDL_Quit();
  }

  static void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode keycode, Uint16 mod = KMOD_NONE,
                      Uint8 repeat = 0) {
    SDL_Event event = {};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  static void PushWindow(SDL_WindowEventID what, int32_t data1 = 0, int32_t data2 = 0) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  static void PushButton(Uint32 type, Uint8 button, int32_t x, int32_t y) {
    SDL_Event event = {};
    event.type = type;
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  static void PushMotion(int32_t x, int32_t y) {
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  // The X event that SDL sends in front of its own events for it.
  static void PushRaw(int type, unsigned keycode = 0) {
    SDL_SysWMmsg msg = {};
    SDL_VERSION(&msg.version);
    msg.subsystem = SDL_SYSWM_X11;
    msg.msg.x11.event.type = type;
    if (type == KeyPress || type == KeyRelease) msg.msg.x11.event.xkey.keycode = keycode;
    SDL_Event event = {};
    event.type = SDL_SYSWMEVENT;
    event.syswm.msg = &msg;  // SDL copies the message into its queue
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  static void PushType(Uint32 type) {
    SDL_Event event = {};
    event.type = type;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }

  // Takes one message, which must exist, and delivers it.
  static WindowMessage Pump() {
    WindowMessage message = {};
    EXPECT_TRUE(PeekWindowMessage(message));
    DispatchWindowMessage(message);
    return message;
  }
};

TEST_F(MessagePumpTest, EmptyQueueGivesNothing) {
  WindowMessage message = {};
  EXPECT_FALSE(PeekWindowMessage(message));
}

TEST_F(MessagePumpTest, GameKeysAreRecordedUnderTheirVirtualKeys) {
  struct { SDL_Scancode scancode; SDL_Keycode keycode; uint32_t vk; } cases[] = {
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27}, {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
      {SDL_SCANCODE_UP, SDLK_UP, 38},         {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},     {SDL_SCANCODE_F1, SDLK_F1, 112},
  };
  for (auto& c : cases) {
    PushKey(SDL_KEYDOWN, c.scancode, c.keycode);
    WindowMessage down = Pump();
    EXPECT_EQ(down.message, WM_KEYDOWN);
    EXPECT_EQ(down.wParam, c.vk);
    EXPECT_TRUE(keys[c.vk]) << c.vk;
    EndInputFrame();
    PushKey(SDL_KEYUP, c.scancode, c.keycode);
    WindowMessage up = Pump();
    EXPECT_EQ(up.message, WM_KEYUP);
    EXPECT_FALSE(keys[c.vk]) << c.vk;
  }
}

TEST_F(MessagePumpTest, AutoRepeatSetsTheKeyAgain) {
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  Pump();
  keys[VK_RIGHT] = false;  // a reader consumed it
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT, KMOD_NONE, 1);
  WindowMessage repeat = Pump();
  EXPECT_EQ(repeat.message, WM_KEYDOWN);
  EXPECT_TRUE(keys[VK_RIGHT]);
  EXPECT_NE(uintptr_t(repeat.lParam) & (1u << 30), 0u);  // "was already down"
}

// SDL forgets held keys when the window is reopened and then drops their
// releases; the X release behind them still reaches the game, once, and as the
// key that went down.
TEST_F(MessagePumpTest, ReleasesReachTheGameAsTheKeysWentDown) {
  PushRaw(KeyPress, 114);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  Pump();
  ASSERT_TRUE(keys[VK_RIGHT]);
  EndInputFrame();
  PushRaw(KeyRelease, 114);  // nothing of SDL's follows
  WindowMessage dropped = Pump();
  EXPECT_EQ(dropped.message, WM_KEYUP);
  EXPECT_EQ(dropped.wParam, uintptr_t(VK_RIGHT));
  EXPECT_FALSE(keys[VK_RIGHT]);

  PushRaw(KeyPress, 114);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  Pump();
  PushRaw(KeyRelease, 114);
  PushKey(SDL_KEYUP, SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  EXPECT_EQ(Pump().message, WM_KEYUP);
  WindowMessage message = {};
  EXPECT_FALSE(PeekWindowMessage(message));

  // NumLock switched on while keypad 8 is held: it is released as Up.
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE);
  EXPECT_EQ(Pump().wParam, uintptr_t(VK_UP));
  EndInputFrame();
  PushKey(SDL_KEYUP, SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM);
  EXPECT_EQ(Pump().wParam, uintptr_t(VK_UP));
  EXPECT_FALSE(keys[VK_UP]);
}

// SDL reports a pointer that leaves as a move onto the window's edge; the game
// keeps the last position seen inside.
TEST_F(MessagePumpTest, ThePointerLeavingMovesNothing) {
  PushMotion(400, 200);
  Pump();
  PushRaw(LeaveNotify);
  PushMotion(799, 200);
  WindowMessage message = {};
  EXPECT_FALSE(PeekWindowMessage(message));
  EXPECT_EQ(mouseX, 400);
  EXPECT_EQ(mouseY, 200);
}

TEST_F(MessagePumpTest, AltHeldKeysAndF10AreSystemKeysAndNotRecorded) {
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
  EXPECT_EQ(Pump().message, WM_SYSKEYDOWN);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT);
  WindowMessage altF4 = Pump();
  EXPECT_EQ(altF4.message, WM_SYSKEYDOWN);
  EXPECT_EQ(altF4.wParam, 115u);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT, SDLK_RIGHT, KMOD_RALT);
  EXPECT_EQ(Pump().message, WM_SYSKEYDOWN);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10);
  EXPECT_EQ(Pump().message, WM_SYSKEYDOWN);
  PushKey(SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT);
  EXPECT_EQ(Pump().message, WM_SYSKEYUP);
  for (int k = 0; k < 256; ++k) EXPECT_FALSE(keys[k]) << k;
}

TEST_F(MessagePumpTest, KeysWithoutANumberAreSkippedNotReturned) {
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_MUTE, SDLK_MUTE);
  PushType(SDL_TEXTINPUT);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  WindowMessage message = Pump();
  EXPECT_EQ(message.message, WM_KEYDOWN);
  EXPECT_EQ(message.wParam, 27u);
  EXPECT_FALSE(PeekWindowMessage(message));
}

TEST_F(MessagePumpTest, PointerAndLeftButton) {
  PushMotion(123, 456);
  WindowMessage move = Pump();
  EXPECT_EQ(move.message, WM_MOUSEMOVE);
  EXPECT_EQ(mouseX, 123);
  EXPECT_EQ(mouseY, 456);

  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 700, 10);
  EXPECT_EQ(Pump().message, WM_LBUTTONDOWN);
  EXPECT_TRUE(mouseDown);
  EXPECT_EQ(mouseX, 123);  // buttons do not move the pointer
  EndInputFrame();         // a frame has seen the press
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 700, 10);
  EXPECT_EQ(Pump().message, WM_LBUTTONUP);
  EXPECT_FALSE(mouseDown);

  // Other buttons have no message.
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 1);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1, 1);
  WindowMessage message = {};
  EXPECT_FALSE(PeekWindowMessage(message));
  EXPECT_FALSE(mouseDown);
}

TEST_F(MessagePumpTest, FocusIsActivation) {
  PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);
  WindowMessage gained = Pump();
  EXPECT_EQ(gained.message, WM_ACTIVATEAPP);
  EXPECT_EQ(gained.wParam, 1u);
  EXPECT_TRUE(active);
  keys[VK_LEFT] = true;
  mouseDown = true;
  PushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
  WindowMessage lost = Pump();
  EXPECT_EQ(lost.wParam, 0u);
  EXPECT_FALSE(active);
  // Losing the focus clears nothing.
  EXPECT_TRUE(keys[VK_LEFT]);
  EXPECT_TRUE(mouseDown);
}

TEST_F(MessagePumpTest, SizeChangesReachTheView) {
  PushWindow(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 700);
  WindowMessage size = Pump();
  EXPECT_EQ(size.message, WM_SIZE);
  EXPECT_EQ(resizedWidth, 1024);
  EXPECT_EQ(resizedHeight, 700);
  PushWindow(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_EQ(Pump().message, WM_SIZE);
  EXPECT_EQ(resizedWidth, 0);
  EXPECT_EQ(resizedHeight, 0);
  // Window events the game does not handle are skipped.
  PushWindow(SDL_WINDOWEVENT_EXPOSED);
  PushWindow(SDL_WINDOWEVENT_SHOWN);
  WindowMessage message = {};
  EXPECT_FALSE(PeekWindowMessage(message));
}

TEST_F(MessagePumpTest, CloseRequestComesBackAsQuitOnlyOnceTheQueueIsEmpty) {
  PushWindow(SDL_WINDOWEVENT_CLOSE);
  PushMotion(5, 6);
  WindowMessage close = Pump();
  EXPECT_EQ(close.message, WM_CLOSE);
  EXPECT_TRUE(quitPosted);
  EXPECT_FALSE(done);  // the loop ends the game, not the window procedure

  WindowMessage message = {};
  ASSERT_TRUE(PeekWindowMessage(message));
  EXPECT_EQ(message.message, WM_MOUSEMOVE);
  ASSERT_TRUE(PeekWindowMessage(message));
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_FALSE(PeekWindowMessage(message));  // handed out once
}

TEST_F(MessagePumpTest, SdlQuitIsACloseRequest) {
  PushType(SDL_QUIT);
  EXPECT_EQ(Pump().message, WM_CLOSE);
  WindowMessage message = {};
  ASSERT_TRUE(PeekWindowMessage(message));
  EXPECT_EQ(message.message, WM_QUIT);
}

TEST(SystemMessageBox, WithoutADisplayTheTextGoesToStderrAtOnce) {
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  testing::internal::CaptureStderr();
  Uint32 start = SDL_GetTicks();
  ShowSystemMessageBox("Unable to create window!", "Error", 0x10);
  Uint32 took = SDL_GetTicks() - start;
  std::string text = testing::internal::GetCapturedStderr();
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  EXPECT_NE(text.find("Error: Unable to create window!\n"), std::string::npos) << text;
  EXPECT_LT(took, 2000u);
}

}  // namespace
