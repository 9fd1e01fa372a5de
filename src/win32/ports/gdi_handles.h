#pragma once
// RAII for the GDI objects and memory surfaces the skin code creates, with a
// count of the live ones: Wine's GetGuiResources always answers 0, so the
// tests check for leaks against this count instead.
#include <windows.h>

#include "win32/ports/dib.h"

#include <atomic>
#include <utility>

namespace tomari::gdi {

inline std::atomic<long> g_liveHandles{0};

// GDI objects and memory surfaces made through these wrappers and not yet released.
inline long LiveHandles() { return g_liveHandles.load(); }

// Any object that DeleteObject releases: bitmaps, regions, brushes.
class Object {
 public:
  Object() = default;
  explicit Object(HGDIOBJ h) : h_(h) {
    if (h_) ++g_liveHandles;
  }
  ~Object() { Reset(); }
  Object(Object&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Object& operator=(Object&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HGDIOBJ Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset() {
    if (!h_) return;
    DeleteObject(h_);
    h_ = nullptr;
    --g_liveHandles;
  }
  // Hands the object to someone who frees it (a window taking its region).
  HGDIOBJ Release() {
    if (h_) --g_liveHandles;
    return std::exchange(h_, nullptr);
  }

 private:
  HGDIOBJ h_ = nullptr;
};

// A memory surface; whatever was selected into it is put back before it goes.
class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {
    if (dc_) ++g_liveHandles;
  }
  ~MemoryDC() {
    if (!dc_) return;
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
    --g_liveHandles;
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  // Selects `object`, remembering only the very first object it replaced.
  bool Select(HGDIOBJ object) {
    if (!dc_ || !object) return false;
    HGDIOBJ previous = SelectObject(dc_, object);
    if (!previous || previous == HGDI_ERROR) return false;
    if (!old_) old_ = previous;
    return true;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// A 32-bit top-down DIB section, its pixels reachable as 0xAARRGGBB words.
class DibSection {
 public:
  DibSection(HDC like, int width, int height) {
    BITMAPINFO info = TopDownDib32(width, height);
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (h && bits) {
      bitmap_ = Object(h);
      bits_ = static_cast<DWORD*>(bits);
    } else if (h) {
      DeleteObject(h);
    }
  }
  HBITMAP Get() const { return static_cast<HBITMAP>(bitmap_.Get()); }
  const DWORD* Bits() const { return bits_; }
  explicit operator bool() const { return bits_ != nullptr; }

 private:
  Object bitmap_;
  DWORD* bits_ = nullptr;
};

}  // namespace tomari::gdi

namespace tomari::gdi {

// A window's (or, with null, the screen's) device context, released with the object.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace tomari::gdi

namespace tomari {

// A kernel object handle (mutex, event, process), closed with the object.
class KernelHandle {
 public:
  KernelHandle() = default;
  explicit KernelHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~KernelHandle() {
    if (h_) CloseHandle(h_);
  }
  KernelHandle(KernelHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  KernelHandle& operator=(KernelHandle&& o) noexcept {
    if (this != &o) {
      if (h_) CloseHandle(h_);
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_ = nullptr;
};

}  // namespace tomari
