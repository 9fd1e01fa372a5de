#pragma once
// Plain value types shared by the core and the ports. No platform headers here.
#include <cstdint>
#include <string>

namespace tomari {

// A window handle as the system gives it; 0 is "no window".
using WindowHandle = std::uintptr_t;

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Screen rectangle in physical pixels, right and bottom exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A calendar time with milliseconds; dayOfWeek 0 = Sunday.
struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int dayOfWeek = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Extended-style bits the core reasons about.
inline constexpr std::uint32_t kExTopMost = 0x8;
inline constexpr std::uint32_t kExLayered = 0x80000;
// Layered-window attribute flags.
inline constexpr std::uint32_t kLwaColorKey = 0x1;
inline constexpr std::uint32_t kLwaAlpha = 0x2;

// What GetLayeredWindowAttributes reports for a window. `readable` is false when
// the call failed (a window layered through UpdateLayeredWindow, or not layered).
struct LayeredAttributes {
  bool readable = false;
  std::uint32_t colorKey = 0;
  std::uint8_t alpha = 0;
  std::uint32_t flags = 0;
  friend bool operator==(const LayeredAttributes&, const LayeredAttributes&) = default;
};

}  // namespace tomari
