#pragma once
// The harness of the tests that run under Wine (win32_tests and e2e_tests):
// paths, message pumping and waiting, files and temporary folders, processes
// and their windows, a copy of the program to drive, real input, and the
// requests the test script carries out for us (screenshots, X input).
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "platform/bitmap.h"

namespace win32test {

// Folder of this test program, with a trailing backslash; target_app.exe is there.
std::wstring TestBinDir();
// The shipped program folder (Tomari.exe, TransG32.dll, Skins\) beside testbin.
std::wstring DistDir();

// Handles this thread's messages for `ms` milliseconds: windows of other
// processes send ours synchronous messages while we wait.
void Pump(DWORD ms);
// Pumps until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
RECT WindowRect(HWND h);
std::wstring TextOf(HWND h);
std::string Narrow(const std::wstring& w);  // to the ANSI code page
// The visible top-level window of `pid` (any process when 0) with this class
// (and this title, when given), waiting up to `timeoutMs` for it.
HWND FindWindowOf(DWORD pid, const wchar_t* className, DWORD timeoutMs = 0,
                  const wchar_t* title = nullptr);

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

// A child process, killed when the object goes; Start again for another run.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::wstring& exe, const std::wstring& args);
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Handle() const { return pi_.hProcess; }
  bool Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
  }
  // Waits (pumping) for the process to end; false on timeout.
  bool WaitExit(DWORD timeoutMs);
  void Kill();

 private:
  void Close();
  PROCESS_INFORMATION pi_{};
};

// A target_app.exe process (tests/support/target_app.cpp) and its window.
class Target {
 public:
  // Starts the program with `args` plus a window class of its own and waits
  // for its visible window of that class (with --owner, the owned one) and, when `activate`,
  // for it to come to the front as a new program's window does for a user.
  bool Start(const std::wstring& args, bool activate = false);
  HWND hwnd() const { return hwnd_; }
  void Kill() { process_.Kill(); }
  // Stops its window's thread for good; true once it has stopped.
  bool Hang();

 private:
  Process process_;
  HWND hwnd_ = nullptr;
};

// A fresh copy of the shipped program in e2e-work\NAME\ (with a trailing backslash).
std::wstring ProgramCopy(const std::wstring& name);

// A copy of the shipped program in a fresh folder, started with a Setting.ini
// of our choosing ("{DIR}" in it stands for the program's folder).
struct TomariRun {
  Process process;
  HWND widget = nullptr;
  std::wstring dir;
  // `prepare` runs on the copied folder before the start.
  bool Start(const std::wstring& name, std::string settings = {},
             const std::function<void(const std::wstring&)>& prepare = {});
  // Starts the copy again, as it is now, and waits for its widget.
  bool Restart();
  // WM_CLOSE, as any program or the system would send it; waits for the exit.
  bool Close();
  std::string SettingsFile() const { return ReadBytes(dir + L"Setting.ini"); }
  // Waits for the program to replace Setting.ini after `before` (its time
  // stamp, from Stamp()) and returns what it wrote, "" if it did not: polling
  // reads would hold the file open, and Wine then refuses the program's replace.
  unsigned long long Stamp() const;
  std::string SavedSince(unsigned long long before) const;
  // The centre of Button NN of the skin in use (Default), in screen pixels,
  // scaled as the widget scales the skin.
  POINT Button(int number) const;
  // Clicks these buttons one after the other.
  void Press(std::initializer_list<int> buttons) const;
  // The Default skin's back image size, in the skin's own pixels.
  SIZE BackSize() const;
  // A point of the Default skin's left end, which is not a button.
  POINT Grip() const;
  // Opens the widget's popup menu and picks from it with the keys, as a user would.
  bool Menu(std::initializer_list<WORD> keys) const;
};

// Real input, as a user's mouse and keyboard give it: the mouse at the X server
// (through the test script, WINE_GTEST_SHOTS), keys through SendInput.
void Click(POINT p, int button = 1, int times = 1);  // 1 left, 2 right, 4 middle
void MouseTo(POINT p);
// Press at `from`, move in steps to `to`, release there (with Ctrl held throughout).
void Drag(POINT from, POINT to, int button = 1, bool ctrl = false);
void Key(WORD vk, bool down);
void TapKey(WORD vk);
// Waits until the widget sits above `target`, as the default anchors put it
// once it has attached to it; `centred`: exactly on its edge and centred.
bool PerchedOn(HWND widget, HWND target, bool centred = false, DWORD timeoutMs = 5000);
// The opacity a window's program gave it with LWA_ALPHA; -1 when it has none.
int LayeredAlpha(HWND h);
// Brings `h` to the front as a user would, clicking its title bar when asking
// the system is not enough; true when it became the foreground window.
bool Activate(HWND h);

// A dialog (#32770) of any process with this caption, waited for; without it
// the test ends (an exception: gtest reports it as the test's failure).
HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs = 8000);
// Presses a dialog's button as a click would (posted: it may open a modal loop).
void Press(HWND dialog, int id);
void ClearClipboard();
std::wstring ClipboardText();
tomari::Bitmap ClipboardBitmap();  // 0 x 0 when the clipboard holds no bitmap

// Has the test script photograph the X display as NAME.png (when it is asked
// for pictures: WINE_GTEST_SHOTS); the screen DC of a Wine desktop reads white.
void SaveScreenshot(const std::wstring& name);

}  // namespace win32test
