#pragma once
// Helpers for the ports' tests against real windows and files under Wine.
#include <windows.h>

#include <functional>
#include <string>

namespace win32test {

// Folder of this test program, with a trailing backslash; target_app.exe is there.
std::wstring TestBinDir();

// Handles this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);
// Pumps until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// Wall-clock milliseconds that `fn` took.
double ElapsedMs(const std::function<void()>& fn);

// A target_app.exe process (tests/support/target_app.cpp) and its window.
// The process is killed when the object goes.
class Target {
 public:
  Target() = default;
  ~Target();
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;

  // Starts the program with `args` plus a window class of its own (unless `args`
  // names one with --class) and waits for its visible window; with --owner that
  // is the owned window. False when no window came.
  bool Start(const std::wstring& args);
  HWND hwnd() const { return hwnd_; }
  DWORD pid() const { return pi_.dwProcessId; }
  const std::wstring& className() const { return class_; }

 private:
  PROCESS_INFORMATION pi_{};
  HWND hwnd_ = nullptr;
  std::wstring class_;
};

// A window of this thread, destroyed with the object. Top-level unless a parent
// is given (then a child of it).
class OwnWindow {
 public:
  explicit OwnWindow(const std::wstring& title = L"Own window", DWORD exStyle = 0,
                     HWND parent = nullptr, RECT rect = {100, 100, 400, 300});
  ~OwnWindow();
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

  static constexpr const wchar_t* kClassName = L"TomariWin32TestOwn";

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace win32test
