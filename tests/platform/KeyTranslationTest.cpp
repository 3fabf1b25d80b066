// Keys from every backend that makes its own messages, as the game's virtual
// keys: one table, each row the same key as SDL and as the browser report it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <set>

#include "platform/Keyboard.h"
#include "platform/sdl/SdlEvents.h"
#include "platform/web/KeyCodes.h"

namespace {

struct SdlKey {
  SDL_Scancode scancode;
  SDL_Keycode keycode;
  Uint16 mod;
};

struct WebKey {
  const char* code;
  const char* key;
};

uint32_t FromSdl(const SdlKey& k) {
  return VirtualKeyOf(uint16_t(k.scancode), CharacterOfSdlKey(k.keycode, k.scancode, k.mod));
}

uint32_t FromWeb(const WebKey& k) { return VirtualKeyOf(UsageOfCode(k.code), CharacterOfKey(k.key)); }

}  // namespace

// Whether the page keeps the browser's default from a key: the keys the game
// takes over are these and no other.
TEST(KeyTranslation, EveryBackendGivesTheVirtualKeyWin32Would) {
  const Uint16 N = KMOD_NUM;
  const struct {
    SdlKey sdl;
    WebKey web;
    uint32_t virtualKey;
    bool prevented;
  } rows[] = {
      {{SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, N}, {"Escape", "Escape"}, 27, true},
      {{SDL_SCANCODE_LEFT, SDLK_LEFT, N}, {"ArrowLeft", "ArrowLeft"}, 37, true},
      {{SDL_SCANCODE_UP, SDLK_UP, N}, {"ArrowUp", "ArrowUp"}, 38, true},
      {{SDL_SCANCODE_RIGHT, SDLK_RIGHT, N}, {"ArrowRight", "ArrowRight"}, 39, true},
      {{SDL_SCANCODE_DOWN, SDLK_DOWN, N}, {"ArrowDown", "ArrowDown"}, 40, true},
      {{SDL_SCANCODE_F1, SDLK_F1, N}, {"F1", "F1"}, 112, true},
      {{SDL_SCANCODE_F10, SDLK_F10, N}, {"F10", "F10"}, 121, false},
      {{SDL_SCANCODE_F12, SDLK_F12, N}, {"F12", "F12"}, 123, false},
      {{SDL_SCANCODE_F13, SDLK_F13, N}, {"F13", "F13"}, 124, false},
      {{SDL_SCANCODE_F24, SDLK_F24, N}, {"F24", "F24"}, 135, false},
      {{SDL_SCANCODE_HOME, SDLK_HOME, N}, {"Home", "Home"}, 36, false},
      {{SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, N}, {"PageUp", "PageUp"}, 33, false},
      {{SDL_SCANCODE_DELETE, SDLK_DELETE, N}, {"Delete", "Delete"}, 46, false},
      {{SDL_SCANCODE_SPACE, SDLK_SPACE, N}, {"Space", " "}, 32, false},
      {{SDL_SCANCODE_TAB, SDLK_TAB, N}, {"Tab", "Tab"}, 9, false},
      {{SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, N}, {"Backspace", "Backspace"}, 8, false},
      {{SDL_SCANCODE_RETURN, SDLK_RETURN, N}, {"Enter", "Enter"}, 13, false},
      {{SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, N}, {"NumpadEnter", "Enter"}, 13, false},
      {{SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, N}, {"ShiftLeft", "Shift"}, 16, false},
      {{SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, N}, {"ShiftRight", "Shift"}, 16, false},
      {{SDL_SCANCODE_RCTRL, SDLK_RCTRL, N}, {"ControlRight", "Control"}, 17, false},
      {{SDL_SCANCODE_LALT, SDLK_LALT, N}, {"AltLeft", "Alt"}, 18, false},
      {{SDL_SCANCODE_RGUI, SDLK_RGUI, N}, {"MetaRight", "Meta"}, 92, false},
      {{SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, N}, {"Semicolon", ";"}, 186, false},
      {{SDL_SCANCODE_MINUS, SDLK_MINUS, N}, {"Minus", "-"}, 189, false},
      {{SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, N}, {"Quote", "'"}, 222, false},
      {{SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, N}, {"IntlBackslash", "<"}, 226, false},
      {{SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, N}, {"NumpadAdd", "+"}, 107, false},
      {{SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, N}, {"NumLock", "NumLock"}, 144, false},
      {{SDL_SCANCODE_MUTE, SDLK_MUTE, N}, {"AudioVolumeMute", "AudioVolumeMute"}, 0, false},
      // Letters and digits by layout, falling back to the position: the key at
      // Q's place that types 'a'; a letter key of a non-Latin layout; the digit
      // row with Shift; a layout's letter on a punctuation key, as Win32 does.
      {{SDL_SCANCODE_A, SDLK_a, N}, {"KeyA", "a"}, 'A', false},
      {{SDL_SCANCODE_Q, SDLK_a, N}, {"KeyQ", "A"}, 'A', false},
      {{SDL_SCANCODE_Z, 0x03B6, N}, {"KeyZ", "\xce\xb6"}, 'Z', false},
      {{SDL_SCANCODE_0, SDLK_0, N}, {"Digit0", "0"}, '0', false},
      {{SDL_SCANCODE_1, SDLK_EXCLAIM, N}, {"Digit1", "!"}, '1', false},
      {{SDL_SCANCODE_9, SDLK_9, N}, {"Digit9", "9"}, '9', false},
      {{SDL_SCANCODE_SEMICOLON, SDLK_m, N}, {"Semicolon", "m"}, 'M', false},
      // The keypad's digits with NumLock, and the keys printed under them
      // without it or with Shift held; the four under 2, 4, 6 and 8 are arrows.
      {{SDL_SCANCODE_KP_1, SDLK_KP_1, N}, {"Numpad1", "1"}, 97, false},
      {{SDL_SCANCODE_KP_1, SDLK_KP_1, 0}, {"Numpad1", "End"}, 35, false},
      {{SDL_SCANCODE_KP_2, SDLK_KP_2, 0}, {"Numpad2", "ArrowDown"}, 40, true},
      {{SDL_SCANCODE_KP_3, SDLK_KP_3, 0}, {"Numpad3", "PageDown"}, 34, false},
      {{SDL_SCANCODE_KP_4, SDLK_KP_4, 0}, {"Numpad4", "ArrowLeft"}, 37, true},
      {{SDL_SCANCODE_KP_5, SDLK_KP_5, N}, {"Numpad5", "5"}, 101, false},
      {{SDL_SCANCODE_KP_5, SDLK_KP_5, 0}, {"Numpad5", "Clear"}, 12, false},
      {{SDL_SCANCODE_KP_6, SDLK_KP_6, 0}, {"Numpad6", "ArrowRight"}, 39, true},
      {{SDL_SCANCODE_KP_7, SDLK_KP_7, 0}, {"Numpad7", "Home"}, 36, false},
      {{SDL_SCANCODE_KP_8, SDLK_KP_8, N}, {"Numpad8", "8"}, 104, false},
      {{SDL_SCANCODE_KP_8, SDLK_KP_8, N | KMOD_LSHIFT}, {"Numpad8", "ArrowUp"}, 38, true},
      {{SDL_SCANCODE_KP_9, SDLK_KP_9, 0}, {"Numpad9", "PageUp"}, 33, false},
      {{SDL_SCANCODE_KP_9, SDLK_KP_9, N}, {"Numpad9", "9"}, 105, false},
      {{SDL_SCANCODE_KP_0, SDLK_KP_0, N}, {"Numpad0", "0"}, 96, false},
      {{SDL_SCANCODE_KP_0, SDLK_KP_0, 0}, {"Numpad0", "Insert"}, 45, false},
      {{SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, N}, {"NumpadDecimal", "."}, 110, false},
      {{SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, N}, {"NumpadDecimal", ","}, 110, false},
      {{SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0}, {"NumpadDecimal", "Delete"}, 46, false},
  };
  std::set<uint32_t> prevented;
  for (const auto& r : rows) {
    EXPECT_EQ(FromSdl(r.sdl), r.virtualKey) << "SDL scancode " << r.sdl.scancode << " mod " << r.sdl.mod;
    EXPECT_EQ(FromWeb(r.web), r.virtualKey) << r.web.code << " / " << r.web.key;
    EXPECT_EQ(GameUsesKey(r.virtualKey), r.prevented) << r.web.code << " / " << r.web.key;
    if (r.prevented) prevented.insert(r.virtualKey);
  }
  for (uint32_t virtualKey = 0; virtualKey < 256; ++virtualKey)
    EXPECT_EQ(GameUsesKey(virtualKey), prevented.count(virtualKey) == 1) << virtualKey;

  // What only one backend can send.
  for (const char* code : {"F25", "Fn", "F1x", "Numpad10", "Digit10", "KeyAA", "", "Unidentified"})
    EXPECT_EQ(UsageOfCode(code), 0u) << code;
  EXPECT_EQ(UsageOfCode(nullptr), 0u);
  EXPECT_EQ(CharacterOfKey(nullptr), 0);
  for (int32_t scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode)
    for (Uint16 mod : {Uint16(KMOD_NONE), N})
      EXPECT_LT(VirtualKeyOf(uint16_t(scancode), CharacterOfSdlKey(SDL_GetKeyFromScancode(SDL_Scancode(scancode)),
                                                                   scancode, mod)),
                256u)
          << scancode;
}
