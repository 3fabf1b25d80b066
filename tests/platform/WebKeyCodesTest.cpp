// Browser key events as the game's virtual keys.
#include <gtest/gtest.h>

#include <set>

#include "platform/web/KeyCodes.h"

namespace {
enum Event { Tap, Down, Up };  // a tap is a press and its release, both the same key
}

// Key events in order: the virtual key each one gives, and whether the page
// keeps the browser's default from it (the keys the game takes over are these
// and no other).
TEST(WebKeyCodes, KeysAsWin32NumbersThem) {
  const struct {
    const char* code;
    const char* key;
    Event event;
    uint32_t virtualKey;
    bool prevented;
  } events[] = {
      {"Escape", "Escape", Tap, 27, true},        {"ArrowLeft", "ArrowLeft", Tap, 37, true},
      {"ArrowUp", "ArrowUp", Tap, 38, true},      {"ArrowRight", "ArrowRight", Tap, 39, true},
      {"ArrowDown", "ArrowDown", Tap, 40, true},  {"F1", "F1", Tap, 112, true},
      {"F2", "F2", Tap, 113, false},              {"F10", "F10", Tap, 121, false},
      {"F12", "F12", Tap, 123, false},            {"F24", "F24", Tap, 135, false},
      {"F25", "F25", Tap, 0, false},              {"Fn", "Fn", Tap, 0, false},
      {"F1x", "F1", Tap, 0, false},               {"Home", "Home", Tap, 36, false},
      {"PageUp", "PageUp", Tap, 33, false},       {"Space", " ", Tap, 32, false},
      {"Tab", "Tab", Tap, 9, false},
      // Letters and digits by layout, falling back to the position.
      {"KeyA", "a", Tap, 'A', false},             {"KeyQ", "A", Tap, 'A', false},
      {"KeyZ", "\xce\xb6", Tap, 'Z', false},      {"Digit0", "0", Tap, '0', false},
      {"Digit1", "!", Tap, '1', false},
      // The keypad's digits with NumLock, and the keys under them without it
      // (or with Shift); the four under 2, 4, 6 and 8 are arrows.
      {"Numpad1", "1", Tap, 97, false},           {"Numpad1", "End", Tap, 35, false},
      {"Numpad2", "2", Tap, 98, false},           {"Numpad2", "ArrowDown", Tap, 40, true},
      {"Numpad3", "3", Tap, 99, false},           {"Numpad3", "PageDown", Tap, 34, false},
      {"Numpad4", "4", Tap, 100, false},          {"Numpad4", "ArrowLeft", Tap, 37, true},
      {"Numpad5", "5", Tap, 101, false},          {"Numpad5", "Clear", Tap, 12, false},
      {"Numpad6", "6", Tap, 102, false},          {"Numpad6", "ArrowRight", Tap, 39, true},
      {"Numpad7", "7", Tap, 103, false},          {"Numpad7", "Home", Tap, 36, false},
      {"Numpad8", "8", Tap, 104, false},          {"Numpad8", "ArrowUp", Tap, 38, true},
      {"Numpad9", "9", Tap, 105, false},          {"Numpad9", "PageUp", Tap, 33, false},
      {"Numpad0", "0", Tap, 96, false},           {"Numpad0", "Insert", Tap, 45, false},
      {"NumpadDecimal", ".", Tap, 110, false},    {"NumpadDecimal", ",", Tap, 110, false},
      {"NumpadDecimal", "Delete", Tap, 46, false}, {"NumpadEnter", "Enter", Tap, 13, false},
      {"NumpadAdd", "+", Tap, 107, false},        {"Numpad10", "", Tap, 0, false},
      {"", "", Tap, 0, false},                    {"Unidentified", "", Tap, 0, false},
      // NumLock changes while keypad keys are held: each repeats and goes up
      // as the key it went down as.
      {"Numpad8", "ArrowUp", Down, 38, true},     {"NumLock", "NumLock", Tap, 144, false},
      {"Numpad6", "6", Down, 102, false},         {"Numpad8", "8", Down, 38, true},
      {"Numpad8", "8", Up, 38, true},             {"NumLock", "NumLock", Tap, 144, false},
      {"Numpad6", "ArrowRight", Up, 102, false},
  };
  std::set<uint32_t> prevented;
  for (const auto& e : events) {
    for (bool down : {true, false}) {
      if ((down && e.event == Up) || (!down && e.event == Down)) continue;
      const uint32_t virtualKey = KeyEventVirtualKey(e.code, e.key, down);
      EXPECT_EQ(virtualKey, e.virtualKey) << e.code << " / " << e.key << (down ? " down" : " up");
      EXPECT_EQ(GameUsesKey(virtualKey), e.prevented) << e.code << " / " << e.key;
    }
    if (e.prevented) prevented.insert(e.virtualKey);
  }
  for (uint32_t virtualKey = 0; virtualKey < 256; ++virtualKey)
    EXPECT_EQ(GameUsesKey(virtualKey), prevented.count(virtualKey) == 1) << virtualKey;
  uint32_t held[HeldKeyCount];
  EXPECT_EQ(TakeHeldKeys(held), 0) << "every press above was released";
  EXPECT_EQ(VirtualKeyFromCode(nullptr, nullptr), 0u);
  EXPECT_EQ(VirtualKeyFromCode("KeyB", nullptr), uint32_t('B'));
}
