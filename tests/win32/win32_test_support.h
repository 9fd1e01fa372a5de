#pragma once
// The harness of the tests that run under Wine (win32_tests and e2e_tests):
// paths, message pumping and waiting, files and temporary folders, processes
// and their windows, and the requests the test script carries out for us
// (screenshots, X input).
#include <windows.h>

#include <functional>
#include <string>

namespace win32test {

// Folder of this test program, with a trailing backslash; target_app.exe is there.
std::wstring TestBinDir();
// The shipped program folder (Tomari.exe, TransG32.dll, Skins\) beside testbin.
std::wstring DistDir();
std::wstring FullPath(const std::wstring& path);

// Handles this thread's messages for `ms` milliseconds: windows of other
// processes send ours synchronous messages while we wait.
void Pump(DWORD ms);
// Pumps until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
// Wall-clock milliseconds that `fn` took.
double ElapsedMs(const std::function<void()>& fn);

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The visible top-level window of `pid` (any process when 0) with this class,
// waiting up to `timeoutMs` for it.
HWND FindWindowOf(DWORD pid, const wchar_t* className, DWORD timeoutMs = 0);

// A fresh folder under %TEMP%, removed with what is in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }
  std::string Utf8(const std::wstring& name = L"") const;
  int Count() const;  // entries in the folder

 private:
  std::wstring path_;
};

// A child process, killed when the object goes.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::wstring& exe, const std::wstring& args);
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Handle() const { return pi_.hProcess; }
  // Waits (pumping) for the process to end; false on timeout.
  bool WaitExit(DWORD timeoutMs);
  bool Running() const;
  void Kill();

 private:
  PROCESS_INFORMATION pi_{};
};

// A target_app.exe process (tests/support/target_app.cpp) and its window.
class Target {
 public:
  // Starts the program with `args` plus a window class of its own (unless `args`
  // names one with --class) and waits for its visible window; with --owner that
  // is the owned window. False when no window came.
  bool Start(const std::wstring& args);
  HWND hwnd() const { return hwnd_; }
  DWORD pid() const { return process_.Id(); }
  const std::wstring& className() const { return class_; }

 private:
  Process process_;
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

// Has the test script photograph the X display as NAME.png (when it is asked
// for pictures: WINE_GTEST_SHOTS); the screen DC of a Wine desktop reads black.
void SaveScreenshot(const std::wstring& name);
// Runs xdotool with `words` through the test script, as input at the X server;
// false when the script offers no such channel.
bool XInput(const std::string& words);

}  // namespace win32test
