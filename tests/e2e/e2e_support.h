#pragma once
// Helpers for scenarios that drive Tomari.exe and target windows in other
// processes under Wine.
#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// Folder of the test executables (build/windows/testbin\).
std::wstring FullPath(const std::wstring& p);
std::wstring TestBinDir();
// The shipped program folder (build/windows/Tomari\).
std::wstring DistDir();
// A fresh, empty working folder holding a copy of the shipped program.
std::wstring MakeProgramCopy(const std::wstring& name);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Runs the message loop of this thread for `ms` milliseconds: Tomari sends
// synchronous messages to windows of ours while it runs and on its way out.
void Pump(DWORD ms);
// Pumps until `done` is true or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

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

// The first visible top-level window of `pid` with this class, waiting for it.
HWND WaitForWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs);
int CountWindows(const wchar_t* className);
RECT WindowRect(HWND h);

// A copy of the program, started with a Setting.ini of our choosing.
struct TomariRun {
  Process process;
  HWND widget = nullptr;
  std::wstring dir;
  // "{DIR}" in `settings` stands for the program's folder (as the program
  // sees it, in the ANSI code page).
  bool Start(const std::wstring& name, std::string settings = {});
  // WM_CLOSE, as any program or the system would send it; waits for the exit.
  bool Close();
  std::string SettingsFile() const;
};

std::string Narrow(const std::wstring& w);

// Starts the target program with arguments (see tests/support/target_app.cpp).
HWND StartTarget(Process& p, const std::wstring& args);

// Has the test script photograph the display as NAME.png (when it asks for pictures).
void SaveScreenshot(const std::wstring& name);

}  // namespace e2e

namespace e2e {

// Real input through SendInput, as a user's mouse and keyboard would give it.
void MouseTo(int x, int y);
void MouseButton(int button, bool down);  // 1 left, 2 right, 4 middle
void Click(int x, int y, int button = 1);
// Press at `from`, move in steps to `to`, release there.
void Drag(POINT from, POINT to, int button = 1);
void Key(WORD vk, bool down);
// Runs xdotool with `words` through the test script, as input at the X server;
// false when the script offers no such channel.
bool XInput(const std::string& words);
// Waits until the widget sits centred above `target`, as the default anchors
// put it once the tick has attached to it.
bool PerchedOn(HWND widget, HWND target);
// Brings `h` to the front as a user would, clicking its title bar when asking
// the system is not enough; true when it became the foreground window.
bool Activate(HWND h);
void TapKey(WORD vk);

// The centre of Button NN of the Default skin, in screen pixels, for a widget
// whose window is `widget`; read from the skin file the program uses.
POINT SkinButtonCentre(HWND widget, const std::wstring& programDir, int number);

}  // namespace e2e
